// Start-up of the program to its first painted main window, against a bare
// Qt main window of the same size (with and without one text on it), and one
// ShowPylon of a whole pylon (alone, and with the repaint it causes).
//
// Start-up is measured on whole processes: the benchmark starts itself again
// as a child that runs the program's start-up sequence (or the bare window)
// on the offscreen platform and reports through a pipe when the window has
// been painted for the first time. The time runs from the start of the
// process to that report; the child's ending is not counted.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include "comm/PylonLink.h"
#include "ui/comm/ProgressLogWindow.h"
#include "ui/lang/DataModule.h"
#include "model/FileHeader.h"
#include "model/PylonConfig.h"
#include "model/RegFileStore.h"
#include "model/ApplicationSettings.h"
#include "model/UserStore.h"
#include "ui/main/MainWindow.h"
#include "ui/main/PylonApplication.h"

extern char** environ;

namespace {

std::string selfPath;
std::string benchHome;  // XDG_CONFIG_HOME of the children, with the session in it
double bareMeanMs = 0;
double textMeanMs = 0;

// Seven lines that differ from the defaults in every field the editor shows.
void NonDefaultLines(PylonConfig& m)
{
    const char* names[] = {"Pb95", "Pb98", "ON", "ON TIR", "LPG", "Myjnia", "EUR"};
    for (int L = 0; L < 7; ++L) {
        PriceLine& line = m.Prices[L];
        line.Name = names[L];
        line.Price = {0, 0, uint8_t(L), uint8_t(L + 1), uint8_t(9 - L), 5};
        line.Conf.DecimalPoint = uint8_t(1 + L % 4);
        line.Conf.ZerosOff = L % 2;
        line.Conf.PriceBlinking = L == 3;
        line.Conf.PriceDash = L == 4;
        line.Conf.PriceOff = L == 5;
    }
}

std::string StorePath(const std::string& configHome) { return configHome + "/Lumarq Technology/Pylon2/user.reg"; }

void PrepareHome()
{
    char tmpl[] = "/tmp/lmq-bench-XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    benchHome = tmpl;
    const std::string config = benchHome + "/config";
    std::filesystem::create_directories(std::filesystem::path(StorePath(config)).parent_path());
    RegFileStore store(StorePath(config));
    {
        PylonConfig model(&store);
        NonDefaultLines(model);
    }  // written on release
    ApplicationSettings settings(&store);
    settings.LangId = "EN";
}

// Marks the first paint of `window` on `fd`, once the whole pass is done.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* window, int fd) : window_(window), fd_(fd) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Paint && !done_) {
            done_ = true;
            QTimer::singleShot(0, [fd = fd_] {
                const char mark = 'P';
                (void)::write(fd, &mark, 1);
                ::close(fd);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWidget* window_;
    int fd_;
    bool done_ = false;
};

// The program's start-up, as its entry point runs it.
int ChildProgram(int argc, char** argv, int fd)
{
    auto store = UserStore::Open();
    PylonConfig model(store.get());
    FileHeader file;
    PylonLink link("0.0.0.0", 2101);
    PylonApplication app(argc, argv);
    DataModule dm(store.get());
    MainWindow window(model, file, link, dm);
    ProgressLogWindow info(dm);
    info.setAttribute(Qt::WA_QuitOnClose, false);
    window.SetInfoWindow(&info);
    FirstPaint mark(&window, fd);
    window.show();
    return app.exec();
}

// The bare window; with `text`, one label on it, so that it loads the fonts
// as every window with text must.
int ChildBare(int argc, char** argv, int fd, bool text)
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto* client = new QWidget(&window);
    client->setFixedSize(MainWindow::ClientWidth, MainWindow::ClientHeight);
    window.setCentralWidget(client);
    if (text) (new QLabel(QStringLiteral("Lumarq Pylon"), client))->move(100, 100);
    FirstPaint mark(&window, fd);
    window.show();
    return app.exec();
}

double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Starts a child and returns the seconds until it reported its first paint.
double TimeChild(const char* mode)
{
    // The child inherits the write end only.
    int pipeFds[2];
    if (pipe(pipeFds) != 0) std::abort();
    fcntl(pipeFds[0], F_SETFD, FD_CLOEXEC);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "XDG_CONFIG_HOME=", 16) && std::strncmp(*e, "QT_QPA_PLATFORM=", 16)) env.push_back(*e);
    }
    env.push_back("XDG_CONFIG_HOME=" + benchHome + "/config");
    env.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string childFlag = "--child", modeArg = mode, fdArg = std::to_string(pipeFds[1]);
    char* args[] = {selfPath.data(), childFlag.data(), modeArg.data(), fdArg.data(), nullptr};

    pid_t pid = 0;
    const double start = Now();
    if (posix_spawn(&pid, selfPath.c_str(), nullptr, nullptr, args, envp.data()) != 0) std::abort();
    ::close(pipeFds[1]);
    char mark = 0;
    ssize_t n;
    do n = ::read(pipeFds[0], &mark, 1);
    while (n < 0 && errno == EINTR);
    const double painted = Now();
    ::close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (n != 1 || mark != 'P') {
        std::fprintf(stderr, "child %s did not paint\n", mode);
        std::abort();
    }
    return painted - start;
}

void BM_StartupBareMainWindow(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        const double t = TimeChild("bare");
        total += t;
        state.SetIterationTime(t);
    }
    bareMeanMs = 1000 * total / double(state.iterations());
}

void BM_StartupBareMainWindowWithText(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        const double t = TimeChild("text");
        total += t;
        state.SetIterationTime(t);
    }
    textMeanMs = 1000 * total / double(state.iterations());
}

void BM_StartupProgram(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        const double t = TimeChild("program");
        total += t;
        state.SetIterationTime(t);
    }
    const double mean = 1000 * total / double(state.iterations());
    if (bareMeanMs > 0) state.counters["x_bare"] = mean / bareMeanMs;
    if (textMeanMs > 0) state.counters["x_text"] = mean / textMeanMs;
}

// One whole redraw of the pylon in a running program (the session store a
// real file, as the program has it).
void BM_ShowPylon(benchmark::State& state)
{
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = std::make_unique<QApplication>(argc, argv);
    RegFileStore store(StorePath(benchHome + "/config"));
    {
        PylonConfig model(&store);
        FileHeader file;
        PylonLink link("0.0.0.0", 2101);
        DataModule dm(&store);
        MainWindow window(model, file, link, dm);
        window.show();
        QCoreApplication::processEvents();
        const bool paint = state.range(0) != 0;
        for (auto _ : state) {
            window.ShowPylon(PylonConfig(model));
            if (paint) window.repaint();
        }
    }
}

}  // namespace

BENCHMARK(BM_StartupBareMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartupBareMainWindowWithText)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartupProgram)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ShowPylon)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        const int fd = std::atoi(argv[3]);
        int qtArgc = 1;
        char* qtArgv[] = {argv[0], nullptr};
        if (std::strcmp(argv[2], "program") == 0) return ChildProgram(qtArgc, qtArgv, fd);
        return ChildBare(qtArgc, qtArgv, fd, std::strcmp(argv[2], "text") == 0);
    }
    selfPath = std::filesystem::canonical("/proc/self/exe").string();
    PrepareHome();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(benchHome);
    return 0;
}
