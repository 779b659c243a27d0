#include "dialog_fields.h"

#include <array>
#include <string_view>

#include <QHBoxLayout>
#include <QLabel>

#include "document/units.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include "document/fields.h"
#include "message_boxes.h"

namespace wf::ui {

QString fieldLabel(const QLineEdit* edit) { return edit->property("label").toString(); }

QLineEdit* makeField(QWidget* parent, const char* objectName, const QString& label) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(objectName));
    e->setProperty("label", label);
    return e;
}

namespace {

bool report(QWidget* owner, const QLineEdit* edit, const wf::doc::Status& s) {
    if (s) return true;
    showError(owner, QString::fromStdString(s.error));
    const_cast<QLineEdit*>(edit)->setFocus();
    return false;
}

} // namespace

bool readReal(QWidget* owner, const QLineEdit* edit, float& out) {
    return report(owner, edit,
                  wf::doc::parseNumber(edit->text().toStdString(), fieldLabel(edit).toStdString(), out));
}

bool readInteger(QWidget* owner, const QLineEdit* edit, int32_t& out) {
    return report(owner, edit,
                  wf::doc::parseInteger(edit->text().toStdString(), fieldLabel(edit).toStdString(), out));
}

bool require(QWidget* owner, const QLineEdit* edit, bool condition, const QString& rule) {
    if (condition) return true;
    QString label = fieldLabel(edit);
    if (label.endsWith(QLatin1Char(':'))) label.chop(1);
    showError(owner, QStringLiteral("%1: \"%2\" %3").arg(label, edit->text().trimmed(), rule));
    const_cast<QLineEdit*>(edit)->setFocus();
    return false;
}

QDialogButtonBox* okCancelButtons(QWidget* parent) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, parent);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    return buttons;
}

QWidget* withUnit(QLineEdit* edit, const QString& unit) {
    auto* box = new QWidget(edit->parentWidget());
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(edit, 1);
    auto* label = new QLabel(unit, box);
    label->setObjectName(edit->objectName() + QStringLiteral("Unit"));
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("m3/day")));
    row->addWidget(label);
    return box;
}

namespace {

template <std::size_t N>
QString unitName(const std::array<std::string_view, N>& names, int32_t code) {
    if (code < 1 || code > static_cast<int32_t>(N)) return QString();
    const std::string_view n = names[static_cast<std::size_t>(code - 1)];
    return QString::fromLatin1(n.data(), static_cast<int>(n.size()));
}

} // namespace

QString distanceUnit(int32_t idist) { return unitName(wf::doc::kDistanceUnits, idist); }
QString timeUnit(int32_t itin) { return unitName(wf::doc::kTimeUnits, itin); }
QString dischargeUnit(int32_t idisch) { return unitName(wf::doc::kDischargeUnits, idisch); }

} // namespace wf::ui
