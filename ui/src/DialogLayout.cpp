#include "ui/DialogLayout.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <QWidget>
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

QFrame* SetUpDialog(QDialog* dialog, const QString& title) {
    if (!title.isEmpty()) dialog->setWindowTitle(title);
    dialog->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    return AddBevel(dialog);
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
    // Fixed: a line edit's own size hint asks for room for some seventeen characters, which would
    // stretch the dialog far beyond its design.
    edit->setFixedWidth(std::max(designWidth, needed));
}

namespace {

// Fits the dialog again each time it is shown: its setters may have changed texts since it was made.
class FitOnShow : public QObject {
public:
    FitOnShow(QDialog* dialog, QSize designSize) : QObject(dialog), DesignSize(designSize) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) FitNow(static_cast<QDialog*>(watched), DesignSize);
        return false;
    }

    static void FitNow(QDialog* dialog, QSize designSize);

    QSize DesignSize;
};

// Puts the focus on a control of the dialog each time it is shown, before the window system activates it.
class FocusOnShow : public QObject {
public:
    FocusOnShow(QDialog* dialog, QWidget* target) : QObject(dialog), Target(target) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && Target) Target->setFocus(Qt::OtherFocusReason);
        return false;
    }

    QPointer<QWidget> Target;
};

}  // namespace

void FocusWhenShown(QDialog* dialog, QWidget* target) {
    dialog->installEventFilter(new FocusOnShow(dialog, target));
    target->setFocus();
}

void FitDialog(QDialog* dialog, QSize designSize) {
    static const char* const Fitted = "zemvalkortaFitOnShow";
    if (!dialog->property(Fitted).toBool()) {
        dialog->setProperty(Fitted, true);
        dialog->installEventFilter(new FitOnShow(dialog, designSize));
    }
    FitOnShow::FitNow(dialog, designSize);
}

void FitOnShow::FitNow(QDialog* dialog, QSize designSize) {
    if (QLayout* layout = dialog->layout()) {
        // Polished, so that the sizes are those of the style and font the dialog is shown with,
        // and freed from an earlier fixed size, which would otherwise bound the layout's answer.
        dialog->ensurePolished();
        // The layouts keep their children's sizes until the event loop tells them of a change; a text
        // set just now must count already.
        for (QWidget* child : dialog->findChildren<QWidget*>()) {
            child->ensurePolished();
            child->updateGeometry();
        }
        for (QLayout* inner : dialog->findChildren<QLayout*>()) inner->invalidate();
        dialog->setMinimumSize(0, 0);
        dialog->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        layout->invalidate();
        layout->activate();
        // The title bar holds the caption beside the window system's buttons.
        const int title =
            QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(dialog->windowTitle());
        const int width = std::max({designSize.width(), layout->totalSizeHint().width(), title + 110});
        // Word-wrapped texts need more height the narrower they are laid out.
        const int height =
            layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : layout->totalSizeHint().height();
        dialog->setFixedSize(width, std::max(designSize.height(), height));
    } else {
        dialog->setFixedSize(designSize);
    }
}

}  // namespace zemvalkorta
