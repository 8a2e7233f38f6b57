#pragma once

// The theta strip under the graphs: the scale of the thirteen grades and,
// for a measurement with thetas and a grading row, the row's boundaries and a
// mark per concrete specimen and for the mean.

#include <QColor>
#include <QWidget>
#include <array>

#include "core/FrostGraphicTetta.h"

namespace zemvalkorta {

inline constexpr int TettaPaintBoxHeight = 23;
inline constexpr int TettaFirstTickX = 40;

class TettaPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TettaPaintBox(QWidget* parent = nullptr);

    // Stores the measurement's values and the channel colours and repaints.
    void ShowTetta(const TettaStripValues& values, const std::array<QColor, ChannelCount>& channelColours);
    // Forgets the values: only the grade scale remains.
    void ClearTettaPaintBox();

    bool HasData() const { return values_.HasData; }
    const TettaStripValues& Values() const { return values_; }

    // Paints the strip onto painter, whose origin is the strip's top-left corner.
    void TettaPaintBoxPaint(QPainter& painter) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TettaStripValues values_;
    std::array<QColor, ChannelCount> channelColours_{QColor(Qt::blue), QColor(Qt::red), QColor(Qt::magenta)};
};

}  // namespace zemvalkorta
