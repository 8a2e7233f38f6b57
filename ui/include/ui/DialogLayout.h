#pragma once

// The pieces every small dialog is built from: a framed area holding the
// controls, a centred row of buttons under it, and a size that is the
// original design size unless the texts in the desktop's font need more.

#include <QMargins>
#include <QSize>
#include <QString>
#include <initializer_list>

class QBoxLayout;
class QDialog;
class QFrame;
class QLineEdit;
class QPushButton;
class QWidget;

namespace zemvalkorta {

// A sunken frame inside `dialog`'s top-to-bottom layout (made on first use).
QFrame* AddBevel(QDialog* dialog);

// How every dialog starts: a tool window with its title (when given) and no
// buttons on its title bar, and the sunken frame for its controls.
QFrame* SetUpDialog(QDialog* dialog, const QString& title);

// The frame's own layout, of the given kind, with these margins and (unless
// negative) this spacing.
template <typename Layout>
Layout* LayOutFrame(QFrame* frame, const QMargins& margins, int spacing = -1) {
    auto* layout = new Layout(frame);
    layout->setContentsMargins(margins);
    if (spacing >= 0) layout->setSpacing(spacing);
    return layout;
}

// A row of buttons centred under the frame.
void AddButtonRow(QDialog* dialog, std::initializer_list<QPushButton*> buttons);

// A push button at least 75 pixels wide, the width of the original buttons.
QPushButton* MakeDialogButton(const QString& text, QWidget* parent);

// "Применить" as the default button that Enter presses, "Отмена" as the one Esc presses.
void MakeApplyCancelButtons(QDialog* dialog, QPushButton*& apply, QPushButton*& cancel);

// Exactly as wide as `sample`, the widest text the field is meant to show, needs, and never below `designWidth`.
void FitEditToText(QLineEdit* edit, const QString& sample, int designWidth);

// `target` has the keyboard focus whenever the dialog opens.
void FocusWhenShown(QDialog* dialog, QWidget* target);

// Fixes the dialog's size at `designSize` or at what its layout needs, whichever is larger.
void FitDialog(QDialog* dialog, QSize designSize);

}  // namespace zemvalkorta
