// "Export Chart": the chart as a PNG, SVG or PDF picture, or onto the clipboard.
#pragma once

#include <functional>

#include <QDialog>

class QButtonGroup;

namespace wf::ui {

class DrawdownChart;

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    enum Format { Png = 0, Svg = 1, Pdf = 2, Clipboard = 3 };

    ExportDialog(DrawdownChart* chart, QWidget* parent = nullptr);

    // The save dialog for the picture; tests replace it. Empty = Cancel.
    std::function<QString(const QString& filter, const QString& suffix)> chooseFile;

    void setFormat(Format format);
    // "Export": asks for the file (not for the clipboard) and writes the picture;
    // a file that cannot be written is named in an error box.
    void accept() override;

private:
    DrawdownChart* chart_;
    QButtonGroup* formats_;
};

} // namespace wf::ui
