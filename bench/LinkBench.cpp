// The link's cost over the wire itself: a whole Send-like and Download-like
// exchange with the emulator on loopback, through PylonLink and through the
// program's Send and Download, beside a bare socket loop moving the same bytes
// (the floor); and serving eight pylons of which two refuse.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "comm/ConfigTransfer.h"
#include "comm/Frames.h"
#include "comm/PylonLink.h"
#include "comm/ProgressLog.h"
#include "comm/SerialPort.h"
#include "comm/Waiter.h"
#include "emulator/PylonEmulator.h"
#include "lang/Msg.h"
#include "model/PylonConfig.h"

namespace {

class CountingLog : public ProgressLog {
public:
    void ShowLog() override { lines = 0; }
    void CloseLog() override { ++closes; }
    void AppendLine(const std::string&) override { ++lines; }
    int lines = 0;
    int closes = 0;
};

// The exchange of Send: three headers, each followed by its block.
bool SendThroughLink(PylonLink& link, const PylonConfig& model)
{
    if (link.Connect() != 0) return false;
    bool ok = true;
    for (uint8_t c : {Frames::CmdSendDigits, Frames::CmdSendLineSettings, Frames::CmdSendFonts}) {
        link.command = c;
        ok = ok && link.SendHeader() == 0 && link.ReadReply() == 170;
        const LinkResult r = !ok                                ? -1
                             : c == Frames::CmdSendDigits       ? link.SendPriceDigits(model)
                             : c == Frames::CmdSendLineSettings ? link.SendLineSettings(model)
                                                                : link.SendFontSettings(model);
        ok = ok && r == 0 && link.ReadReply() == 170;
    }
    link.Disconnect();
    return ok;
}

bool DownloadThroughLink(PylonLink& link, PylonConfig& model)
{
    if (link.Connect() != 0) return false;
    link.command = Frames::CmdReadPriceBlock;
    bool ok = link.SendHeader() == 0 && link.ReadReply() == 170 && link.ReadPriceBlock(model) == 0;
    link.command = Frames::CmdReadFontBlock;
    ok = ok && link.SendHeader() == 0 && link.ReadReply() == 170 && link.ReadFontBlock(model) == 0;
    link.Disconnect();
    return ok;
}

// The floor: the same bytes over a plain blocking socket, no checks, no time-outs.
class BareClient {
public:
    explicit BareClient(uint16_t port)
    {
        sa_.sin_family = AF_INET;
        sa_.sin_port = htons(port);
        sa_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    bool Open()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        return ::connect(fd_, reinterpret_cast<const sockaddr*>(&sa_), sizeof sa_) == 0;
    }
    void Close() { ::close(fd_); }
    bool Put(const uint8_t* b, size_t n) { return ::send(fd_, b, n, MSG_NOSIGNAL) == ssize_t(n); }
    bool Get(uint8_t* b, size_t n)
    {
        size_t got = 0;
        while (got < n) {
            const ssize_t r = ::recv(fd_, b + got, n - got, 0);
            if (r <= 0) return false;
            got += size_t(r);
        }
        return true;
    }

private:
    sockaddr_in sa_{};
    int fd_ = -1;
};

bool SendBare(BareClient& c, const Frames::DigitsBlock& d, const Frames::LineSettingsBlock& l,
              const Frames::FontBlock& f)
{
    if (!c.Open()) return false;
    uint8_t reply[2];
    bool ok = true;
    const std::pair<uint8_t, std::pair<const uint8_t*, size_t>> steps[] = {
        {Frames::CmdSendDigits, {d.data(), d.size()}},
        {Frames::CmdSendLineSettings, {l.data(), l.size()}},
        {Frames::CmdSendFonts, {f.data(), f.size()}}};
    for (const auto& [command, block] : steps) {
        const auto h = Frames::MakeHeader(command);
        ok = ok && c.Put(h.data(), h.size()) && c.Get(reply, 2) && c.Put(block.first, block.second) && c.Get(reply, 2);
    }
    c.Close();
    return ok;
}

bool DownloadBare(BareClient& c)
{
    if (!c.Open()) return false;
    uint8_t buf[2 + Frames::PriceBlockSize];
    auto h = Frames::MakeHeader(Frames::CmdReadPriceBlock);
    bool ok = c.Put(h.data(), h.size()) && c.Get(buf, 2 + Frames::PriceBlockSize);
    h = Frames::MakeHeader(Frames::CmdReadFontBlock);
    ok = ok && c.Put(h.data(), h.size()) && c.Get(buf, 2 + Frames::FontBlockSize);
    c.Close();
    return ok;
}

// The program's world for one command, with pylons on loopback.
struct Program {
    Program()
    {
        for (int i = 0; i < MsgCount; ++i) Msg[i] = std::to_string(i);
        model.UseCOM = false;
    }
    ConfigTransfer Transfer()
    {
        return ConfigTransfer({model, link, port, log, waiter, [](const std::string&, int) {},
                               [](const std::string&) {}, [](const PylonConfig&) {}});
    }
    PylonConfig model;
    PylonLink link{"0.0.0.0", 2101};
    SerialPort port;
    CountingLog log;
    RecordingWaiter waiter;  // the 2000 ms pause after a success is not waited
};

void BM_SendFloorBareSocket(benchmark::State& state)
{
    PylonEmulator emu;
    BareClient client(emu.ListenTcp());
    PylonConfig model;
    const auto d = Frames::MakeDigitsBlock(model);
    const auto l = Frames::MakeLineSettingsBlock(model);
    const auto f = Frames::MakeFontBlock(model);
    for (auto _ : state)
        if (!SendBare(client, d, l, f)) state.SkipWithError("bare exchange failed");
}
BENCHMARK(BM_SendFloorBareSocket)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SendThroughLink(benchmark::State& state)
{
    PylonEmulator emu;
    PylonLink link("127.0.0.1", emu.ListenTcp());
    PylonConfig model;
    for (auto _ : state)
        if (!SendThroughLink(link, model)) state.SkipWithError("link exchange failed");
}
BENCHMARK(BM_SendThroughLink)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SendCommand(benchmark::State& state)
{
    PylonEmulator emu;
    Program p;
    p.model.NetSettings.push_back({"Pylon", "127.0.0.1", emu.ListenTcp(), true});
    for (auto _ : state) {
        const int closes = p.log.closes;
        p.Transfer().Send();
        if (p.log.closes != closes + 1) state.SkipWithError("send did not succeed");
    }
}
BENCHMARK(BM_SendCommand)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DownloadFloorBareSocket(benchmark::State& state)
{
    PylonEmulator emu;
    BareClient client(emu.ListenTcp());
    for (auto _ : state)
        if (!DownloadBare(client)) state.SkipWithError("bare exchange failed");
}
BENCHMARK(BM_DownloadFloorBareSocket)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DownloadThroughLink(benchmark::State& state)
{
    PylonEmulator emu;
    PylonLink link("127.0.0.1", emu.ListenTcp());
    PylonConfig model;
    for (auto _ : state)
        if (!DownloadThroughLink(link, model)) state.SkipWithError("link exchange failed");
}
BENCHMARK(BM_DownloadThroughLink)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DownloadCommand(benchmark::State& state)
{
    PylonEmulator emu;
    Program p;
    p.model.NetSettings.push_back({"Pylon", "127.0.0.1", emu.ListenTcp(), true});
    for (auto _ : state) {
        const int closes = p.log.closes;
        p.Transfer().Download();
        if (p.log.closes != closes + 1) state.SkipWithError("download did not succeed");
    }
}
BENCHMARK(BM_DownloadCommand)->Unit(benchmark::kMicrosecond)->UseRealTime();

// One pylon that refuses: what it costs the operator in a longer list.
void BM_RefusingPylon(benchmark::State& state)
{
    PylonEmulator emu;
    PylonLink link("127.0.0.1", emu.ListenTcp());
    emu.RefuseConnections(true);
    for (auto _ : state)
        if (link.Connect() != 2) state.SkipWithError("the pylon did not refuse");
}
BENCHMARK(BM_RefusingPylon)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Send to eight active pylons, the third and the sixth refusing.
void BM_SendToEightPylonsTwoRefusing(benchmark::State& state)
{
    std::vector<std::unique_ptr<PylonEmulator>> pylons;
    Program p;
    for (int i = 0; i < 8; ++i) {
        pylons.push_back(std::make_unique<PylonEmulator>());
        p.model.NetSettings.push_back(
            {"Pylon " + std::to_string(i + 1), "127.0.0.1", pylons.back()->ListenTcp(), true});
        if (i == 2 || i == 5) pylons.back()->RefuseConnections(true);
    }
    for (auto _ : state) {
        p.Transfer().Send();
        benchmark::DoNotOptimize(p.log.lines);
    }
    state.counters["pylons"] = 8;
}
BENCHMARK(BM_SendToEightPylonsTwoRefusing)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
