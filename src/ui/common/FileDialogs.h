#pragma once
#include <optional>
#include <QString>
#include <QStringList>

class QWidget;

// What one open or save dialog asks.
struct FileDialogRequest {
    QString title;
    QStringList filters;  // Qt's form: "Lumarq Pylon files (*.lmqpyl)"
    int filterIndex = 1;  // 1 = the first filter
    QString initialFolder;
    QString fileName;       // proposed name, a bare name or a whole path
    QString defaultSuffix;  // added to a name typed without one
    bool confirmOverwrite = false;
};

// The open and save dialogs of the main window's file commands. The program
// shows Qt's dialogs; tests answer them without a person.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen file, or nothing when the operator cancelled.
    virtual std::optional<QString> AskOpen(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual std::optional<QString> AskSave(QWidget* parent, const FileDialogRequest& request) = 0;
};
