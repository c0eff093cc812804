#pragma once
#include <exception>
#include <QApplication>
#include <QIcon>

// The program's application object. An exception that escapes an event
// handler is shown in the standard error box with its text, and the program
// goes on with the next event.
class PylonApplication : public QApplication {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TLumarqApplication")
public:
    PylonApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The program's icon in the sizes of the icon theme (48, 128, 256 pixels).
    static QIcon ProgramIcon();

    // Shows the error box for a caught exception (empty text for one that is
    // not a std::exception).
    static void ShowException(std::exception_ptr error);
};
