#include "ui/common/QtFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

void QtFileDialogs::Configure(QFileDialog& dialog, const FileDialogRequest& request)
{
    dialog.setWindowTitle(request.title);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 1 && request.filterIndex <= request.filters.size())
        dialog.selectNameFilter(request.filters[request.filterIndex - 1]);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // The program's folder under the documents is not made for the operator:
    // until it exists the dialog starts in the nearest folder that does.
    if (!request.initialFolder.isEmpty()) {
        QString folder = QDir::cleanPath(request.initialFolder);
        while (!QDir(folder).exists()) {
            const QString parent = QFileInfo(folder).path();
            if (parent == folder) break;
            folder = parent;
        }
        if (QDir(folder).exists()) dialog.setDirectory(folder);
    }
    if (!request.fileName.isEmpty()) {
        const QFileInfo proposed(request.fileName);
        if (proposed.isAbsolute() && proposed.dir().exists()) dialog.setDirectory(proposed.dir());
        dialog.selectFile(proposed.isAbsolute() ? proposed.fileName() : request.fileName);
    }
}

std::optional<QString> QtFileDialogs::AskOpen(QWidget* parent, const FileDialogRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    Configure(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtFileDialogs::AskSave(QWidget* parent, const FileDialogRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Only an existing folder is accepted; the file itself may be new.
    dialog.setFileMode(QFileDialog::AnyFile);
    Configure(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}
