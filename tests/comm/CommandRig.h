#pragma once
// What the transfer and service command tests share: a progress log that
// records what the operator would see, the English messages, and a rig that
// wires a command to the emulator over loopback or a pseudo-terminal.
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "comm/PylonLink.h"
#include "comm/ProgressLog.h"
#include "comm/PylonCommandEnv.h"
#include "comm/SerialPort.h"
#include "comm/Waiter.h"
#include "emulator/PylonEmulator.h"
#include "lang/Msg.h"
#include "model/PylonConfig.h"
#include "support/Lines.h"

// The log as a person reads it: the lines since it was last shown, whether
// it is on screen, and every show / close / line in order.
class RecordingLog : public ProgressLog {
public:
    void ShowLog() override
    {
        shown = true;
        ++shows;
        lines.clear();
        events << std::string("[show]");
    }
    void CloseLog() override
    {
        shown = false;
        ++closes;
        events << std::string("[close]");
    }
    void AppendLine(const std::string& line) override
    {
        lines << line;
        events << line;
    }

    bool shown = false;
    int shows = 0;
    int closes = 0;
    Lines lines;
    Lines events;
};

// The English [MSG] texts the commands use.
inline void LoadEnglishMessages()
{
    static const char* const texts[] = {"* Undefined network settings",
                                        "* Connecting with",
                                        "* Connected...",
                                        "* Sending data...",
                                        "* Data send",
                                        "* Data reading...",
                                        "* Socket - no memory",
                                        "* Connection error",
                                        "* Stream error",
                                        "* Sending error",
                                        "* Sending data - timeout",
                                        "* Reading data error",
                                        "* Reading data - timeout",
                                        "* Memory error",
                                        "* CRC error",
                                        "* Invalid command",
                                        "File open error",
                                        "Invalid file",
                                        "Invalid file Lumarq Pylon",
                                        "File format error",
                                        "File version incompatible",
                                        "File length error",
                                        "File closing error",
                                        "File saving error",
                                        "Save file as...",
                                        "Open file...",
                                        "Lumarq Pylon files (*.lmqpyl)|*.lmqpyl",
                                        "Pylon1.lmqpyl",
                                        "OK",
                                        "Name",
                                        "IP",
                                        "Port",
                                        "State",
                                        "Active",
                                        "Inactive",
                                        "IP exists",
                                        "Wrong password",
                                        "DLL function error",
                                        "Polish manufacturer of LED displays",
                                        "All rights reserved",
                                        "Opening port",
                                        "Opened port",
                                        "Closing port",
                                        "Closed port"};
    for (int i = 0; i < MsgCount; ++i) Msg[i] = i < int(std::size(texts)) ? texts[i] : "ERROR";
    Msg[MsgHistoryNotWritten] = "* The send history could not be written";
    Msg[MsgHistoryMovedAside] = "* The damaged send history was moved to";
    Msg[MsgVerified] = "* Verified: the pylon holds what was sent";
    Msg[MsgVerifyReadFailed] = "* Not verified: the configuration could not be read back from the pylon";
    Msg[MsgVerifyLine] = "Line %1: sent %2, pylon holds %3";
    Msg[MsgVerifyField] = "%1: sent %2, pylon holds %3";
    Msg[MsgVerifyWords] = "Left side brightness|Right side brightness|Brightness without sensor|Gamma|"
                          "Basic font|Upper index|blinking|dashes|off|leading zeros off";
    Msg[MsgTransferCancelled] = "* Transfer cancelled";
}

struct BoxCall {
    std::string text;
    int style;
};

// Shortened serial time-outs: a silent pylon costs a fraction of a second.
inline SerialPort::Timeouts QuickSerialTimeouts()
{
    SerialPort::Timeouts t;
    t.readInterval = 150;
    t.readTotalPerByte = 20;
    t.readTotalConstant = 150;
    t.writeTotalPerByte = 10;
    t.writeTotalConstant = 200;
    return t;
}

// One command's world: the program's model, link and port, the emulator as
// the pylon, and recorders for the log, the pauses, the boxes and the picture.
class CommandRig {
public:
    CommandRig()
    {
        LoadEnglishMessages();
        // Short link time-outs for silence and partial blocks; the normal
        // exchanges do not depend on them.
        link.timeout = 300;
        link.firstByteWait = 200;
        port.timeouts = QuickSerialTimeouts();
        port.OnBeforeOpen = [this] { LogPort(40); };
        port.OnAfterOpen = [this] { LogPort(41); };
        port.OnBeforeClose = [this] { LogPort(42); };
        port.OnAfterClose = [this] { LogPort(43); };
    }

    PylonCommandEnv Env()
    {
        return {model,
                link,
                port,
                log,
                waiter,
                [this](const std::string& text, int style) {
                    warnings.push_back({text, style});
                },
                [this](const std::string& text) { errors.push_back(text); },
                [this](const PylonConfig& m) {
                    PylonConfig snapshot(m);
                    snapshot.DetachSession();
                    shown.push_back(snapshot);
                }};
    }

    // One active network pylon: the emulator on loopback.
    void UseNetwork(std::vector<uint16_t> ports)
    {
        model.UseCOM = false;
        model.NetSettings.clear();
        int n = 0;
        for (uint16_t p : ports) model.NetSettings.push_back({"Pylon " + std::to_string(++n), "127.0.0.1", p, true});
    }
    void UseSerial(const std::string& name)
    {
        model.UseCOM = true;
        model.ComName = name;
        model.ComSpeed = 7;
    }

    void LogPort(int msg) { log.AppendLine(Msg[msg] + std::string(" ") + port.Port()); }

    PylonConfig model;
    PylonLink link{"0.0.0.0", 2101};
    SerialPort port;
    RecordingLog log;
    RecordingWaiter waiter;
    std::vector<BoxCall> warnings;
    std::vector<std::string> errors;
    std::vector<PylonConfig> shown;
};

// A model unlike the defaults in every field that travels.
inline void FillDistinct(PylonConfig& m, int seed)
{
    for (int i = 0; i < 7; ++i) {
        for (int j = 0; j < 6; ++j) m.Prices[i].Price[j] = uint8_t((seed + i * 6 + j) % 10);
        m.Prices[i].Conf.DecimalPoint = uint8_t((seed + i) % 4);
        m.Prices[i].Conf.PriceBlinking = uint8_t((seed + i) % 2);
        m.Prices[i].Conf.PriceDash = uint8_t((seed + i + 1) % 2);
        m.Prices[i].Conf.PriceOff = uint8_t(i == 6);
        m.Prices[i].Conf.ZerosOff = uint8_t(i % 3 == 0);
    }
    m.Conf.Left = uint8_t(50 + seed);
    m.Conf.Right = uint8_t(60 + seed);
    m.Conf.Sensor = uint8_t(70 + seed);
    m.Conf.Gamma = uint8_t(18 + seed);
    m.UseGamma = true;
    m.FontConf.BasicFont = uint8_t(1 + seed % 9);
    m.FontConf.UpperIndex = uint8_t(1 + seed % 2);
}

inline std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> b) { return b; }

template <typename Block>
std::vector<uint8_t> Bytes(const Block& b)
{
    return std::vector<uint8_t>(b.begin(), b.end());
}

// The port's own lines, "Opening port" (0) to "Closed port" (3), for one port name.
inline Lines PortLines(const std::string& port, int from, int to)
{
    const char* names[] = {"Opening port ", "Opened port ", "Closing port ", "Closed port "};
    Lines l;
    for (int i = from; i <= to; ++i) l << std::string(names[i]) + port;
    return l;
}

inline std::string Connecting(const char* ip)
{
    return std::string("* Connecting with") + std::string(ip) + std::string("...");
}
