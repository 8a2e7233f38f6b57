#pragma once

// The program's file dialogs. Like the message boxes they can be answered by
// a test (SetFileDialogResponder) instead of the modal dialog.

#include <QString>
#include <functional>

class QWidget;

namespace zemvalkorta {

enum class FileDialogKind { NewProject, OpenProject, ExportText };

using FileDialogResponder = std::function<QString(FileDialogKind kind, const QString& startFolder)>;

// The chosen file's full path, or an empty text when the dialog was cancelled.
QString ChooseFile(QWidget* parent, FileDialogKind kind, const QString& startFolder);

// Replaces the dialogs; an empty responder restores them. Returns the previous one.
FileDialogResponder SetFileDialogResponder(FileDialogResponder responder);

}  // namespace zemvalkorta
