#include "comm/ServicePassword.h"

#include <cstdio>

namespace {

// Digits only, whatever the system's locale: the password must not depend on
// how the station's desktop writes dates.
std::string Digits(int value, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

}  // namespace

std::string ServicePassword::For(int mode, const std::chrono::year_month_day& day)
{
    if (!day.ok()) return {};
    const std::string dd = Digits(int(unsigned(day.day())), 2);
    const std::string mm = Digits(int(unsigned(day.month())), 2);
    const std::string yyyy = Digits(int(day.year()), 4);
    switch (mode) {
    // Product code first, then the date from the year down: KD4M20240315.
    case 0: return "KD4M" + yyyy + mm + dd;
    // The date from the day up, then the service mark: 15032024SRV2.
    case 1: return dd + mm + yyyy + "SRV2";
    default: return {};
    }
}

bool ServicePassword::Accepts(int mode, const std::chrono::year_month_day& day, const std::string& typed)
{
    const std::string expected = For(mode, day);
    return !expected.empty() && typed == expected;
}
