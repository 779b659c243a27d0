#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/fields.h"

namespace wf::ui {

QString formatG5(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%-11.5g", value);
    return QString::fromLatin1(buf);
}

QString formatF6(double value) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%-11.6f", value);
    return QString::fromLatin1(buf);
}

QString formatShort(float value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, static_cast<int>(res.ptr - buf));
}

QString formatAxisLabel(double value) {
    // Round to three decimals first, then split into integer digits and decimals.
    const bool negative = value < 0.0;
    const double rounded = std::round(std::fabs(value) * 1000.0) / 1000.0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", rounded);
    QString text = QString::fromLatin1(buf);
    QString intPart = text.section(QLatin1Char('.'), 0, 0);
    QString decimals = text.section(QLatin1Char('.'), 1, 1);
    while (decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);
    QString grouped;
    for (int i = 0; i < intPart.size(); ++i) {
        if (i > 0 && (intPart.size() - i) % 3 == 0) grouped += QLatin1Char(' ');
        grouped += intPart[i];
    }
    if (!decimals.isEmpty()) grouped += QLatin1Char('.') + decimals;
    if (negative && rounded != 0.0) grouped.prepend(QLatin1Char('-'));
    return grouped;
}

bool parseReal(const QString& text, double& value) {
    // The document's reading of a number, so that the dialogs take exactly what
    // the document stores and writes: blanks and tabs around it, one optional
    // sign, decimal digits with an optional point and exponent, finite.
    double v = 0.0;
    if (!wf::doc::parseNumber(text.toStdString(), "", v)) return false;
    value = v;
    return true;
}

bool parseInteger(const QString& text, int& value) {
    int32_t v = 0;
    if (!wf::doc::parseInteger(text.toStdString(), "", v)) return false;
    value = v;
    return true;
}

} // namespace wf::ui
