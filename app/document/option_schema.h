// Every option of an analysis and of the model beyond the standard ones,
// declared once: its name, kind, default, range, command-line flag, dialog
// label and tooltip, and its field in the project file's options block. The
// command-line parser, the dialogs, the project file and the solver's options
// record are all driven from this table; adding an option means one entry here
// and the code where it acts.
//
// Every value is carried as a double: a switch is 0 or 1, a count a whole
// number, a choice the index of its word, a parameter set a mask of the
// parameters named (bit 0 TF, 1 TM, 2 SF, 3 SM). The project file holds each
// stored option as one little-endian 4-byte field: float32 for a real, int32
// for every other kind.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "status.h"
#include "wfcore/options.h"

namespace wf::doc {

struct AnalysisOptions;

enum class OptionKind : uint8_t { Switch, Count, Real, Choice, Parameters };

// Which dialog shows the option (the command line has every one).
enum class OptionDialog : uint8_t { Analysis, Mesh, None };

struct OptionSpec {
    std::string_view key;        // name in JSON and scripts, e.g. "max_passes"
    OptionKind kind;
    std::string_view flag;       // e.g. "--max-passes"; a switch: the flag that turns it on
    std::string_view offFlag;    // a switch: the flag that turns it off; a choice: empty
    std::string_view valueName;  // the value in --help: "N", "X", "LIST", "NAME"
    std::string_view help;       // the --help lines after the flag (continuation lines start with '\n')
    std::string_view noun;       // in messages: "maximum number of passes"
    std::string_view label;      // dialog label (a check box's text)
    std::string_view tooltip;    // dialog tooltip
    std::string_view widget;     // object name of the dialog's widget
    OptionDialog dialog;
    double defaultValue;
    double minimum, maximum;     // allowed range (inclusive unless openRange)
    bool openRange;              // the range's ends themselves are refused
    std::span<const std::string_view> words;  // a choice's words; a parameter set's item names
    std::span<const std::string_view> wordFlags;  // a choice: flags that pick one word each (or none)
    std::span<const std::string_view> wordLabels; // a choice: the words as a dialog lists them
    int field;                   // field number in its block; -1: not stored in the project
    double (*get)(const AnalysisOptions&);
    void (*set)(AnalysisOptions&, double);
    void (*toSolver)(WfOptions&, double);  // puts the value into the solver's options record
    // The option acts only when the option `activeWith` has one of the values
    // of the mask (bit v for value v); empty: always. A dialog disables it otherwise.
    std::string_view activeWith = {};
    unsigned activeMask = 0;
    // The tagged block of the project file that stores the option (tagged_blocks.h).
    std::string_view block = "WFOP";
};

// Whether the option acts with the other options as they are.
bool optionActive(const OptionSpec& spec, const AnalysisOptions& options);

// The whole schema, in the order of --help and of the dialogs.
std::span<const OptionSpec> optionSchema();
// The option of a key or a flag (either of a switch's two flags); null when none.
const OptionSpec* findOption(std::string_view keyOrFlag);

// The text of a value as the command line takes it ("1e-05", "tf,sm", "bound-aware").
std::string optionValueText(const OptionSpec& spec, double value);
// Whether a value is one the option can take (its kind and range).
bool optionValueAllowed(const OptionSpec& spec, double value);
// What the option's values must be: "must lie between 1 and 999", "must be 0 or 1", ...
std::string optionRule(const OptionSpec& spec);
// Reads a value as typed on the command line or in a dialog field. The
// message starts with `who` (the flag or the dialog label) and says what is
// allowed, e.g. "--max-passes: \"0\" must lie between 1 and 999".
Status parseOptionValue(const OptionSpec& spec, std::string_view text, std::string_view who, double& value);

// The value of every parameter-set option of a flag that several share
// (--hold names the aquifer's parameters and the well's): each item of the
// list goes to the option whose words hold it, and every one of them is set
// ("none" clears them all). The message starts with `who` and names every word.
Status parseParameterFlag(std::string_view flag, std::string_view text, std::string_view who,
                          std::vector<std::pair<const OptionSpec*, double>>& values);

// The checks across options: held parameters must leave something to
// estimate. The message starts with `who`.
Status checkOptionSet(const AnalysisOptions& options, std::string_view who);

} // namespace wf::doc
