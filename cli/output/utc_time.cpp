#include "cli/output/utc_time.h"

#include <cstdio>

namespace tolm::linkora {

std::string UtcTimeText(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    const auto milliseconds_since = floor<milliseconds>(time).time_since_epoch();
    const sys_days day = floor<days>(time);
    const year_month_day date(day);
    const auto in_day = milliseconds_since - duration_cast<milliseconds>(day.time_since_epoch());
    const hh_mm_ss<milliseconds> clock(in_day);
    char text[40];
    std::snprintf(
        text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
        static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
    return text;
}

}  // namespace tolm::linkora
