#include "Legibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>

namespace zemvalkorta::testing {
namespace {

constexpr QChar Ellipsis(0x2026);

QString Name(const QWidget* widget) {
    QString name = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty()) name += QLatin1Char(' ') + widget->objectName();
    return name;
}

// What the user reads: the mnemonic marker is not drawn.
QString Shown(QString text) { return text.remove(QLatin1Char('&')); }

int TextWidth(const QFontMetrics& metrics, const QString& text) {
    int width = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) width = std::max(width, metrics.horizontalAdvance(line));
    return width;
}

void CheckLabel(const QLabel* label, QStringList& faults) {
    if (label->text().isEmpty() || !label->pixmap().isNull()) return;
    const QRect room =
        label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    QSize needed;
    if (label->wordWrap()) {
        needed = QSize(0, label->heightForWidth(label->width()) - (label->height() - room.height()));
    } else if (Qt::mightBeRichText(label->text()) && label->textFormat() != Qt::PlainText) {
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        document.setHtml(label->text());
        needed = document.size().toSize();
    } else {
        const QFontMetrics metrics = label->fontMetrics();
        const QString text = Shown(label->text());
        needed = QSize(TextWidth(metrics, text), metrics.height() * int(text.count(QLatin1Char('\n')) + 1));
    }
    if (needed.width() > room.width() || needed.height() > room.height())
        faults << QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                      .arg(Name(label), label->text())
                      .arg(needed.width())
                      .arg(needed.height())
                      .arg(room.width())
                      .arg(room.height());
}

void CheckButton(const QAbstractButton* button, QStringList& faults) {
    const QString text = Shown(button->text());
    if (text.isEmpty()) return;
    const QFontMetrics metrics = button->fontMetrics();
    const QStyle* style = button->style();
    int room = 0;
    int needed = TextWidth(metrics, text);
    if (qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const bool box = qobject_cast<const QCheckBox*>(button) != nullptr;
        room =
            style->subElementRect(box ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, button)
                .width();
    } else if (auto* tool = qobject_cast<const QToolButton*>(button)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !tool->icon().isNull()) return;
        if (tool->toolButtonStyle() != Qt::ToolButtonTextOnly) needed += tool->iconSize().width();
        room = tool->width() - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tool) - 4;
    } else {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (!button->icon().isNull()) needed += button->iconSize().width() + 4;
        room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
    }
    if (needed > room || metrics.height() > button->height())
        faults << QStringLiteral("%1 \"%2\": needs %3, has %4").arg(Name(button), text).arg(needed).arg(room);
}

void CheckComboBox(const QComboBox* box, QStringList& faults) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    const int room =
        box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box).width();
    for (int index = 0; index < box->count(); ++index) {
        const QString text = box->itemText(index);
        const int needed = box->fontMetrics().horizontalAdvance(text);
        if (needed > room)
            faults << QStringLiteral("%1 item \"%2\": needs %3, has %4").arg(Name(box), text).arg(needed).arg(room);
    }
}

void CheckTabBar(const QTabBar* bar, QStringList& faults) {
    for (const QToolButton* scroll : bar->findChildren<QToolButton*>())
        if (scroll->isVisible()) {
            faults << QStringLiteral("%1: needs scroll buttons").arg(Name(bar));
            break;
        }
    for (int index = 0; index < bar->count(); ++index) {
        if (!bar->isTabVisible(index)) continue;
        const QRect tab = bar->tabRect(index);
        const int needed = bar->fontMetrics().horizontalAdvance(Shown(bar->tabText(index)));
        const bool inside = bar->rect().contains(tab);
        if (!inside || needed + 8 > tab.width())
            faults << QStringLiteral("%1 tab \"%2\": needs %3, has %4%5")
                          .arg(Name(bar), bar->tabText(index))
                          .arg(needed + 8)
                          .arg(tab.width())
                          .arg(inside ? QString() : QStringLiteral(", outside the bar"));
    }
}

void CheckHeader(const QHeaderView* header, QStringList& faults) {
    const QAbstractItemModel* model = header->model();
    if (!model) return;
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int count = header->orientation() == Qt::Horizontal ? model->columnCount() : model->rowCount();
    for (int section = 0; section < count; ++section) {
        if (header->isSectionHidden(section) || header->sectionSize(section) == 0) continue;
        const QString text = model->headerData(section, header->orientation(), Qt::DisplayRole).toString();
        if (text.isEmpty()) continue;
        const QFontMetrics metrics = header->fontMetrics();
        const int needed =
            header->orientation() == Qt::Horizontal ? metrics.horizontalAdvance(text) + 2 * margin : metrics.height();
        if (needed > header->sectionSize(section))
            faults << QStringLiteral("%1 section \"%2\": needs %3, has %4")
                          .arg(Name(header), text)
                          .arg(needed)
                          .arg(header->sectionSize(section));
    }
}

void CheckTable(const QTableView* table, QStringList& faults) {
    const QAbstractItemModel* model = table->model();
    if (!model) return;
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (table->isRowHidden(row) || table->rowHeight(row) == 0) continue;
        for (int column = 0; column < model->columnCount(); ++column) {
            if (table->isColumnHidden(column) || table->columnWidth(column) == 0) continue;
            const QModelIndex index = model->index(row, column);
            const QString text = index.data(Qt::DisplayRole).toString();
            if (text.isEmpty()) continue;
            const QVariant font = index.data(Qt::FontRole);
            const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : table->font());
            const QSize needed(metrics.horizontalAdvance(text) + 2 * margin, metrics.height());
            if (needed.width() > table->columnWidth(column) || needed.height() > table->rowHeight(row))
                faults << QStringLiteral("%1 cell %2,%3 \"%4\": needs %5x%6, has %7x%8")
                              .arg(Name(table))
                              .arg(row)
                              .arg(column)
                              .arg(text)
                              .arg(needed.width())
                              .arg(needed.height())
                              .arg(table->columnWidth(column))
                              .arg(table->rowHeight(row));
        }
    }
    // A grid its surroundings cut off hides its last rows or its scroll bar.
    QRect seen = table->rect();
    for (const QWidget* widget = table; !widget->isWindow(); widget = widget->parentWidget())
        seen = seen.translated(widget->pos()) & widget->parentWidget()->rect();
    if (seen.height() < table->height() || seen.width() < table->width())
        faults << QStringLiteral("%1: %2x%3 of its %4x%5 show")
                      .arg(Name(table))
                      .arg(seen.width())
                      .arg(seen.height())
                      .arg(table->width())
                      .arg(table->height());
    // Cells beyond the view must be reachable by scrolling.
    const QSize view = table->viewport()->size();
    const int width = table->horizontalHeader()->length();
    const int height = table->verticalHeader()->length();
    if (width > view.width() && table->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
        faults << QStringLiteral("%1: columns %2 wide in a view of %3 that cannot scroll")
                      .arg(Name(table))
                      .arg(width)
                      .arg(view.width());
    if (height > view.height() && table->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
        faults << QStringLiteral("%1: rows %2 high in a view of %3 that cannot scroll")
                      .arg(Name(table))
                      .arg(height)
                      .arg(view.height());
}

void CheckScene(const QGraphicsView* view, QStringList& faults) {
    if (!view->scene()) return;
    for (const QGraphicsItem* item : view->scene()->items()) {
        if (!item->isVisible()) continue;
        QString text;
        if (auto* rich = dynamic_cast<const QGraphicsTextItem*>(item))
            text = rich->toPlainText();
        else if (auto* simple = dynamic_cast<const QGraphicsSimpleTextItem*>(item))
            text = simple->text();
        // The chart library cuts a label with three full stops; a cut made elsewhere ends in the ellipsis sign.
        if (text.contains(Ellipsis) || text.contains(QLatin1String("...")))
            faults << QStringLiteral("%1 chart text \"%2\"").arg(Name(view), text);
    }
}

}  // namespace

QStringList IllegibleTexts(const QWidget* window) {
    QStringList faults;
    QList<const QWidget*> widgets{window};
    for (const QWidget* child : window->findChildren<QWidget*>()) widgets << child;
    for (const QWidget* widget : widgets) {
        if (!widget->isVisible() || widget->width() <= 0 || widget->height() <= 0) continue;
        if (auto* label = qobject_cast<const QLabel*>(widget))
            CheckLabel(label, faults);
        else if (auto* button = qobject_cast<const QAbstractButton*>(widget))
            CheckButton(button, faults);
        else if (auto* box = qobject_cast<const QComboBox*>(widget))
            CheckComboBox(box, faults);
        else if (auto* bar = qobject_cast<const QTabBar*>(widget))
            CheckTabBar(bar, faults);
        else if (auto* header = qobject_cast<const QHeaderView*>(widget))
            CheckHeader(header, faults);
        else if (auto* table = qobject_cast<const QTableView*>(widget))
            CheckTable(table, faults);
        else if (auto* view = qobject_cast<const QGraphicsView*>(widget))
            CheckScene(view, faults);
    }
    const QString title = window->windowTitle();
    for (QString& fault : faults) fault = QStringLiteral("[%1] %2").arg(title, fault);
    return faults;
}

}  // namespace zemvalkorta::testing
