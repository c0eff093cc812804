#include "cli/HistoryReport.h"

#include <cstdio>
#include <ctime>

std::optional<int64_t> ParseLocalMoment(const std::string& text, bool endOfDay)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, n = 0;
    bool hasTime = false;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &n) != 3 || n != 10) return std::nullopt;
    if (text.size() > 10) {
        const char sep = text[10];
        const std::string rest = text.substr(11);
        int m = 0;
        if ((sep != ' ' && sep != 'T') ||
            !((std::sscanf(rest.c_str(), "%2d:%2d:%2d%n", &h, &mi, &s, &m) == 3 && m == 8 && rest.size() == 8) ||
              (std::sscanf(rest.c_str(), "%2d:%2d%n", &h, &mi, &m) == 2 && m == 5 && rest.size() == 5)))
            return std::nullopt;
        hasTime = true;
    }
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59) return std::nullopt;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d + (endOfDay && !hasTime ? 1 : 0);
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s + (endOfDay && hasTime ? 1 : 0);
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == std::time_t(-1)) return std::nullopt;
    return int64_t(t) * 1000;
}

std::string HistoryLineText(const HistoryRecord& r)
{
    std::string line = FormatLocal(r.utcMs, r.utcOffsetMinutes) + "  " + r.program + "  " + r.action + "  " + r.target;
    if (!r.pylon.empty()) line += " (" + r.pylon + ")";
    line += r.ok ? "  OK" : "  FAILED";
    if (r.verified == 1) line += ", verified";
    else if (r.verified == 0) line += ", differs";
    else if (r.verified == 2) line += ", not read back";
    if (!r.lines.empty()) line += "  " + PriceSummary(r);
    if (!r.ok && !r.differences.empty()) {
        line += "  [" + r.differences.substr(0, r.differences.find('\n')) + "]";
    } else if (!r.ok) {
        for (auto it = r.steps.rbegin(); it != r.steps.rend(); ++it)
            if (!it->message.empty()) {
                line += "  [" + it->message + "]";
                break;
            }
    }
    return line;
}

Json HistoryJson(const HistoryRecord& r)
{
    Json lines = Json::array();
    for (const HistoryLine& l : r.lines) lines.push_back({{"name", l.name}, {"price", l.price}, {"flags", l.flags}});
    Json steps = Json::array();
    for (const HistoryStep& s : r.steps) steps.push_back({{"name", s.name}, {"code", s.code}, {"message", s.message}});
    static const char* const verified[] = {"not_run", "differs", "verified", "read_failed"};
    return Json{{"schema", JsonSchemaVersion},
                {"command", "history"},
                {"id", r.id},
                {"time_utc", FormatUtc(r.utcMs)},
                {"time_local", FormatLocal(r.utcMs, r.utcOffsetMinutes)},
                {"user", r.user},
                {"host", r.host},
                {"program", r.program},
                {"version", r.version},
                {"action", r.action},
                {"name", r.pylon},
                {"target", r.target},
                {"result", r.ok ? "ok" : "failed"},
                {"lines", lines},
                {"brightness", r.brightness},
                {"gamma", r.gamma},
                {"fonts", r.fonts},
                {"parameters", r.detail},
                {"steps", steps},
                {"verify", verified[r.verified >= -1 && r.verified <= 2 ? r.verified + 1 : 0]},
                {"differences", r.differences},
                {"elapsed_ms", r.elapsedMs}};
}
