#pragma once
// Times as the Collection stores and shows them: seconds since the epoch, shown in local time.

#include <cstdint>
#include <string>

std::int64_t NowSeconds();
// "yyyy-MM-ddThh:mm:ss"
std::string LocalTimeText(std::int64_t seconds);
// "yyyy-MM-dd hh:mm:ss"
std::string LocalTimeWithSpace(std::int64_t seconds);
// "yyyyMMdd-hhmmss", for file names
std::string CompactLocalTime(std::int64_t seconds);
