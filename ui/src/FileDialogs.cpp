#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <utility>

namespace zemvalkorta {
namespace {

FileDialogResponder& Responder() {
    static FileDialogResponder responder;
    return responder;
}

}  // namespace

QString ChooseFile(QWidget* parent, FileDialogKind kind, const QString& startFolder) {
    if (Responder()) return Responder()(kind, startFolder);

    QFileDialog dialog(parent);
    switch (kind) {
        case FileDialogKind::NewProject:
            dialog.setWindowTitle(QStringLiteral("Новый проект"));
            dialog.setNameFilter(QStringLiteral("Файлы проектов (*.fdb)"));
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("fdb"));
            break;
        case FileDialogKind::OpenProject:
            dialog.setWindowTitle(QStringLiteral("Открыть проект"));
            // The list shows "Файлы проектов (.fdb)"; the pattern behind it stays hidden.
            dialog.setNameFilter(QStringLiteral("Файлы проектов (.fdb) (*.fdb)"));
            dialog.setOption(QFileDialog::HideNameFilterDetails);
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
            break;
        case FileDialogKind::ExportText:
            dialog.setWindowTitle(QStringLiteral("Экспорт данных в .txt"));
            dialog.setNameFilter(QStringLiteral("Файлы (.txt) (*.txt)"));
            dialog.setOption(QFileDialog::HideNameFilterDetails);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("txt"));
            break;
    }
    if (!startFolder.isEmpty()) dialog.setDirectory(startFolder);
    dialog.setFilter(dialog.filter() | QDir::Hidden);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

FileDialogResponder SetFileDialogResponder(FileDialogResponder responder) {
    return std::exchange(Responder(), std::move(responder));
}

}  // namespace zemvalkorta
