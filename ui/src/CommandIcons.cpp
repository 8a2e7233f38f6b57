#include "ui/CommandIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <functional>
#include <initializer_list>

namespace zemvalkorta {
namespace {

constexpr std::array<int, 3> IconSizes{16, 24, 32};

QIcon WithDisabledLook(const std::function<QPixmap(int)>& draw) {
    QIcon icon;
    for (int size : IconSizes) {
        const QPixmap normal = draw(size);
        icon.addPixmap(normal, QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(DisabledLook(normal.toImage())), QIcon::Disabled);
    }
    return icon;
}

// An icon drawn by `draw` in a 32-unit square, at each size.
QIcon DrawnIcon(const std::function<void(QPainter&)>& draw) {
    return WithDisabledLook([&draw](int size) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
        draw(painter);
        return pixmap;
    });
}

QPainterPath Outline(std::initializer_list<QPointF> corners) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(corners)));
    path.closeSubpath();
    return path;
}

// A sheet of paper with a folded corner and a few lines of text, in a 32-unit square.
void DrawPage(QPainter& painter) {
    painter.setPen(QPen(QColor(60, 60, 60), 1.5));
    painter.setBrush(Qt::white);
    painter.drawPath(Outline({{5, 2}, {19, 2}, {25, 8}, {25, 30}, {5, 30}}));
    painter.drawLine(QPointF(19, 2), QPointF(19, 8));
    painter.drawLine(QPointF(19, 8), QPointF(25, 8));
    painter.setPen(QPen(QColor(90, 90, 160), 1.5));
    for (int y = 12; y <= 24; y += 4) painter.drawLine(QPointF(8, y), QPointF(18, y));
}

}  // namespace

QImage DisabledLook(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int value = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(value, value, value, qAlpha(line[x]) * 2 / 5);
        }
    }
    return grey;
}

QIcon CommandIcon(const QStyle* style, QStyle::StandardPixmap pixmap) {
    const QIcon standard = style->standardIcon(pixmap);
    return WithDisabledLook([&standard](int size) { return standard.pixmap(size, size); });
}

QIcon ExportCommandIcon() {
    return DrawnIcon([](QPainter& painter) {
        DrawPage(painter);
        painter.setPen(QPen(QColor(0, 90, 0), 1.2));
        painter.setBrush(QColor(40, 170, 40));
        painter.drawPath(Outline({{14, 17}, {23, 17}, {23, 12}, {31, 21}, {23, 30}, {23, 25}, {14, 25}}));
    });
}

QIcon ReportCommandIcon() {
    return DrawnIcon([](QPainter& painter) {
        painter.setPen(QPen(QColor(60, 60, 60), 1.5));
        // Paper coming out of the top of the printer.
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(9, 2, 14, 12));
        painter.setPen(QPen(QColor(90, 90, 160), 1.5));
        painter.drawLine(QPointF(12, 6), QPointF(20, 6));
        painter.drawLine(QPointF(12, 10), QPointF(20, 10));
        // The printer's body and its output slot.
        painter.setPen(QPen(QColor(40, 40, 40), 1.5));
        painter.setBrush(QColor(150, 150, 160));
        painter.drawRoundedRect(QRectF(3, 13, 26, 12), 2, 2);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(8, 22, 16, 8));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(40, 180, 40));
        painter.drawEllipse(QPointF(25, 17), 1.6, 1.6);
    });
}

}  // namespace zemvalkorta
