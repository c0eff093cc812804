#include "ui/main/Shell.h"

namespace {

ShellSeam::Handler& CurrentHandler()
{
    static ShellSeam::Handler handler;
    return handler;
}

}  // namespace

int Shell::OpenDocument(const QString& target) { return ShellSeam::Dispatch(target); }

ShellSeam::ShellSeam(Handler handler) : previous_(std::move(CurrentHandler()))
{
    CurrentHandler() = std::move(handler);
}

ShellSeam::~ShellSeam() { CurrentHandler() = std::move(previous_); }

int ShellSeam::Dispatch(const QString& target)
{
    if (CurrentHandler()) return CurrentHandler()(target);
    return Shell::OpenOnDesktop(target);
}
