#include "log/Log.h"

#include <atomic>

namespace Log {

namespace {

std::atomic<const Sink*> current{nullptr};

}  // namespace

const Sink* SetSink(const Sink* sink) { return current.exchange(sink); }

bool Enabled(Category category, Level level)
{
    const Sink* sink = current.load();
    return sink && sink->enabled(category, level);
}

void Write(Category category, Level level, std::string_view line)
{
    const Sink* sink = current.load();
    if (sink && sink->enabled(category, level)) sink->write(category, level, line);
}

std::string Hex(const uint8_t* bytes, size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 3);
    for (size_t i = 0; i < count; ++i) {
        if (i) text.push_back(' ');
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 15]);
    }
    return text;
}

}  // namespace Log
