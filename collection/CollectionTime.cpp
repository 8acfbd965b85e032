#include "CollectionTime.h"

#include <ctime>

namespace {

std::string Format(std::int64_t seconds, const char* format)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

} // namespace

std::int64_t NowSeconds()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::string LocalTimeText(std::int64_t seconds)
{
    return Format(seconds, "%Y-%m-%dT%H:%M:%S");
}

std::string LocalTimeWithSpace(std::int64_t seconds)
{
    return Format(seconds, "%Y-%m-%d %H:%M:%S");
}

std::string CompactLocalTime(std::int64_t seconds)
{
    return Format(seconds, "%Y%m%d-%H%M%S");
}
