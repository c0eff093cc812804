#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "cli/Report.h"
#include "history/HistoryRecord.h"

// A moment the operator names on the command line, in local time:
// "2026-12-08", "2026-12-08 23:00", "2026-12-08T23:00:30". With `endOfDay` a
// date alone stands for the end of that day (the next midnight), a time for
// the end of that second. Nothing when the text is no such moment.
std::optional<int64_t> ParseLocalMoment(const std::string& text, bool endOfDay);

// One record as `pylonctl history` lists it, and as its JSON object.
std::string HistoryLineText(const HistoryRecord& record);
Json HistoryJson(const HistoryRecord& record);
