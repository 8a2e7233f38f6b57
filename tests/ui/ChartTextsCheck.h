#pragma once

// What a reader of a channel chart needs: every title and label whole (no
// "…"), inside the chart's frame, clear of each other, the labels of an axis
// MinimumLabelGap apart and at whole multiples of one step that their
// decimals print exactly. Returns the faults found, empty when clean.

#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QLocale>
#include <QStringList>
#include <cmath>

#include "ui/ChannelChart.h"

namespace zemvalkorta::testing {

inline QStringList ChartTextFaults(const ChannelChart& chart) {
    QStringList faults;
    const QString ellipsis(QChar(0x2026));
    // Every text the scene shows for this chart, Qt's own included.
    QList<QGraphicsItem*> pending = chart.childItems();
    while (!pending.isEmpty()) {
        QGraphicsItem* item = pending.takeFirst();
        pending.append(item->childItems());
        if (!item->isVisible()) continue;
        QString text;
        if (auto* simple = dynamic_cast<QGraphicsSimpleTextItem*>(item)) text = simple->text();
        if (auto* rich = dynamic_cast<QGraphicsTextItem*>(item)) text = rich->toPlainText();
        if (text.contains(ellipsis)) faults << "elided: " + text;
    }
    using Role = ChannelChart::TextRole;
    const auto texts = chart.DrawnTexts();
    const QRectF frame = chart.FrameRect().adjusted(1, 1, -1, -1);
    auto where = [](const ChannelChart::DrawnText& text) {
        return QStringLiteral("\"%1\" at %2,%3 %4x%5")
            .arg(text.Text)
            .arg(text.Box.x())
            .arg(text.Box.y())
            .arg(text.Box.width())
            .arg(text.Box.height());
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!frame.contains(texts[i].Box)) faults << "outside the frame: " + where(texts[i]);
        for (std::size_t j = i + 1; j < texts.size(); ++j)
            if (texts[i].Box.intersects(texts[j].Box)) faults << "overlap: " + where(texts[i]) + " " + where(texts[j]);
    }
    const QRectF plot = chart.plotArea();
    for (Role role : {Role::LeftLabel, Role::BottomLabel}) {
        std::vector<ChannelChart::DrawnText> labels;
        for (const auto& text : texts)
            if (text.Role == role) labels.push_back(text);
        // A flat curve (the standard's zero line in ΔV(t)) may leave one label.
        if (labels.empty()) {
            faults << QStringLiteral("an axis without labels");
            continue;
        }
        for (std::size_t i = 1; i < labels.size(); ++i) {
            const QRectF& a = labels[i - 1].Box;
            const QRectF& b = labels[i].Box;
            const double gap = role == Role::LeftLabel ? a.top() - b.bottom() : b.left() - a.right();
            if (gap < MinimumLabelGap - 0.5)
                faults << QStringLiteral("only %1 px between ").arg(gap) + where(labels[i - 1]) + " " +
                              where(labels[i]);
        }
        if (role == Role::LeftLabel) {
            for (const auto& label : labels)
                if (label.Box.right() > plot.left()) faults << "label over the plot: " + where(label);
        } else {
            for (const auto& label : labels)
                if (label.Box.top() < plot.bottom()) faults << "label over the plot: " + where(label);
        }
        // Times are whole minutes by construction.
        if (labels.size() < 2 || labels[0].Text.contains(QLatin1Char(':'))) continue;
        const QLocale locale;
        std::vector<double> values;
        for (const auto& label : labels) {
            bool ok = false;
            values.push_back(locale.toDouble(label.Text, &ok));
            if (!ok) faults << "not a number: " + where(label);
        }
        const qsizetype separator = labels[0].Text.indexOf(locale.decimalPoint());
        const int decimals = separator < 0 ? 0 : static_cast<int>(labels[0].Text.size() - separator - 1);
        const double quantum = std::pow(10.0, -decimals);
        const double step = std::fabs(values[1] - values[0]);
        if (std::fabs(step / quantum - std::round(step / quantum)) > 1e-6)
            faults << QStringLiteral("step %1 is not printed exactly with %2 decimals").arg(step).arg(decimals);
        for (double value : values)
            if (step > 0 && std::fabs(value / step - std::round(value / step)) > 1e-6)
                faults << QStringLiteral("%1 is no multiple of the step %2").arg(value).arg(step);
    }
    return faults;
}

}  // namespace zemvalkorta::testing
