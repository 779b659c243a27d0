#include "option_fields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "message_boxes.h"
#include "number_text.h"

namespace wf::ui {

using wf::doc::OptionKind;
using wf::doc::OptionSpec;

namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

OptionFields::OptionFields(QWidget* parent, wf::doc::OptionDialog dialog) : parent_(parent) {
    for (const OptionSpec& s : wf::doc::optionSchema()) {
        if (s.dialog != dialog) continue;
        Field f;
        f.spec = &s;
        f.label = text(s.label);
        switch (s.kind) {
        case OptionKind::Parameters:
            for (const std::string_view item : s.words) {
                auto* box = new QCheckBox(f.label, parent);
                box->setObjectName(text(s.widget).arg(text(item).toUpper()));
                box->setToolTip(text(s.tooltip));
                f.boxes.push_back(box);
            }
            break;
        case OptionKind::Switch: {
            auto* box = new QCheckBox(f.label, parent);
            QObject::connect(box, &QCheckBox::toggled, parent, [this] { updateActive(); });
            f.widget = box;
            break;
        }
        case OptionKind::Choice: {
            auto* list = new QComboBox(parent);
            for (std::size_t i = 0; i < s.words.size(); ++i)
                list->addItem(text(i < s.wordLabels.size() ? s.wordLabels[i] : s.words[i]));
            QObject::connect(list, &QComboBox::currentIndexChanged, parent, [this] { updateActive(); });
            f.widget = list;
            break;
        }
        case OptionKind::Count:
        case OptionKind::Real:
            f.widget = new QLineEdit(parent);
            break;
        }
        if (f.widget) {
            f.widget->setObjectName(text(s.widget));
            f.widget->setToolTip(text(s.tooltip));
        }
        fields_.push_back(std::move(f));
    }
}

const std::vector<QCheckBox*>& OptionFields::parameterBoxes(std::string_view key) const {
    static const std::vector<QCheckBox*> none;
    for (const Field& f : fields_)
        if (f.spec->key == key) return f.boxes;
    return none;
}

void OptionFields::addTo(QGridLayout* grid, int row) const {
    for (const Field& f : fields_) {
        if (!f.widget) continue;
        if (f.spec->kind == OptionKind::Switch) {
            grid->addWidget(f.widget, row++, 0, 1, 2);
            continue;
        }
        auto* label = new QLabel(f.label, parent_);
        label->setBuddy(f.widget);
        grid->addWidget(label, row, 0, Qt::AlignRight);
        grid->addWidget(f.widget, row++, 1);
    }
}

void OptionFields::show(const wf::doc::AnalysisOptions& options) {
    for (Field& f : fields_) {
        const double v = f.spec->get(options);
        switch (f.spec->kind) {
        case OptionKind::Parameters:
            for (std::size_t j = 0; j < f.boxes.size(); ++j) f.boxes[j]->setChecked((static_cast<int>(v) >> j) & 1);
            break;
        case OptionKind::Switch:
            static_cast<QCheckBox*>(f.widget)->setChecked(v != 0.0);
            break;
        case OptionKind::Choice:
            static_cast<QComboBox*>(f.widget)->setCurrentIndex(static_cast<int>(v));
            break;
        case OptionKind::Count:
            static_cast<QLineEdit*>(f.widget)->setText(QString::number(static_cast<long long>(v)));
            break;
        case OptionKind::Real:
            static_cast<QLineEdit*>(f.widget)->setText(formatShort(static_cast<float>(v)));
            break;
        }
    }
    updateActive();
}

QString OptionFields::labelOf(const Field& f) const {
    QString label = f.label;
    if (label.endsWith(QLatin1Char(':'))) label.chop(1);
    return label;
}

bool OptionFields::read(QWidget* owner, wf::doc::AnalysisOptions& options) const {
    wf::doc::AnalysisOptions o = options;
    for (const Field& f : fields_) {
        double v = 0.0;
        switch (f.spec->kind) {
        case OptionKind::Parameters:
            for (std::size_t j = 0; j < f.boxes.size(); ++j)
                if (f.boxes[j]->isChecked()) v += static_cast<double>(1 << j);
            break;
        case OptionKind::Switch:
            v = static_cast<QCheckBox*>(f.widget)->isChecked() ? 1.0 : 0.0;
            break;
        case OptionKind::Choice:
            v = static_cast<QComboBox*>(f.widget)->currentIndex();
            break;
        case OptionKind::Count:
        case OptionKind::Real: {
            // Checked also while the option does not act: it is kept in the project all the same.
            auto* field = static_cast<QLineEdit*>(f.widget);
            const wf::doc::Status st = wf::doc::parseOptionValue(*f.spec, field->text().trimmed().toStdString(),
                                                                labelOf(f).toStdString(), v);
            if (!st) {
                showError(owner, QString::fromStdString(st.error));
                field->setFocus();
                return false;
            }
            break;
        }
        }
        f.spec->set(o, v);
    }
    options = o;
    return true;
}

void OptionFields::updateActive() {
    wf::doc::AnalysisOptions now;
    for (const Field& f : fields_) {
        if (f.spec->kind == OptionKind::Switch)
            f.spec->set(now, static_cast<QCheckBox*>(f.widget)->isChecked() ? 1.0 : 0.0);
        if (f.spec->kind == OptionKind::Choice)
            f.spec->set(now, static_cast<QComboBox*>(f.widget)->currentIndex());
    }
    for (const Field& f : fields_)
        if (f.widget) f.widget->setEnabled(wf::doc::optionActive(*f.spec, now));
}

} // namespace wf::ui
