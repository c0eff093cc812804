#include "ui/main/Shell.h"

#include <QApplication>
#include <QWidget>
#include <windows.h>
#include <shellapi.h>

// On Windows the "open" verb is the shell's own: the program registered for
// the document's type, the browser for a web address. ShellExecute's result
// is the code the callers judge (32 or more is success). The target goes as
// a wide string, so no character of a path is lost on the way.
int Shell::OpenOnDesktop(const QString& target)
{
    const QWidget* window = QApplication::activeWindow();
    const HWND owner = window ? reinterpret_cast<HWND>(window->winId()) : nullptr;
    const std::wstring file = target.toStdWString();
    const HINSTANCE result = ::ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return int(reinterpret_cast<INT_PTR>(result));
}
