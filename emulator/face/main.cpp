// pylon-emulator: a pylon controller on this machine, for trying the
// configurator without hardware, with the face the pylon would show.
//   pylon-emulator [--tcp PORT] [--pty] [--face] [--face-png FILE] [--face-text] [--record FILE]
// Without --tcp and --pty it does both, TCP on port 2101. Runs until
// interrupted (or, with --face, until its window is closed).
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

#include "emulator/PylonEmulator.h"
#include "emulator/face/FaceText.h"
#include "emulator/face/PylonFace.h"
#ifdef LMQ_FACE_IMAGE
#include "emulator/face/FaceImage.h"
#endif
#ifdef LMQ_FACE_WINDOW
#include "emulator/face/FaceWindow.h"
#endif

namespace {

const char* const UsageText =
    "usage: pylon-emulator [--tcp PORT] [--pty] [--face] [--face-png FILE] [--face-text] [--record FILE]\n"
    "  --tcp PORT       answer on 127.0.0.1:PORT (0 picks a free port)\n"
    "  --pty            answer on a pseudo-terminal; use the printed port name\n"
    "  --face           show the pylon's face in a window\n"
    "  --face-png FILE  write the face as a PNG picture after every change\n"
    "  --face-text      show the face in this terminal, redrawn in place\n"
    "  --record FILE    when stopped, write every byte it received to FILE\n"
    "  -h, --help       this text\n"
    "  --version        the version\n"
    "Without --tcp and --pty: --tcp 2101 --pty.\n";

struct Options {
    bool tcp = false, pty = false;
    long port = 2101;
    bool window = false, text = false;
    std::string png;
    std::string record;
};

enum class Parsed { Run, Help, Version, Bad };

// The bytes the emulator received, as they came, all connections together.
bool WriteRecord(const std::string& file, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "pylon-emulator: cannot write %s\n", file.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

Parsed Parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") return Parsed::Help;
        if (a == "--version") return Parsed::Version;
        if (a == "--tcp" && i + 1 < argc) {
            char* end = nullptr;
            o.port = std::strtol(argv[++i], &end, 10);
            if (end == argv[i] || *end || o.port < 0 || o.port > 65535) return Parsed::Bad;
            o.tcp = true;
        } else if (a == "--pty") {
            o.pty = true;
        } else if (a == "--face") {
            o.window = true;
        } else if (a == "--face-png" && i + 1 < argc && argv[i + 1][0]) {
            o.png = argv[++i];
        } else if (a == "--record" && i + 1 < argc && argv[i + 1][0]) {
            o.record = argv[++i];
        } else if (a == "--face-text") {
            o.text = true;
        } else {
            return Parsed::Bad;
        }
    }
    if (!o.tcp && !o.pty) o.tcp = o.pty = true;
    return Parsed::Run;
}

// The emulator's lines (where it listens, connections, every change) go to
// standard output; while the face is drawn in the terminal they show under
// it instead, the latest few.
class Events {
public:
    static constexpr size_t Kept = 8;

    explicit Events(bool underFace) : underFace_(underFace) {}

    void Info(const std::string& line)
    {
        std::lock_guard lock(mutex_);
        if (underFace_) info_.push_back(line);
        else Print(line);
    }
    void Event(const std::string& line)
    {
        std::lock_guard lock(mutex_);
        ++count_;
        if (!underFace_) {
            Print(line);
            return;
        }
        recent_.push_back(line);
        if (recent_.size() > Kept) recent_.pop_front();
    }
    unsigned long Count() const
    {
        std::lock_guard lock(mutex_);
        return count_;
    }
    // Puts the lines around the face's rows, each cut to `width` columns so
    // that none wraps and pushes the drawing out of place.
    void Around(std::vector<std::string>& rows, size_t width) const
    {
        std::lock_guard lock(mutex_);
        auto cut = [width](std::string line) { return line.size() > width ? line.substr(0, width) : line; };
        std::vector<std::string> before;
        for (const std::string& line : info_) before.push_back(cut(line));
        rows.insert(rows.begin(), before.begin(), before.end());
        rows.emplace_back();
        for (const std::string& line : recent_) rows.push_back(cut(line));
    }

private:
    static void Print(const std::string& line)
    {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }

    const bool underFace_;
    mutable std::mutex mutex_;
    std::vector<std::string> info_;
    std::deque<std::string> recent_;
    unsigned long count_ = 0;
};

// Draws the face into the terminal and the PNG file whenever the emulator's
// state changed; the terminal also every half second while a line blinks.
// The file shows the lit half of the blink.
class FaceOutputs {
public:
    FaceOutputs(PylonEmulator& emu, const Options& o, Events& events)
        : emu_(emu), events_(events), text_(o.text), png_(o.png), colour_(!std::getenv("NO_COLOR"))
    {}

    // False when the picture file cannot be written.
    bool Tick()
    {
        const uint64_t changes = emu_.Changes();
        const unsigned long events = events_.Count();
        const bool lit = (std::chrono::steady_clock::now() - start_) / std::chrono::milliseconds(500) % 2 == 0;
        const bool changed = first_ || changes != seen_;
        if (changed) {
            seen_ = changes;
            face_ = face::ComputeFace(emu_.GetState());
        }
        bool ok = true;
        if (changed && !png_.empty()) ok = WritePng();
        if (text_ && (changed || events != events_seen_ || (lit != lit_ && face_.AnyBlinking()))) {
            std::vector<std::string> rows = face::FaceRows(face_.InPhase(lit), colour_);
            winsize ws{};
            const size_t width = ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 1 ? ws.ws_col - 1 : 4096;
            events_.Around(rows, width);
            std::fputs(((first_ ? "\x1b[2J" : "") + face::InPlace(rows)).c_str(), stdout);
            std::fflush(stdout);
        }
        events_seen_ = events;
        lit_ = lit;
        first_ = false;
        return ok;
    }

private:
    bool WritePng()
    {
#ifdef LMQ_FACE_IMAGE
        if (face::WriteFacePng(face_, png_)) return true;
        std::fprintf(stderr, "pylon-emulator: cannot write %s\n", png_.c_str());
#endif
        return false;
    }

    PylonEmulator& emu_;
    Events& events_;
    const bool text_;
    const std::string png_;
    const bool colour_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    face::Face face_;
    uint64_t seen_ = 0;
    unsigned long events_seen_ = 0;
    bool lit_ = true;
    bool first_ = true;
};

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    switch (Parse(argc, argv, o)) {
    case Parsed::Help: std::fputs(UsageText, stdout); return 0;
    case Parsed::Version: std::printf("pylon-emulator %s\n", face::FirmwareText().c_str()); return 0;
    case Parsed::Bad: std::fputs(UsageText, stderr); return 1;
    case Parsed::Run: break;
    }
#ifndef LMQ_FACE_IMAGE
    if (o.window || !o.png.empty()) {
        std::fprintf(stderr, "pylon-emulator: built without Qt, so --face and --face-png are not available\n");
        return 1;
    }
#endif

    // Ctrl+C and kill end the emulator, seen by this thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Events events(o.text);
    PylonEmulator emu;
    emu.onEvent = [&events](const std::string& line) { events.Event(line); };
    try {
        char buf[200];
        if (o.tcp) {
            const uint16_t bound = emu.ListenTcp(uint16_t(o.port));
            std::snprintf(buf, sizeof buf,
                          "TCP: listening on 127.0.0.1 port %u (connection settings: IP 127.0.0.1, port %u)", bound,
                          bound);
            events.Info(buf);
        }
        if (o.pty) {
            const std::string name = emu.OpenPty();
            std::snprintf(buf, sizeof buf, "serial: pseudo-terminal /dev/%s (connection settings: COM port, name %s)",
                          name.c_str(), name.c_str());
            events.Info(buf);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    FaceOutputs outputs(emu, o, events);
    if (!outputs.Tick()) return 1;
    int status = 0;
#ifdef LMQ_FACE_WINDOW
    if (o.window) {
        status = RunFaceWindow(emu, argc, argv, stopSignals, [&outputs] { outputs.Tick(); });
        emu.Stop();
        if (!o.record.empty() && !WriteRecord(o.record, emu.Received())) status = 1;
        return status;
    }
#endif
    const bool drawing = o.text || !o.png.empty();
    for (;;) {
        timespec poll{0, 40'000'000};
        const int sig = drawing ? sigtimedwait(&stopSignals, nullptr, &poll) : sigwaitinfo(&stopSignals, nullptr);
        if (sig > 0) break;
        if (drawing) outputs.Tick();
    }
    // A change that came just before the end is still drawn.
    if (drawing) outputs.Tick();
    emu.Stop();
    if (!o.record.empty() && !WriteRecord(o.record, emu.Received())) status = 1;
    if (o.text) std::fputs("\n", stdout);
    return status;
}
