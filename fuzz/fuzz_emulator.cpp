// Any bytes sent to the pylon emulator over TCP: every frame it takes is a
// header "K" "d" "4" + command or the payload of the command before, made of
// the bytes sent in their order; every answer is a well-formed reply or
// block; and what it took is what it then holds.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "comm/Frames.h"
#include "emulator/PylonEmulator.h"

namespace {

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

std::vector<uint8_t> Exchange(uint16_t port, const uint8_t* data, size_t size)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Each run's connection ends in TIME_WAIT on this side; tens of thousands
    // of them from one address would use up its ports, so every run comes
    // from another address of the loopback network (127.1.0.1 and on).
    static uint32_t run = 0;
    sockaddr_in from{};
    from.sin_family = AF_INET;
    from.sin_addr.s_addr = htonl(0x7F010001u + (run++ % 0xFFFEu));
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) std::abort();
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) std::abort();
    for (size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += size_t(n);
    }
    ::shutdown(fd, SHUT_WR);
    std::vector<uint8_t> out;
    uint8_t buf[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) != 1) std::abort();  // the emulator hangs
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) std::abort();
        if (n == 0) break;
        out.insert(out.end(), buf, buf + n);
    }
    ::close(fd);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 2048) return 0;  // all of it fits in the socket buffers
    static PylonEmulator* emulator = [] {
        auto* e = new PylonEmulator;
        e->frameTimeout = 50;
        e->ListenTcp(0);
        return e;
    }();
    const PylonEmulator::State initial;
    emulator->SetState(initial);
    emulator->ClearReceived();

    const std::vector<uint8_t> answers = Exchange(emulator->TcpPort(), data, size);
    const std::vector<std::vector<uint8_t>> frames = emulator->ReceivedFrames();
    const PylonEmulator::State state = emulator->GetState();

    size_t in = 0, out = 0;
    uint8_t command = 0;
    bool payloadNext = false;
    const std::vector<uint8_t>* digits = nullptr;
    const std::vector<uint8_t>* settings = nullptr;
    for (const auto& f : frames) {
        // The frame's bytes were sent in this order.
        for (uint8_t b : f) {
            while (in < size && data[in] != b) ++in;
            if (in == size) std::abort();
            ++in;
        }
        const auto reply = [&](std::initializer_list<uint8_t> allowed) {
            if (out + 2 > answers.size() || answers[out] != answers[out + 1]) std::abort();
            const uint8_t r = answers[out];
            if (std::find(allowed.begin(), allowed.end(), r) == allowed.end()) std::abort();
            out += 2;
            return r;
        };
        if (payloadNext) {
            if (f.size() != PayloadSize(command)) std::abort();
            const bool checked = command != Frames::CmdServiceTest && command != Frames::CmdServiceSettings;
            const bool sound = !checked || Frames::ChecksumMatches(f.data(), f.size() - 4);
            const uint8_t r = reply({Frames::ReplyAck, Frames::ReplyCrcError, Frames::ReplyInvalidCommand});
            if (checked && (r == Frames::ReplyAck) != sound) std::abort();
            if (r == Frames::ReplyAck && command == Frames::CmdSendDigits) digits = &f;
            if (r == Frames::ReplyAck && command == Frames::CmdSendLineSettings) settings = &f;
            payloadNext = false;
            continue;
        }
        if (f.size() != Frames::HeaderSize || f[0] != Frames::HeaderK || f[1] != Frames::HeaderD ||
            f[2] != Frames::Header4)
            std::abort();
        command = f[3];
        const uint8_t r = reply({Frames::ReplyAck, Frames::ReplyInvalidCommand});
        const bool read = command == Frames::CmdReadPriceBlock || command == Frames::CmdReadFontBlock;
        if ((r == Frames::ReplyAck) != (read || PayloadSize(command) > 0)) std::abort();
        if (r == Frames::ReplyAck && read) {
            const size_t n = command == Frames::CmdReadPriceBlock ? Frames::PriceBlockSize : Frames::FontBlockSize;
            if (out + n > answers.size() || !Frames::ChecksumMatches(answers.data() + out, n - 4)) std::abort();
            out += n;
        }
        payloadNext = r == Frames::ReplyAck && !read;
    }
    // A payload cut off by the end of the input has no answer; nothing else is left.
    if (out != answers.size()) std::abort();

    // What was taken last is what the pylon holds.
    if (digits && !std::equal(digits->begin(), digits->begin() + 42, state.price.begin() + 39)) std::abort();
    if (!digits && !std::equal(initial.price.begin() + 39, initial.price.end(), state.price.begin() + 39)) std::abort();
    if (settings && !std::equal(settings->begin(), settings->begin() + 39, state.price.begin())) std::abort();
    return 0;
}
