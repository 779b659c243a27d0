// Reading the number fields of the model dialogs: every field is checked when
// OK is pressed, and a field that does not hold a number is named by its label
// in an "Error" box, with nothing stored.
#pragma once

#include <cstdint>

#include <QString>

class QLineEdit;
class QWidget;
class QDialogButtonBox;

namespace wf::ui {

// The label text of a field (kept as the field's property "label").
QString fieldLabel(const QLineEdit* edit);
// A field with its object name and label.
QLineEdit* makeField(QWidget* parent, const char* objectName, const QString& label);

// The field with its unit written after it (a label named objectName + "Unit").
QWidget* withUnit(QLineEdit* edit, const QString& unit);
// The project's unit names, from the 1-based codes of UNITS (empty for a bad code).
QString distanceUnit(int32_t idist);
QString timeUnit(int32_t itin);
QString dischargeUnit(int32_t idisch);

// Reads a single-precision number / a 32-bit integer; on failure shows the
// error box naming the field, focuses the field and returns false.
bool readReal(QWidget* owner, const QLineEdit* edit, float& out);
bool readInteger(QWidget* owner, const QLineEdit* edit, int32_t& out);
// A range check on a value already read; shows "<label> '<text>' <rule>" when
// the condition fails.
bool require(QWidget* owner, const QLineEdit* edit, bool condition, const QString& rule);

// "OK" (default) and "Cancel" with the object names OKBtn / CancelBtn.
QDialogButtonBox* okCancelButtons(QWidget* parent);

} // namespace wf::ui
