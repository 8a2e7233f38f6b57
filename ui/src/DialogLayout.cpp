#include "ui/DialogLayout.h"

#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <algorithm>

namespace zemvalkorta {
namespace {

QVBoxLayout* DialogLayout(QDialog* dialog) {
    if (auto* existing = qobject_cast<QVBoxLayout*>(dialog->layout())) return existing;
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    return layout;
}

}  // namespace

QFrame* AddBevel(QDialog* dialog) {
    auto* bevel = new QFrame(dialog);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    DialogLayout(dialog)->addWidget(bevel, 1);
    return bevel;
}

void AddButtonRow(QDialog* dialog, std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    row->addStretch(1);
    for (QPushButton* button : buttons) row->addWidget(button);
    row->addStretch(1);
    DialogLayout(dialog)->addLayout(row);
}

QPushButton* MakeDialogButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setMinimumSize(75, 25);
    return button;
}

void MakeApplyCancelButtons(QDialog* dialog, QPushButton*& apply, QPushButton*& cancel) {
    apply = MakeDialogButton(QStringLiteral("Применить"), dialog);
    apply->setDefault(true);
    apply->setAutoDefault(true);
    cancel = MakeDialogButton(QStringLiteral("Отмена"), dialog);
    // Only the default button reacts to Enter, wherever the focus is.
    cancel->setAutoDefault(false);
    QObject::connect(apply, &QPushButton::clicked, dialog, &QDialog::accept);
    // QDialog turns Esc into reject(), which is what "Отмена" does.
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    AddButtonRow(dialog, {apply, cancel});
}

void FitEditToText(QLineEdit* edit, const QString& sample, int designWidth) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QSize text(edit->fontMetrics().horizontalAdvance(sample) + 8, edit->fontMetrics().height());
    const int needed = edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, edit).width();
    edit->setMinimumWidth(std::max(designWidth, needed));
}

void FitDialog(QDialog* dialog, QSize designSize) {
    if (QLayout* layout = dialog->layout()) {
        layout->activate();
        const int width = std::max(designSize.width(), layout->totalSizeHint().width());
        // Word-wrapped texts need more height the narrower they are laid out.
        const int height =
            layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : layout->totalSizeHint().height();
        dialog->setFixedSize(width, std::max(designSize.height(), height));
    } else {
        dialog->setFixedSize(designSize);
    }
}

}  // namespace zemvalkorta
