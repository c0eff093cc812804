// A whole Send and a whole Download through the program's command sequences,
// against the emulator on loopback and on a pseudo-terminal, without the
// fixed pause after a success.
#include <benchmark/benchmark.h>

#include "comm/ConfigTransfer.h"
#include "comm/PylonLink.h"
#include "comm/ProgressLog.h"
#include "comm/SerialPort.h"
#include "comm/Waiter.h"
#include "emulator/PylonEmulator.h"
#include "lang/Msg.h"
#include "model/PylonConfig.h"

namespace {

class QuietLog : public ProgressLog {
public:
    void ShowLog() override { lines = 0; }
    void CloseLog() override { closed = true; }
    void AppendLine(const std::string&) override { ++lines; }
    int lines = 0;
    bool closed = false;
};

class NoWait : public Waiter {
public:
    void Wait(int) override {}
};

struct Rig {
    explicit Rig(bool serial)
    {
        for (int i = 0; i < MsgCount; ++i) Msg[i] = std::to_string(i);
        if (serial) {
            model.UseCOM = true;
            model.ComName = emu.OpenPty();
            model.ComSpeed = 13;  // 115200
        } else {
            model.NetSettings.push_back({"Pylon", "127.0.0.1", emu.ListenTcp(), true});
        }
    }
    ConfigTransfer Transfer()
    {
        return ConfigTransfer({model, link, port, log, waiter, [](const std::string&, int) {},
                               [](const std::string&) {}, [](const PylonConfig&) {}});
    }

    PylonEmulator emu;
    PylonConfig model;
    PylonLink link{"0.0.0.0", 2101};
    SerialPort port;
    QuietLog log;
    NoWait waiter;
};

void Check(benchmark::State& state, const QuietLog& log)
{
    if (!log.closed) state.SkipWithError("the command did not succeed");
}

void BM_SendOverTcp(benchmark::State& state)
{
    Rig rig(false);
    for (auto _ : state) {
        rig.log.closed = false;
        rig.Transfer().Send();
        Check(state, rig.log);
    }
}
BENCHMARK(BM_SendOverTcp)->Unit(benchmark::kMicrosecond);

void BM_DownloadOverTcp(benchmark::State& state)
{
    Rig rig(false);
    for (auto _ : state) {
        rig.log.closed = false;
        rig.Transfer().Download();
        Check(state, rig.log);
    }
}
BENCHMARK(BM_DownloadOverTcp)->Unit(benchmark::kMicrosecond);

void BM_SendOverPty(benchmark::State& state)
{
    Rig rig(true);
    for (auto _ : state) {
        rig.log.closed = false;
        rig.Transfer().Send();
        Check(state, rig.log);
    }
}
BENCHMARK(BM_SendOverPty)->Unit(benchmark::kMicrosecond);

void BM_DownloadOverPty(benchmark::State& state)
{
    Rig rig(true);
    for (auto _ : state) {
        rig.log.closed = false;
        rig.Transfer().Download();
        Check(state, rig.log);
    }
}
BENCHMARK(BM_DownloadOverPty)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
