#pragma once
#include <functional>
#include <QString>

// The desktop's "open": a document with the program registered for its type,
// a web address with the browser. The result follows the shell codes the
// callers judge: 32 or more is success; 2 the file was not found, 31 nothing
// is registered to open it.
class Shell {
public:
    static constexpr int FileNotFound = 2;
    static constexpr int NoAssociation = 31;
    static constexpr int Opened = 42;

    static int OpenDocument(const QString& target);

private:
    friend class ShellSeam;
    static int OpenOnDesktop(const QString& target);  // one implementation per OS
};

// Tests answer the shell through this while it lives; nothing is launched.
class ShellSeam {
public:
    using Handler = std::function<int(const QString& target)>;
    explicit ShellSeam(Handler handler);
    ~ShellSeam();
    ShellSeam(const ShellSeam&) = delete;
    ShellSeam& operator=(const ShellSeam&) = delete;

    static int Dispatch(const QString& target);

private:
    Handler previous_;
};
