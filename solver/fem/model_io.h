// Files and message paths of the flow model: the model input files with their
// read status, the listing and diagnostic streams, and the refusal of input.
#pragma once

#include <fstream>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "textio/fortran_format.h"
#include "textio/list_directed.h"

namespace wf {

struct FemState;
struct RunState;

// One model input file ({base}.tim or {base}.fem), read record by record.
class ModelFile {
public:
    // Opens the side file; false when it does not exist or cannot be read.
    bool open(const std::string& name);
    void close();
    bool isOpen() const { return reader_.has_value(); }
    const std::string& name() const { return name_; }
    textio::RecordReader& reader() { return *reader_; }

    // Checks the status of a read from this file. A failed read (IOS > 0 a
    // value that does not fit, IOS < 0 the end of the file) becomes the run's
    // read error: rs.IOS and rs.INNAME name it for the input-file error box.
    bool ok(RunState& rs, int ios) const;

private:
    std::string name_;
    std::ifstream in_;
    std::optional<textio::RecordReader> reader_;
};

// The files a model run reads: the model-control file and the mesh file.
struct ModelFiles {
    ModelFile tim;
    ModelFile fem;
    void close() {
        tim.close();
        fem.close();
    }
};

// The model's listing stream (solution listing, input messages): standard
// output unless a test or host set another.
std::ostream& listingStream(const FemState& fs);
// The model's diagnostic stream (STOR tables, dry-node line): standard error
// unless set otherwise.
std::ostream& diagnosticStream(const FemState& fs);

// The text without its trailing blanks and line ends.
std::string trimRight(std::string_view text);

// A message record composed into an 80-character line buffer, shown trimmed.
std::string composeLine(std::string_view fmt, std::initializer_list<textio::FValue> values);

// Refuses the model input: writes the message records to the listing stream
// and shows the same text, trimmed, in the "Error" box.
void rejectInput(RunState& rs, std::string_view fmt, std::initializer_list<textio::FValue> values);

} // namespace wf
