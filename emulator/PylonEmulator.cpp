#include "emulator/PylonEmulator.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "comm/Frames.h"
#include "model/PylonConfig.h"

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds until `t`, rounded up so that no wait ends early.
int MsUntil(Clock::time_point t)
{
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(t - Clock::now()).count();
    return us <= 0 ? 0 : int((us + 999) / 1000);
}

bool IsKnown(uint8_t c)
{
    switch (c) {
    case Frames::CmdSendDigits:
    case Frames::CmdSendLineSettings:
    case Frames::CmdSendFonts:
    case Frames::CmdReadPriceBlock:
    case Frames::CmdReadFontBlock:
    case Frames::CmdServiceSettings:
    case Frames::CmdServiceTest: return true;
    default: return false;
    }
}

bool IsRead(uint8_t c) { return c == Frames::CmdReadPriceBlock || c == Frames::CmdReadFontBlock; }

size_t PayloadSize(uint8_t c)
{
    switch (c) {
    case Frames::CmdSendDigits: return Frames::DigitsBlockSize;
    case Frames::CmdSendLineSettings: return Frames::LineSettingsBlockSize;
    case Frames::CmdSendFonts: return Frames::FontBlockSize;
    case Frames::CmdServiceSettings: return Frames::ServiceSettingsSize;
    case Frames::CmdServiceTest: return 1;
    default: return 0;
    }
}

const char* TestName(int code)
{
    switch (code) {
    case 0: return "end tests";
    case 1: return "switch on all LEDs";
    case 2: return "show addresses";
    case 3: return "show firmware";
    default: return "?";
    }
}

std::string Hex(const uint8_t* b, size_t n)
{
    std::string s;
    char buf[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", b[i]);
        s += buf;
    }
    return s;
}

void PutChecksum(std::vector<uint8_t>& block)
{
    const uint32_t c = Checksum(block.data(), block.size());
    block.push_back(uint8_t(c >> 24));
    block.push_back(uint8_t(c >> 16));
    block.push_back(uint8_t(c >> 8));
    block.push_back(uint8_t(c));
}

}  // namespace

// One line to the configurator, a socket or the pty's master side: buffered
// reads with time-outs, paced writes, and every wait cut short by Stop.
class PylonEmulator::Channel {
public:
    enum class Got { Byte, Timeout, Closed, Stopped };

    Channel(PylonEmulator& owner, int fd, bool socket) : owner_(owner), fd_(fd), socket_(socket) {}

    // timeoutMs < 0 waits for ever.
    Got ReadByte(uint8_t& byte, int timeoutMs)
    {
        if (pos_ == len_) {
            const Got g = Fill(timeoutMs);
            if (g != Got::Byte) return g;
        }
        byte = buf_[pos_++];
        return Got::Byte;
    }

    bool Write(const std::vector<uint8_t>& bytes, int msPerByte)
    {
        if (msPerByte <= 0) return WriteAll(bytes.data(), bytes.size());
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0 && !Pause(msPerByte)) return false;
            if (!WriteAll(&bytes[i], 1)) return false;
        }
        return true;
    }

    // False when the emulator is stopping.
    bool Pause(int ms)
    {
        pollfd p{owner_.stopPipe_[0], POLLIN, 0};
        const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            const int left = MsUntil(deadline);
            if (left <= 0) return true;
            const int n = ::poll(&p, 1, left);
            if (n > 0) return false;
            if (n < 0 && errno != EINTR) return true;
        }
    }

    // Whatever was buffered or is still queued belongs to the abandoned frame.
    void Discard()
    {
        pos_ = len_ = 0;
        if (!socket_) ::tcflush(fd_, TCIFLUSH);
    }

    bool IsSocket() const { return socket_; }

private:
    Got Fill(int timeoutMs)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
        for (;;) {
            pollfd p[2] = {{fd_, POLLIN, 0}, {owner_.stopPipe_[0], POLLIN, 0}};
            const int wait = timeoutMs < 0 ? -1 : MsUntil(deadline);
            const int n = ::poll(p, 2, wait);
            if (n < 0) {
                if (errno == EINTR) continue;
                return Got::Closed;
            }
            if (p[1].revents) return Got::Stopped;
            if (n == 0) return Got::Timeout;
            const ssize_t r = socket_ ? ::recv(fd_, buf_, sizeof buf_, 0) : ::read(fd_, buf_, sizeof buf_);
            if (r > 0) {
                pos_ = 0;
                len_ = size_t(r);
                owner_.LogBytes(buf_, len_);
                return Got::Byte;
            }
            if (r < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
            if (r < 0 && !socket_ && errno == EIO) {
                // Nobody holds the pty's other side (cannot last: we hold it).
                if (!Pause(10)) return Got::Stopped;
                continue;
            }
            return Got::Closed;
        }
    }

    bool WriteAll(const uint8_t* b, size_t n)
    {
        size_t done = 0;
        while (done < n) {
            const ssize_t w =
                socket_ ? ::send(fd_, b + done, n - done, MSG_NOSIGNAL) : ::write(fd_, b + done, n - done);
            if (w > 0) {
                done += size_t(w);
                continue;
            }
            if (w < 0 && errno == EINTR) continue;
            if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
            pollfd p[2] = {{fd_, POLLOUT, 0}, {owner_.stopPipe_[0], POLLIN, 0}};
            if (::poll(p, 2, -1) < 0 && errno != EINTR) return false;
            if (p[1].revents) return false;
        }
        return true;
    }

    PylonEmulator& owner_;
    int fd_;
    bool socket_;
    uint8_t buf_[512];
    size_t pos_ = 0, len_ = 0;
};

PylonEmulator::PylonEmulator()
{
    if (::pipe2(stopPipe_, O_CLOEXEC) != 0 || ::pipe2(controlPipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("pylon emulator: no pipe");
    PylonConfig defaults;
    FromModel(defaults);
}

PylonEmulator::~PylonEmulator()
{
    Stop();
    for (int fd : {stopPipe_[0], stopPipe_[1], controlPipe_[0], controlPipe_[1]})
        if (fd >= 0) ::close(fd);
}

void PylonEmulator::Stop()
{
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
    }
    const char b = 's';
    (void)!::write(stopPipe_[1], &b, 1);
    cond_.notify_all();
    for (std::thread* t : {&acceptThread_, &sessionThread_, &ptyThread_})
        if (t->joinable()) t->join();
    CloseListener();
    for (int fd : pendingConnections_) ::close(fd);
    pendingConnections_.clear();
    if (ptySlave_ >= 0) ::close(ptySlave_);
    if (ptyMaster_ >= 0) ::close(ptyMaster_);
    ptySlave_ = ptyMaster_ = -1;
}

bool PylonEmulator::OpenListener()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = htons(tcpPort_);
    socklen_t len = sizeof sa;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        ::close(fd);
        return false;
    }
    if (tcpPort_ == 0) tcpPort_ = ntohs(sa.sin_port);  // an ephemeral port, once
    listenFd_ = fd;
    return true;
}

void PylonEmulator::CloseListener()
{
    if (listenFd_ >= 0) ::close(listenFd_);
    listenFd_ = -1;
}

uint16_t PylonEmulator::ListenTcp(uint16_t port)
{
    if (acceptThread_.joinable()) throw std::runtime_error("pylon emulator: already listening");
    tcpPort_ = port;
    if (!OpenListener())
        throw std::runtime_error("pylon emulator: cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                                 std::strerror(errno));
    acceptThread_ = std::thread([this] { AcceptLoop(); });
    sessionThread_ = std::thread([this] { TcpSessionLoop(); });
    return tcpPort_;
}

std::string PylonEmulator::OpenPty()
{
    if (ptyThread_.joinable()) throw std::runtime_error("pylon emulator: pty already open");
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        if (master >= 0) ::close(master);
        throw std::runtime_error(std::string("pylon emulator: no pseudo-terminal: ") + std::strerror(errno));
    }
    char path[128];
    if (::ptsname_r(master, path, sizeof path) != 0) {
        ::close(master);
        throw std::runtime_error("pylon emulator: no pseudo-terminal name");
    }
    // Hold the line's far end ourselves: without it the master reports a
    // hang-up whenever the configurator closes its port. Raw, so nothing is
    // echoed or translated before the configurator sets the line up.
    const int slave = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        ::close(master);
        throw std::runtime_error(std::string("pylon emulator: cannot open ") + path);
    }
    termios t{};
    if (::tcgetattr(slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ptyMaster_ = master;
    ptySlave_ = slave;
    ptyName_ = std::string(path).rfind("/dev/", 0) == 0 ? std::string(path + 5) : std::string(path);
    ptyThread_ = std::thread([this] { PtyLoop(); });
    return ptyName_;
}

void PylonEmulator::AcceptLoop()
{
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (stopping_) return;
            if (refuseWanted_ != refuseApplied_) {
                if (refuseWanted_) CloseListener();
                else if (!OpenListener()) Log("cannot listen again on port " + std::to_string(tcpPort_));
                refuseApplied_ = refuseWanted_;
                cond_.notify_all();
            }
        }
        pollfd p[3] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}, {controlPipe_[0], POLLIN, 0}};
        if (::poll(p, 3, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[1].revents) return;
        if (p[2].revents) {
            char drain[16];
            while (::read(controlPipe_[0], drain, sizeof drain) > 0) {}
            continue;
        }
        if (!(p[0].revents & POLLIN)) continue;
        sockaddr_in peer{};
        socklen_t len = sizeof peer;
        const int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) continue;
        std::lock_guard lock(mutex_);
        ++accepted_;
        pendingConnections_.push_back(fd);
        cond_.notify_all();
    }
}

void PylonEmulator::TcpSessionLoop()
{
    for (;;) {
        int fd;
        {
            std::unique_lock lock(mutex_);
            cond_.wait(lock, [this] { return stopping_ || !pendingConnections_.empty(); });
            if (stopping_) return;
            fd = pendingConnections_.front();
            pendingConnections_.pop_front();
        }
        Log("TCP: connection");
        Channel channel(*this, fd, true);
        Serve(channel);
        ::close(fd);
        Log("TCP: connection closed");
    }
}

void PylonEmulator::PtyLoop()
{
    Channel channel(*this, ptyMaster_, false);
    Serve(channel);
}

void PylonEmulator::RefuseConnections(bool refuse)
{
    std::unique_lock lock(mutex_);
    refuseWanted_ = refuse;
    if (!acceptThread_.joinable()) return;
    const char b = 'r';
    (void)!::write(controlPipe_[1], &b, 1);
    cond_.wait(lock, [this] { return stopping_ || refuseApplied_ == refuseWanted_; });
}

void PylonEmulator::Script(std::vector<Step> steps)
{
    std::lock_guard lock(mutex_);
    script_ = std::move(steps);
    scriptPos_ = 0;
}

void PylonEmulator::On(uint8_t command, Frame frame, Step step)
{
    std::lock_guard lock(mutex_);
    rules_[{command, frame}] = step;
}

void PylonEmulator::ClearScript()
{
    std::lock_guard lock(mutex_);
    script_.clear();
    scriptPos_ = 0;
    rules_.clear();
}

std::vector<uint8_t> PylonEmulator::Received() const
{
    std::lock_guard lock(mutex_);
    return received_;
}

std::vector<std::vector<uint8_t>> PylonEmulator::ReceivedFrames() const
{
    std::lock_guard lock(mutex_);
    return frames_;
}

void PylonEmulator::ClearReceived()
{
    std::lock_guard lock(mutex_);
    received_.clear();
    frames_.clear();
}

int PylonEmulator::ConnectionsAccepted() const
{
    std::lock_guard lock(mutex_);
    return accepted_;
}

void PylonEmulator::AlterStored(std::function<void(uint8_t, State&)> alter)
{
    std::lock_guard lock(mutex_);
    alter_ = std::move(alter);
}

PylonEmulator::State PylonEmulator::GetState() const
{
    std::lock_guard lock(mutex_);
    return state_;
}

void PylonEmulator::SetState(const State& state)
{
    std::lock_guard lock(mutex_);
    state_ = state;
    ++changes_;
}

void PylonEmulator::ToModel(PylonConfig& model) const
{
    const State s = GetState();
    std::vector<uint8_t> block(s.price.begin(), s.price.end());
    PutChecksum(block);
    Frames::PriceBlock pb;
    std::copy(block.begin(), block.end(), pb.begin());
    Frames::DecodePriceBlock(pb, model);
    model.FontConf.BasicFont = s.basicFont;
    model.FontConf.UpperIndex = s.upperIndex;
}

void PylonEmulator::FromModel(const PylonConfig& model)
{
    const Frames::PriceBlock pb = Frames::MakePriceBlock(model);
    std::lock_guard lock(mutex_);
    std::copy(pb.begin(), pb.begin() + 81, state_.price.begin());
    state_.basicFont = model.FontConf.BasicFont;
    state_.upperIndex = model.FontConf.UpperIndex;
    ++changes_;
}

void PylonEmulator::Log(const std::string& line)
{
    if (onEvent) onEvent(line);
}

void PylonEmulator::LogBytes(const uint8_t* bytes, size_t count)
{
    std::lock_guard lock(mutex_);
    received_.insert(received_.end(), bytes, bytes + count);
}

PylonEmulator::Step PylonEmulator::TakeStep(Frame frame, uint8_t command, const std::vector<uint8_t>& bytes)
{
    std::lock_guard lock(mutex_);
    // The frame is on record before any answer leaves, so a configurator
    // that has its answer also finds its frame in the log.
    frames_.push_back(bytes);
    if (scriptPos_ < script_.size()) return script_[scriptPos_++];
    const auto rule = rules_.find({command, frame});
    return rule != rules_.end() ? rule->second : Step::Normal();
}

std::vector<uint8_t> PylonEmulator::BlockFor(uint8_t command) const
{
    std::lock_guard lock(mutex_);
    std::vector<uint8_t> block;
    if (command == Frames::CmdReadPriceBlock) {
        block.assign(state_.price.begin(), state_.price.end());
    } else {
        block.assign(18, 0);
        block[0] = state_.basicFont;
        block[1] = state_.upperIndex;
    }
    PutChecksum(block);
    return block;
}

bool PylonEmulator::Apply(uint8_t command, const std::vector<uint8_t>& p, std::string& event)
{
    std::lock_guard lock(mutex_);
    char buf[160];
    switch (command) {
    case Frames::CmdSendDigits: {
        if (!Frames::ChecksumMatches(p.data(), 42)) return false;
        std::copy(p.begin(), p.begin() + 42, state_.price.begin() + 39);
        event = "digits:";
        for (int i = 0; i < 7; ++i) event += " " + std::string(p.begin() + 6 * i, p.begin() + 6 * i + 6);
        return true;
    }
    case Frames::CmdSendLineSettings: {
        if (!Frames::ChecksumMatches(p.data(), 39)) return false;
        std::copy(p.begin(), p.begin() + 39, state_.price.begin());
        event = "line settings (point blink dash off zeros):";
        for (int i = 0; i < 7; ++i) {
            std::snprintf(buf, sizeof buf, " [%u %u %u %u %u]", p[5 * i], p[5 * i + 1], p[5 * i + 2], p[5 * i + 3],
                          p[5 * i + 4]);
            event += buf;
        }
        std::snprintf(buf, sizeof buf, "; brightness left %u right %u sensor %u; gamma byte %u", p[35], p[36], p[37],
                      p[38]);
        event += buf;
        return true;
    }
    case Frames::CmdSendFonts:
        if (!Frames::ChecksumMatches(p.data(), 18)) return false;
        state_.basicFont = p[0];
        state_.upperIndex = p[1];
        std::snprintf(buf, sizeof buf, "fonts: basic %u, upper index %u", p[0], p[1]);
        event = buf;
        return true;
    case Frames::CmdServiceSettings:
        if (XorCheck(p.data(), 2) != p[2]) return false;
        state_.prices = p[0] + 1;
        state_.digits = p[1] + 1;
        std::snprintf(buf, sizeof buf, "geometry: %d prices, %d digits per price", state_.prices, state_.digits);
        event = buf;
        return true;
    case Frames::CmdServiceTest:
        state_.test = p[0];
        std::snprintf(buf, sizeof buf, "test: %u (%s)", p[0], TestName(p[0]));
        event = buf;
        return true;
    default: return false;
    }
}

void PylonEmulator::Serve(Channel& ch)
{
    using Got = Channel::Got;
    using Kind = Step::Kind;
    const std::string where = ch.IsSocket() ? "TCP: " : "serial: ";

    // Answers one frame by its step; false when the line is gone.
    auto answer = [&](const Step& step, std::vector<uint8_t> out) -> bool {
        if (step.kind == Kind::Delay && !ch.Pause(step.value)) return false;
        return ch.Write(out, step.kind == Kind::Trickle ? step.value : 0);
    };
    // The reply a step puts in place of `normal`.
    auto replyOf = [](const Step& step, uint8_t normal) -> std::vector<uint8_t> {
        if (step.kind == Kind::Reply) return {step.first, step.first};
        if (step.kind == Kind::ReplyBytes) return {step.first, step.second};
        return {normal, normal};
    };
    auto accepted = [](const std::vector<uint8_t>& reply) {
        return reply[0] == Frames::ReplyAck && reply[1] == Frames::ReplyAck;
    };

    for (;;) {
        // Header: wait as long as it takes for its first byte, then resynchronise
        // on "K" "d" "4" and give up on a header that stops half-way.
        std::vector<uint8_t> h;
        while (h.size() < Frames::HeaderSize) {
            uint8_t b = 0;
            const Got g = ch.ReadByte(b, h.empty() ? -1 : frameTimeout);
            if (g == Got::Stopped || g == Got::Closed) return;
            if (g == Got::Timeout) {
                h.clear();
                continue;
            }
            h.push_back(b);
            static const uint8_t prefix[3] = {Frames::HeaderK, Frames::HeaderD, Frames::Header4};
            while (!h.empty() && std::memcmp(h.data(), prefix, std::min<size_t>(h.size(), 3)) != 0) h.erase(h.begin());
        }
        const uint8_t cmd = h[3];
        const Step step = TakeStep(Frame::Header, cmd, h);
        if (step.kind == Kind::Drop) {
            Log(where + "connection dropped on purpose");
            return;
        }
        if (step.kind == Kind::Silence) continue;

        const bool known = IsKnown(cmd);
        std::vector<uint8_t> out = replyOf(step, known ? Frames::ReplyAck : Frames::ReplyInvalidCommand);
        const bool go = accepted(out) && known;
        if (!known) Log(where + "unknown command " + std::to_string(cmd));
        if (go && IsRead(cmd)) {
            std::vector<uint8_t> block = BlockFor(cmd);
            if (step.kind == Kind::CorruptBlock) block.back() ^= 0xFF;
            if (step.kind == Kind::PartialBlock) block.resize(std::min<size_t>(block.size(), size_t(step.value)));
            out.insert(out.end(), block.begin(), block.end());
            Log(where + (cmd == Frames::CmdReadPriceBlock ? "price block sent" : "font block sent"));
        }
        if (!answer(step, out)) return;
        if (!go || IsRead(cmd)) continue;

        // The payload must follow at once; a configurator that gave up sends
        // its next header instead, which must not be taken for payload.
        std::vector<uint8_t> p;
        const size_t size = PayloadSize(cmd);
        bool complete = true;
        while (p.size() < size) {
            uint8_t b = 0;
            const Got g = ch.ReadByte(b, frameTimeout);
            if (g == Got::Stopped || g == Got::Closed) return;
            if (g == Got::Timeout) {
                complete = false;
                break;
            }
            p.push_back(b);
        }
        if (!complete) {
            Log(where + "payload of command " + std::to_string(cmd) + " incomplete, abandoned");
            ch.Discard();
            continue;
        }
        const Step ps = TakeStep(Frame::Payload, cmd, p);
        if (ps.kind == Kind::Drop) {
            Log(where + "connection dropped on purpose");
            return;
        }
        if (ps.kind == Kind::Silence) continue;
        const bool testOk = cmd != Frames::CmdServiceTest || p[0] <= 3;
        const std::vector<uint8_t> probe = replyOf(ps, Frames::ReplyAck);
        std::string event;
        uint8_t normal = Frames::ReplyAck;
        if (!testOk) {
            normal = Frames::ReplyInvalidCommand;
        } else if (accepted(probe)) {
            // Only a block the pylon acknowledges changes what it holds.
            if (Apply(cmd, p, event)) {
                std::lock_guard lock(mutex_);
                if (alter_) alter_(cmd, state_);
                ++changes_;
            } else normal = Frames::ReplyCrcError;
        }
        const std::vector<uint8_t> reply = replyOf(ps, normal);
        if (!event.empty() && accepted(reply)) Log(where + event);
        if (normal == Frames::ReplyCrcError)
            Log(where + "checksum error in the block of command " + std::to_string(cmd) + ": " +
                Hex(p.data(), p.size()));
        if (!answer(ps, reply)) return;
    }
}
