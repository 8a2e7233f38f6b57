#pragma once

// A progress bar with a navy bar whose percentage stays readable: the text is
// white where it lies over the bar and dark where it lies over the background.

#include <QProgressBar>

namespace zemvalkorta {

class ProgressGauge : public QProgressBar {
    Q_OBJECT
public:
    explicit ProgressGauge(QWidget* parent = nullptr);

    static QColor BarColor() { return QColor(0, 0, 128); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace zemvalkorta
