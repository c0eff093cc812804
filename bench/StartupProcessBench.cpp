// Start-up as whole processes, paired in one run: the screenshot tool (the
// main window with the sample configuration, drawn, grabbed into a PNG, the
// process ended) against bare_window (a bare QMainWindow of the same client
// size doing the same). They run in turn, A B A B ..., on the offscreen
// platform in a scratch home, so that a drift of the machine's speed moves
// both sides of a pair alike. Each run's wall time is read around its spawn
// and reaping; its CPU time (user + system) and peak memory are the system's
// accounting of the reaped child. Printed: the median of each command and
// the median of the ratios taken pair by pair.
//
//   startup_process_bench [--pairs N] [--warmup N] [--limit RATIO]
//                         [--program PATH] [--bare PATH]
//
// With --limit the exit code is 1 when the median wall time or peak memory
// ratio is above RATIO. The peak of a child cannot read below this runner's
// own (the system counts the parent's pages until the child's exec), which
// is why the runner links neither Qt nor the project.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Run {
    double wallMs = 0;
    double cpuMs = 0;
    double peakMiB = 0;
};

double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The children's environment: ours, with a home, configuration, data and
// run-time folder of their own and the offscreen platform.
std::vector<std::string> ChildEnvironment(const std::string& scratch)
{
    const char* replaced[] = {"HOME=", "XDG_CONFIG_HOME=", "XDG_DATA_HOME=", "XDG_RUNTIME_DIR=", "QT_QPA_PLATFORM="};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        bool keep = true;
        for (const char* r : replaced) keep = keep && std::strncmp(*e, r, std::strlen(r)) != 0;
        if (keep) env.emplace_back(*e);
    }
    env.push_back("HOME=" + scratch);
    env.push_back("XDG_CONFIG_HOME=" + scratch + "/config");
    env.push_back("XDG_DATA_HOME=" + scratch + "/data");
    env.push_back("XDG_RUNTIME_DIR=" + scratch + "/run");
    env.push_back("QT_QPA_PLATFORM=offscreen");
    return env;
}

// Runs one command to its end; a command that cannot start or fails ends the benchmark.
Run RunOnce(const std::vector<std::string>& command, std::vector<std::string>& env)
{
    std::vector<char*> argv;
    for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    Run run;
    pid_t pid = 0;
    const double start = Now();
    const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(spawned));
        std::exit(2);
    }
    int status = 0;
    rusage usage{};
    pid_t reaped;
    do reaped = wait4(pid, &status, 0, &usage);
    while (reaped < 0 && errno == EINTR);
    run.wallMs = Now() - start;
    if (reaped != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0], status);
        std::exit(2);
    }
    auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) * 1e-3; };
    run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    run.peakMiB = double(usage.ru_maxrss) / 1024;  // kilobytes on Linux
    return run;
}

bool Count(const char* text, int& value, long least)
{
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    value = int(n);
    return end != text && *end == 0 && n >= least && n <= 1000;
}

bool Ratio(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == 0 && value > 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int pairs = 21, warmup = 2;
    double limit = 0;
    std::string program = LMQ_SCREENSHOT, bare = LMQ_BARE_WINDOW;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        bool ok = hasValue;
        if (std::strcmp(argv[i], "--pairs") == 0 && hasValue) ok = Count(argv[++i], pairs, 1);
        else if (std::strcmp(argv[i], "--warmup") == 0 && hasValue) ok = Count(argv[++i], warmup, 0);
        else if (std::strcmp(argv[i], "--limit") == 0 && hasValue) ok = Ratio(argv[++i], limit);
        else if (std::strcmp(argv[i], "--program") == 0 && hasValue) program = argv[++i];
        else if (std::strcmp(argv[i], "--bare") == 0 && hasValue) bare = argv[++i];
        else ok = false;
        if (!ok) {
            std::fprintf(stderr, "usage: %s [--pairs N] [--warmup N] [--limit RATIO] [--program PATH] [--bare PATH]\n",
                         argv[0]);
            return 2;
        }
    }

    char scratchName[] = "/tmp/lmq-startup-XXXXXX";
    if (!mkdtemp(scratchName)) {
        std::perror("mkdtemp");
        return 2;
    }
    const std::string scratch = scratchName;
    for (const char* sub : {"/config", "/data", "/run"}) ::mkdir((scratch + sub).c_str(), 0700);
    std::vector<std::string> env = ChildEnvironment(scratch);
    const std::vector<std::string> a = {program, scratch + "/program.png", "EN", "main"};
    const std::vector<std::string> b = {bare, scratch + "/bare.png"};

    for (int i = 0; i < warmup; ++i) {
        RunOnce(a, env);
        RunOnce(b, env);
    }
    std::vector<Run> as, bs;
    for (int i = 0; i < pairs; ++i) {
        as.push_back(RunOnce(a, env));
        bs.push_back(RunOnce(b, env));
    }
    std::filesystem::remove_all(scratch);

    struct Row {
        const char* name;
        double Run::*field;
    };
    const Row rows[] = {{"wall ms", &Run::wallMs}, {"cpu ms", &Run::cpuMs}, {"peak MiB", &Run::peakMiB}};
    double wallRatio = 0, peakRatio = 0;
    std::printf("start-up to a drawn main window and exit, %d pairs in turn\n", pairs);
    std::printf("  A: %s\n  B: %s\n", program.c_str(), bare.c_str());
    std::printf("%-10s %10s %10s %10s\n", "median", "A", "B", "A/B");
    for (const Row& row : rows) {
        std::vector<double> va, vb, ratio;
        for (size_t i = 0; i < as.size(); ++i) {
            va.push_back(as[i].*row.field);
            vb.push_back(bs[i].*row.field);
            ratio.push_back(vb.back() > 0 ? va.back() / vb.back() : 0);
        }
        const double r = Median(ratio);
        std::printf("%-10s %10.2f %10.2f %10.3f\n", row.name, Median(va), Median(vb), r);
        if (row.field == &Run::wallMs) wallRatio = r;
        if (row.field == &Run::peakMiB) peakRatio = r;
    }
    if (limit > 0 && (wallRatio > limit || peakRatio > limit)) {
        std::printf("above the limit of %.2f\n", limit);
        return 1;
    }
    return 0;
}
