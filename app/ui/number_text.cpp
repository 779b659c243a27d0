#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

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
    std::string s = text.trimmed().toStdString();
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    if (s.empty() || s[0] == '+') return false;
    double v = 0.0;
    // from_chars reads the decimal point whatever the process locale says.
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool parseInteger(const QString& text, int& value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok) return false;
    value = v;
    return true;
}

} // namespace wf::ui
