// The widgets of the options one dialog shows, made from the option schema: a
// check box for a switch, a drop-down list for a choice, a field for a number
// and one check box per parameter for a parameter set. Each widget carries
// the schema's object name, label and tooltip; an option that does not act
// with the others as they are (the stop rules of the plain search) is
// disabled. The dialog places the widgets; this class shows and reads them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <QString>

#include "document/analysis_options.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QWidget;

namespace wf::ui {

class OptionFields {
public:
    // The widgets of every option of `dialog`, children of parent.
    OptionFields(QWidget* parent, wf::doc::OptionDialog dialog);

    // The check boxes of a parameter set, in the order of its items
    // (e.g. "cbTFHold" .. "cbSMHold" of "hold").
    const std::vector<QCheckBox*>& parameterBoxes(std::string_view key) const;
    // Places the options other than parameter sets in grid, one per row from
    // row `first`: a check box over both columns, else its label and widget.
    void addTo(QGridLayout* grid, int first) const;

    void show(const wf::doc::AnalysisOptions& options);
    // Reads every widget into options; a value the schema refuses is named in
    // an "Error" box (by its label), its widget focused, and false returned
    // with options unchanged.
    bool read(QWidget* owner, wf::doc::AnalysisOptions& options) const;

private:
    struct Field {
        const wf::doc::OptionSpec* spec = nullptr;
        QWidget* widget = nullptr;       // check box, list or field (null for a parameter set)
        QString label;
        std::vector<QCheckBox*> boxes;   // a parameter set's
    };
    void updateActive();
    QString labelOf(const Field& f) const;

    QWidget* parent_;
    std::vector<Field> fields_;
};

} // namespace wf::ui
