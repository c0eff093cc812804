#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class PylonConfig;

// One price line as the pylon picture shows it: the name, the price text
// with its point ("6.49", "------" when dashed, empty when off) and the
// line's flags ("blinking", "zeros off", "dash", "off"; comma separated).
struct HistoryLine {
    std::string name;
    std::string price;
    std::string flags;

    bool operator==(const HistoryLine&) const = default;
};

// One step of an exchange: "connect", "header 20", "digits", ... with the
// link's result code and the message the log showed for it.
struct HistoryStep {
    std::string name;
    int code = 0;
    std::string message;

    bool operator==(const HistoryStep&) const = default;
};

// One record of the send history: one command with one pylon. Texts are UTF-8.
struct HistoryRecord {
    int64_t id = 0;            // given by the database
    int64_t utcMs = 0;         // when the exchange started, ms since 1970 UTC
    int utcOffsetMinutes = 0;  // the local time zone's offset then
    std::string user;          // operating-system user
    std::string host;
    std::string program;  // "LumarqPylon" or "pylonctl"
    std::string version;
    std::string action;  // "send", "download", "settings", "test"
    std::string pylon;   // the pylon's name in the list; empty on the serial port
    std::string target;  // "IP:port" or "port @ rate"
    bool ok = false;
    // A Send's configuration: the seven lines, brightness, gamma and fonts.
    std::vector<HistoryLine> lines;
    std::string brightness;
    std::string gamma;
    std::string fonts;
    std::string detail;  // a service command's parameters
    std::vector<HistoryStep> steps;
    int verified = -1;  // -1 not run, 0 differences found, 1 the pylon holds what was sent, 2 not read back
    std::string differences;
    int64_t elapsedMs = 0;

    bool operator==(const HistoryRecord&) const = default;
};

// Fills lines, brightness, gamma and fonts from the configuration a Send sends.
void DescribeConfiguration(const PylonConfig& model, HistoryRecord& record);
// The price text of one line as the picture shows it.
std::string ShownPrice(const PylonConfig& model, int line);
// The seven prices on one line ("6.49 | 5.99 | ..."), for lists.
std::string PriceSummary(const HistoryRecord& record);

// "2026-12-08T23:11:50.123Z".
std::string FormatUtc(int64_t utcMs);
// The local time of the record with its offset: "2026-12-09 00:11:50 +01:00".
std::string FormatLocal(int64_t utcMs, int offsetMinutes);
// "+01:00", "-05:30".
std::string FormatOffset(int offsetMinutes);
// ms since 1970 UTC of a civil date and time (UTC).
int64_t UtcMsOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// The text columns that hold the lists: one item a line, fields split by tabs.
std::string EncodeLines(const std::vector<HistoryLine>& lines);
std::vector<HistoryLine> DecodeLines(const std::string& text);
std::string EncodeSteps(const std::vector<HistoryStep>& steps);
std::vector<HistoryStep> DecodeSteps(const std::string& text);

// The whole record as a person reads it, one field a line (English field names).
std::string DescribeRecord(const HistoryRecord& record);
