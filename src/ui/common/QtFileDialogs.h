#pragma once
#include "ui/common/FileDialogs.h"

class QFileDialog;

// The file dialogs on the screen.
class QtFileDialogs : public FileDialogs {
public:
    std::optional<QString> AskOpen(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> AskSave(QWidget* parent, const FileDialogRequest& request) override;

    // Sets a dialog up as `request` says (exposed for its test).
    static void Configure(QFileDialog& dialog, const FileDialogRequest& request);
};
