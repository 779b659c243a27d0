// Numbers as the program shows and reads them in its dialogs and its chart.
#pragma once

#include <QString>

namespace wf::ui {

// "%-11.5g": five significant digits, left-aligned in 11 characters.
QString formatG5(double value);
// "%-11.6f": fixed notation with six decimals, left-aligned in 11 characters.
QString formatF6(double value);
// The general conversion of a single-precision value: its shortest exact text.
QString formatShort(float value);
// The chart's label format "# ##0.###": at most three decimals, trailing zeros
// dropped, a blank between groups of three digits of the integer part.
QString formatAxisLabel(double value);

// Reads a decimal number; blanks and tabs around it are allowed, one sign,
// no other characters ("+-5", a vertical tab or a form feed are refused).
// False if the text is not one.
bool parseReal(const QString& text, double& value);
// Reads a decimal integer (32 bit); blanks and tabs around it are allowed.
bool parseInteger(const QString& text, int& value);

} // namespace wf::ui
