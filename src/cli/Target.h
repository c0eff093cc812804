#pragma once
#include <optional>
#include <string>
#include <vector>

#include "model/PylonConfig.h"

// One pylon a command talks to: a network pylon (IPv4 address and TCP port)
// or a serial port with an optional rate.
struct Target {
    enum class Kind { Network, Serial };
    Kind kind = Kind::Network;
    std::string address;  // dotted IPv4, network only
    int port = 2101;      // TCP port, network only
    std::string device;   // serial port name as ComName holds it (Windows-1250)
    int speedCode = 0;    // SerialPort rate code, 0: the port's default rate
    std::string name;     // the file's name for the pylon, when it came from the list

    // "127.0.0.1:2101", "serial:ttyUSB0@19200" (the rate only when one was given).
    std::string Label() const;
};

// The TCP port of a pylon when a target names none.
constexpr int DefaultPylonPort = 2101;

// Parses IP[:PORT] or serial:NAME[@BAUD]. On failure returns nothing and
// puts one line saying why into `error`.
std::optional<Target> ParseTarget(const std::string& text, std::string& error);

// The active entries of a file's pylon list, in list order.
std::vector<Target> NetworkTargets(const PylonConfig& model);

// Points a scratch copy of the configuration at exactly this pylon: the
// network list holds only it, or the serial port is chosen.
void AimAt(PylonConfig& model, const Target& target);
