// pylon-emulator: a pylon controller on this machine, for trying the
// configurator without hardware.
//   pylon-emulator [--tcp PORT] [--pty]
// Without options it does both, TCP on port 2101. Runs until interrupted.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "emulator/PylonEmulator.h"

namespace {

void Usage()
{
    std::fprintf(stderr,
                 "usage: pylon-emulator [--tcp PORT] [--pty]\n"
                 "  --tcp PORT  answer on 127.0.0.1:PORT (0 picks a free port)\n"
                 "  --pty       answer on a pseudo-terminal; use the printed port name\n"
                 "Without options: --tcp 2101 --pty.\n");
}

}  // namespace

int main(int argc, char** argv)
{
    bool tcp = false, pty = false;
    long port = 2101;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tcp") == 0 && i + 1 < argc) {
            char* end = nullptr;
            port = std::strtol(argv[++i], &end, 10);
            if (*end || port < 0 || port > 65535) {
                Usage();
                return 2;
            }
            tcp = true;
        } else if (std::strcmp(argv[i], "--pty") == 0) {
            pty = true;
        } else {
            Usage();
            return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        }
    }
    if (!tcp && !pty) tcp = pty = true;

    // Ctrl+C and kill end the emulator through sigwait, on this thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::mutex out;
    PylonEmulator emu;
    emu.onEvent = [&out](const std::string& line) {
        std::lock_guard lock(out);
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    };
    try {
        if (tcp) {
            const uint16_t bound = emu.ListenTcp(uint16_t(port));
            std::lock_guard lock(out);
            std::printf("TCP: listening on 127.0.0.1 port %u (connection settings: IP 127.0.0.1, port %u)\n", bound,
                        bound);
        }
        if (pty) {
            const std::string name = emu.OpenPty();
            std::lock_guard lock(out);
            std::printf("serial: pseudo-terminal /dev/%s (connection settings: COM port, name %s)\n", name.c_str(),
                        name.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fflush(stdout);

    int sig = 0;
    sigwait(&stopSignals, &sig);
    emu.Stop();
    return 0;
}
