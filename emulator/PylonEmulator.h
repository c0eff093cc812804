#pragma once
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class PylonConfig;

// A stand-in for the pylon's controller: answers the configurator's frames
// over TCP on 127.0.0.1 and over a pseudo-terminal, keeps what it was sent,
// serves it back on the read commands, and misbehaves on request so that
// every failure of the wire can be produced at will. Runs on threads of its
// own; everything public may be called from any thread.
class PylonEmulator {
public:
    // What the pylon does with one received frame (a header, or the payload
    // that follows an accepted header).
    struct Step {
        enum class Kind {
            Normal,        // answer as a healthy pylon does
            Reply,         // answer with `first` twice instead
            ReplyBytes,    // answer with `first`, `second`
            Silence,       // answer nothing; the frame is not taken
            Delay,         // answer normally after `value` ms
            Trickle,       // answer normally, one byte every `value` ms
            PartialBlock,  // read commands: accept, then only `value` bytes of the block
            CorruptBlock,  // read commands: accept, then the block with a wrong checksum
            Drop,          // close the connection instead of answering
        };
        Kind kind = Kind::Normal;
        uint8_t first = 0;
        uint8_t second = 0;
        int value = 0;

        static Step Normal() { return {}; }
        static Step Reply(uint8_t code) { return {Kind::Reply, code, code, 0}; }
        static Step ReplyBytes(uint8_t a, uint8_t b) { return {Kind::ReplyBytes, a, b, 0}; }
        static Step Silence() { return {Kind::Silence, 0, 0, 0}; }
        static Step Delay(int ms) { return {Kind::Delay, 0, 0, ms}; }
        static Step Trickle(int msPerByte) { return {Kind::Trickle, 0, 0, msPerByte}; }
        static Step PartialBlock(int bytes) { return {Kind::PartialBlock, 0, 0, bytes}; }
        static Step CorruptBlock() { return {Kind::CorruptBlock, 0, 0, 0}; }
        static Step Drop() { return {Kind::Drop, 0, 0, 0}; }
    };

    enum class Frame { Header, Payload };

    // What the pylon holds.
    struct State {
        // The price block as command 22 serves it, without its checksum: the
        // five bytes of each line, left, right, sensor, gamma, 42 digit characters.
        std::array<uint8_t, 81> price{};
        uint8_t basicFont = 3;
        uint8_t upperIndex = 0;
        int prices = 7;  // geometry from command 23
        int digits = 6;
        int test = 0;  // display test from command 29, 0 = none

        bool operator==(const State&) const = default;
    };

    PylonEmulator();
    ~PylonEmulator();
    PylonEmulator(const PylonEmulator&) = delete;
    PylonEmulator& operator=(const PylonEmulator&) = delete;

    // Listens on 127.0.0.1 (0: a free port); returns the port. Throws std::runtime_error.
    uint16_t ListenTcp(uint16_t port = 0);
    // Opens a pseudo-terminal; returns the port name a configurator uses ("pts/4").
    std::string OpenPty();
    // Ends every connection and thread; also done by the destructor.
    void Stop();

    uint16_t TcpPort() const { return tcpPort_; }
    const std::string& PtyName() const { return ptyName_; }

    // Steps for the next frames received, first to last; later frames are normal.
    void Script(std::vector<Step> steps);
    // A standing step for every header or payload of `command` not covered by Script.
    void On(uint8_t command, Frame frame, Step step);
    void ClearScript();

    // While set, connections are refused (nothing listens on the port).
    void RefuseConnections(bool refuse);

    // Every byte received, in order, and the frames they formed.
    std::vector<uint8_t> Received() const;
    std::vector<std::vector<uint8_t>> ReceivedFrames() const;
    void ClearReceived();
    int ConnectionsAccepted() const;

    // What the pylon makes of a block it took: called on the emulator's
    // thread with the command and the state just stored, which it may change
    // (a pylon that keeps a digit wrong, or reports blanks for blanked zeros).
    // Empty: the state stays as received.
    void AlterStored(std::function<void(uint8_t command, State& state)> alter);

    State GetState() const;
    void SetState(const State& state);
    // The pylon's configuration as a model (fields not on the wire at their defaults).
    void ToModel(PylonConfig& model) const;
    void FromModel(const PylonConfig& model);
    // Counts the changes of the state: every block, geometry and test the
    // pylon took, and every SetState and FromModel. A face that shows the
    // state redraws when the count moves; any thread may read it.
    uint64_t Changes() const { return changes_.load(); }

    // Gets a line for every connection and every change of the pylon's
    // state; called on the emulator's threads. Set before listening.
    std::function<void(const std::string&)> onEvent;

    // A frame that stops in the middle for this long is abandoned, ms.
    int frameTimeout = 500;

private:
    class Channel;

    void AcceptLoop();
    void TcpSessionLoop();
    void PtyLoop();
    void Serve(Channel& channel);
    Step TakeStep(Frame frame, uint8_t command, const std::vector<uint8_t>& bytes);
    bool Apply(uint8_t command, const std::vector<uint8_t>& payload, std::string& event);
    std::vector<uint8_t> BlockFor(uint8_t command) const;
    void Log(const std::string& line);
    void LogBytes(const uint8_t* bytes, size_t count);
    bool OpenListener();
    void CloseListener();

    mutable std::mutex mutex_;
    std::condition_variable cond_;
    State state_;
    std::atomic<uint64_t> changes_{0};
    std::vector<uint8_t> received_;
    std::vector<std::vector<uint8_t>> frames_;
    std::vector<Step> script_;
    size_t scriptPos_ = 0;
    std::map<std::pair<uint8_t, Frame>, Step> rules_;
    std::function<void(uint8_t, State&)> alter_;
    std::deque<int> pendingConnections_;
    int accepted_ = 0;
    bool stopping_ = false;
    bool refuseWanted_ = false;
    bool refuseApplied_ = false;

    int stopPipe_[2] = {-1, -1};     // readable once Stop was called
    int controlPipe_[2] = {-1, -1};  // wakes the accept loop for a change of refusal
    int listenFd_ = -1;
    uint16_t tcpPort_ = 0;
    int ptyMaster_ = -1;
    int ptySlave_ = -1;  // held open so the line never hangs up between users
    std::string ptyName_;

    std::thread acceptThread_;
    std::thread sessionThread_;
    std::thread ptyThread_;
};
