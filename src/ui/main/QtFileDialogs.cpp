#include "ui/main/QtFileDialogs.h"

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
    // A folder that does not exist yet leaves the dialog where it would start anyway.
    if (!request.initialFolder.isEmpty() && QDir(request.initialFolder).exists())
        dialog.setDirectory(request.initialFolder);
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
