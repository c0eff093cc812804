#pragma once
#include <chrono>
#include <string>

// The service window's password: made anew from the day's date and fixed
// text at every check, never stored. Mode 0 opens from Ctrl+Alt+S, mode 1
// from Ctrl+Shift+F11; each has its own password, and both change every day.
// The rule itself is written down for service staff in docs/service.md.
class ServicePassword {
public:
    static constexpr int MaxLength = 20;

    // The password of `mode` on `day`; empty for an invalid day or an
    // unknown mode (and an empty password never opens the window).
    static std::string For(int mode, const std::chrono::year_month_day& day);
    static bool Accepts(int mode, const std::chrono::year_month_day& day, const std::string& typed);
};
