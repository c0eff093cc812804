#include <cstdio>
#include <optional>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>

#include "comm/PylonLink.h"
#include "ui/comm/ProgressLogWindow.h"
#include "ui/lang/DataModule.h"
#include "model/FileHeader.h"
#include "model/PylonConfig.h"
#include "model/RegFileStore.h"
#include "model/UserStore.h"
#include "model/Version.h"
#include "ui/main/SingleInstance.h"
#include "ui/main/StoreWarning.h"
#include "ui/main/MainWindow.h"
#include "ui/main/PylonApplication.h"

namespace {

struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Prints the options and exits.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Prints the program's version and exits.")};

    CommandLine()
    {
        parser.setApplicationDescription(QStringLiteral("Configurator for the Lumarq LED price pylon."));
        parser.addOption(help);
        parser.addOption(version);
        parser.addPositionalArgument(QStringLiteral("FILE"),
                                     QStringLiteral("A configuration file to open, as the File menu's Open does."),
                                     QStringLiteral("[FILE]"));
    }
};

void Print(FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

// --help and --version answer without a display: a core application of
// their own, gone before the program's.
std::optional<int> AnswerInformation(int argc, char** argv)
{
    QCoreApplication core(argc, argv);
    CommandLine line;
    line.parser.parse(core.arguments());  // the windowing system's options are not known here
    if (line.parser.isSet(line.help)) {
        Print(stdout, line.parser.helpText());
        return 0;
    }
    if (line.parser.isSet(line.version)) {
        Print(stdout,
              QStringLiteral("LumarqPylon %1 (file version %2)\n")
                  .arg(QString::fromStdString(ProgramVersionText()), QString::fromStdString(ProgramFileVersion())));
        return 0;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = AnswerInformation(argc, argv)) return *answered;

    // The lock of the one instance per store is held until the model below
    // has written the session.
    SingleInstance instance(QString::fromStdString(UserStore::Location()));

    // The objects that live as long as the process, before any window: the
    // model (defaults, then the last session), the file header and the link.
    // The model is released after the windows and writes the session then.
    std::unique_ptr<RegStore> store;
    std::optional<PylonConfig> model;
    // A store file that cannot be used is moved aside or left alone before
    // anything is written; the operator hears of it once the language is known.
    StoreTrouble trouble;
    FileHeader file;
    PylonLink link("0.0.0.0", 2101);

    PylonApplication app(argc, argv);
    CommandLine line;
    if (!line.parser.parse(app.arguments()) || line.parser.positionalArguments().size() > 1) {
        const QString error =
            line.parser.errorText().isEmpty() ? QStringLiteral("more than one file named") : line.parser.errorText();
        Print(stderr, QStringLiteral("LumarqPylon: ") + error + QStringLiteral("\n\n") + line.parser.helpText());
        return 1;
    }
    const QStringList positional = line.parser.positionalArguments();
    const QString fileArgument = positional.isEmpty() ? QString() : QFileInfo(positional.first()).absoluteFilePath();

    switch (instance.Start(fileArgument)) {
    case SingleInstance::Role::First: break;
    case SingleInstance::Role::Handed: return 0;
    case SingleInstance::Role::NoAnswer:
        Print(stderr,
              QStringLiteral("LumarqPylon: another instance holds %1 but does not answer\n").arg(instance.LockPath()));
        return 1;
    }

    store = UserStore::Open(&trouble);
    model.emplace(store.get());
    try {
        DataModule dm(store.get());                     // released after the windows: stores the language code
        MainWindow mainWindow(*model, file, link, dm);  // loads the interface language
        TellStoreTrouble(trouble);
        ProgressLogWindow infoWindow(dm);  // hidden until a pylon command shows it
        infoWindow.setAttribute(Qt::WA_QuitOnClose, false);
        mainWindow.SetInfoWindow(&infoWindow);

        // Files handed over by later starts (or named on this one's command
        // line) open once no dialog of the window is open.
        QStringList pending;
        QTimer retry;
        retry.setInterval(250);
        const auto openPending = [&] {
            if (QApplication::activeModalWidget()) {
                retry.start();
                return;
            }
            retry.stop();
            while (!pending.isEmpty()) mainWindow.OpenFile(pending.takeFirst());
        };
        QObject::connect(&retry, &QTimer::timeout, &mainWindow, openPending);
        QObject::connect(&instance, &SingleInstance::Requested, &mainWindow, [&](const QString& requested) {
            mainWindow.BringToFront();
            if (requested.isEmpty()) return;
            pending.append(requested);
            openPending();
        });

        mainWindow.show();
        if (!fileArgument.isEmpty()) {
            pending.append(fileArgument);
            QTimer::singleShot(0, &mainWindow, openPending);
        }
        app.exec();
        instance.StopListening();
    } catch (...) {
        instance.StopListening();
        PylonApplication::ShowException(std::current_exception());
    }
    return 0;
}
