// Free-format (list-directed) records: writing and reading.
//
// Reading follows the Fortran list-directed rules the solver's input relies
// on: values are separated by blanks or commas, reals may carry an E or D
// exponent, every read starts on a new record, takes as many records as its
// values need, and ignores the rest of its last record. A read reports its
// status as an IOS value: 0 success, positive a data-format error, negative
// the end of the file.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "textio/fortran_format.h"

namespace wf::textio {

inline constexpr int kIosEndOfFile = -1;
inline constexpr int kIosBadValue = 5010;  // gfortran's code for a value that does not fit

// One free-format record: a leading blank, then the values in the order given,
// separated by blanks, followed by '\n'. Integers, reals and texts are laid out
// as gfortran's list-directed output lays them out.
std::string listRecord(const std::vector<FValue>& values);
inline std::string listRecord(std::initializer_list<FValue> values) { return listRecord(std::vector<FValue>(values)); }

class RecordReader;

// One list-directed READ statement in progress. Values are taken in order with
// get(); the first failure sticks and every later get() fails too.
class ListRead {
public:
    bool get(int& v);
    bool get(double& v);
    bool get(std::string& v);  // one undelimited or quoted text item
    int status() const { return status_; }

private:
    friend class RecordReader;
    explicit ListRead(RecordReader& r) : reader_(r) {}
    bool nextToken(std::string& token);
    bool findValue();  // moves to the next value; false for a null value, '/', or a failure
    RecordReader& reader_;
    int status_ = 0;
    bool slash_ = false;  // a '/' ended the read: remaining items keep their values
    bool commaOwed_ = false;  // the last value's separator has not had its comma yet
    bool quoted_ = false;     // the last token was a quoted text
    int repeatLeft_ = 0;      // values still to hand out of an r*c repeat
    bool repeatNull_ = false; // the repeat is r* (null values)
    bool repeatQuoted_ = false;
    std::string repeatValue_;
};

// Reads a text file record by record.
class RecordReader {
public:
    explicit RecordReader(std::istream& in) : in_(in) {}

    // The next record as it stands (without its line end; a trailing '\r' is dropped).
    int readLine(std::string& line);
    // Skips n records.
    int skip(int n);
    // Starts a list-directed read on the next record.
    ListRead begin();
    // Convenience for a read of a fixed list of values.
    int read(int& a);
    int read(int& a, int& b);
    int read(double& a);

    // "(aN)": the first N characters of the next record, padded with blanks to N.
    int readA(std::string& out, int width);
    // "(4X, A1, I5)": column 5 a letter, columns 6-10 an integer (blanks ignored).
    int readLetterInt(char& letter, int& n);

    // Number of records consumed so far (the 1-based number of the last one read).
    int recordNumber() const { return recordNo_; }

private:
    friend class ListRead;
    bool fetch();  // loads the next record into cur_, false at end of file
    std::istream& in_;
    std::string cur_;
    std::size_t pos_ = 0;
    bool haveRecord_ = false;
    int recordNo_ = 0;
};

} // namespace wf::textio
