#include "chart_editor.h"

#include <QChart>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QScatterSeries>
#include <QSpinBox>
#include <QValueAxis>
#include <QVBoxLayout>

#include "drawdown_chart.h"
#include "document/fields.h"
#include "message_boxes.h"
#include "number_text.h"

namespace wf::ui {

namespace {

void paintSwatch(QPushButton* button, const QColor& colour) {
    button->setStyleSheet(QStringLiteral("background-color: %1").arg(colour.name()));
}

QLineEdit* field(QWidget* parent, const QString& name, const QString& text) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    return e;
}

} // namespace

ChartEditor::ChartEditor(DrawdownChart* chart, QWidget* parent) : QDialog(parent), chart_(chart) {
    setObjectName(QStringLiteral("ChartEditor"));
    setWindowTitle(QStringLiteral("Chart"));
    QChart* c = chart->chartObject();

    edTitle_ = field(this, QStringLiteral("edTitle"), c->title());
    edTimeTitle_ = field(this, QStringLiteral("edTimeTitle"), chart->timeAxis()->titleText());
    edDrawdownTitle_ = field(this, QStringLiteral("edDrawdownTitle"), chart->drawdownAxis()->titleText());
    edTimeMin_ = field(this, QStringLiteral("edTimeMin"), QString::number(chart->timeAxis()->min()));
    edTimeMax_ = field(this, QStringLiteral("edTimeMax"), QString::number(chart->timeAxis()->max()));
    edDrawdownMin_ = field(this, QStringLiteral("edDrawdownMin"), QString::number(chart->drawdownAxis()->min()));
    edDrawdownMax_ = field(this, QStringLiteral("edDrawdownMax"), QString::number(chart->drawdownAxis()->max()));

    cbPointStyle_ = new QComboBox(this);
    cbPointStyle_->setObjectName(QStringLiteral("cbPointStyle"));
    cbPointStyle_->addItems({QStringLiteral("Circle"), QStringLiteral("Rectangle")});
    cbPointStyle_->setCurrentIndex(chart->measured()->markerShape() == QScatterSeries::MarkerShapeRectangle ? 1 : 0);
    sePointSize_ = new QSpinBox(this);
    sePointSize_->setObjectName(QStringLiteral("sePointSize"));
    sePointSize_->setRange(2, 30);
    sePointSize_->setValue(static_cast<int>(chart->measured()->markerSize()));

    pointColour_ = chart->measured()->color();
    lineColour_ = chart->fit()->color();
    btnPointColour_ = new QPushButton(this);
    btnPointColour_->setObjectName(QStringLiteral("btnPointColour"));
    btnLineColour_ = new QPushButton(this);
    btnLineColour_->setObjectName(QStringLiteral("btnLineColour"));
    paintSwatch(btnPointColour_, pointColour_);
    paintSwatch(btnLineColour_, lineColour_);
    connect(btnPointColour_, &QPushButton::clicked, this, [this] { pickColour(btnPointColour_, pointColour_); });
    connect(btnLineColour_, &QPushButton::clicked, this, [this] { pickColour(btnLineColour_, lineColour_); });

    auto* titles = new QGroupBox(QStringLiteral("Titles"), this);
    auto* tf = new QFormLayout(titles);
    tf->addRow(QStringLiteral("Chart title:"), edTitle_);
    tf->addRow(QStringLiteral("Time axis title:"), edTimeTitle_);
    tf->addRow(QStringLiteral("Drawdown axis title:"), edDrawdownTitle_);
    auto* axes = new QGroupBox(QStringLiteral("Axes"), this);
    auto* af = new QFormLayout(axes);
    af->addRow(QStringLiteral("Time minimum:"), edTimeMin_);
    af->addRow(QStringLiteral("Time maximum:"), edTimeMax_);
    af->addRow(QStringLiteral("Drawdown minimum:"), edDrawdownMin_);
    af->addRow(QStringLiteral("Drawdown maximum:"), edDrawdownMax_);
    auto* series = new QGroupBox(QStringLiteral("Series"), this);
    auto* sf = new QFormLayout(series);
    sf->addRow(QStringLiteral("Colour of S:"), btnPointColour_);
    sf->addRow(QStringLiteral("Point style:"), cbPointStyle_);
    sf->addRow(QStringLiteral("Point size:"), sePointSize_);
    sf->addRow(QStringLiteral("Colour of Model Fit:"), btnLineColour_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ChartEditor::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChartEditor::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titles);
    layout->addWidget(axes);
    layout->addWidget(series);
    layout->addWidget(buttons);
}

void ChartEditor::pickColour(QPushButton* button, QColor& colour) {
    const QColor picked = QColorDialog::getColor(colour, this);
    if (!picked.isValid()) return;
    colour = picked;
    paintSwatch(button, colour);
}

void ChartEditor::accept() {
    struct Range {
        QLineEdit* edit;
        const char* label;
        double value;
    };
    Range r[4] = {{edTimeMin_, "Time minimum:", 0},
                  {edTimeMax_, "Time maximum:", 0},
                  {edDrawdownMin_, "Drawdown minimum:", 0},
                  {edDrawdownMax_, "Drawdown maximum:", 0}};
    for (Range& x : r) {
        const wf::doc::Status s = wf::doc::parseNumber(x.edit->text().toStdString(), x.label, x.value);
        if (!s) {
            showError(this, QString::fromStdString(s.error));
            return;
        }
    }
    if (r[0].value <= 0.0 || r[1].value <= r[0].value) {
        showError(this, QStringLiteral("Time maximum: the time axis needs 0 < minimum < maximum"));
        return;
    }
    if (r[3].value <= r[2].value) {
        showError(this, QStringLiteral("Drawdown maximum: the maximum must lie above the minimum"));
        return;
    }
    chart_->chartObject()->setTitle(edTitle_->text());
    chart_->timeAxis()->setTitleText(edTimeTitle_->text());
    chart_->drawdownAxis()->setTitleText(edDrawdownTitle_->text());
    chart_->timeAxis()->setRange(r[0].value, r[1].value);
    chart_->drawdownAxis()->setRange(r[2].value, r[3].value);
    chart_->measured()->setMarkerShape(cbPointStyle_->currentIndex() == 1 ? QScatterSeries::MarkerShapeRectangle
                                                                          : QScatterSeries::MarkerShapeCircle);
    chart_->measured()->setMarkerSize(sePointSize_->value());
    chart_->measured()->setColor(pointColour_);
    chart_->measured()->setBorderColor(pointColour_);
    chart_->fit()->setColor(lineColour_);
    QDialog::accept();
}

} // namespace wf::ui
