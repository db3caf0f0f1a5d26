#include "books/run_time.h"

#include <chrono>
#include <optional>
#include <string>

namespace zov::books {

RunTime RunTime::FromSeconds(int64_t seconds) {
  using namespace std::chrono;
  RunTime t;
  t.seconds = seconds;
  const int64_t days_since_1970 = seconds / 86400;
  const int64_t second_of_day = seconds % 86400;
  const year_month_day date{sys_days{days{days_since_1970}}};
  t.year = static_cast<int>(date.year());
  t.month = static_cast<int>(static_cast<unsigned>(date.month()));
  t.day = static_cast<int>(static_cast<unsigned>(date.day()));
  t.hour = static_cast<int>(second_of_day / 3600);
  t.minute = static_cast<int>(second_of_day / 60 % 60);
  t.second = static_cast<int>(second_of_day % 60);
  return t;
}

platform::Status ReadRunTime(platform::Environment& environment, platform::Clock& clock, RunTime* time) {
  const std::optional<std::string> fixed = environment.Get(kSourceDateEpoch);
  if (!fixed) {
    // A clock set before 1970 or past 9999 gives the nearest second the
    // books can show.
    const int64_t now = clock.SecondsSinceEpoch();
    *time = RunTime::FromSeconds(now < 0 ? 0 : now > kLastRunTimeSecond ? kLastRunTimeSecond : now);
    return platform::Status::Ok();
  }
  int64_t seconds = 0;
  bool digits = !fixed->empty() && fixed->size() <= 12;
  for (char c : *fixed) {
    digits = digits && c >= '0' && c <= '9';
    if (digits) seconds = seconds * 10 + (c - '0');
  }
  if (!digits || seconds > kLastRunTimeSecond) {
    std::string shown = fixed->substr(0, 40);
    if (fixed->size() > shown.size()) shown += "...";
    return platform::Status::InvalidArgument(std::string(kSourceDateEpoch) +
                                             " must be a whole number of seconds since 1970-01-01 00:00:00 UTC "
                                             "(up to the year 9999), not \"" + shown + "\"");
  }
  *time = RunTime::FromSeconds(seconds);
  return platform::Status::Ok();
}

}  // namespace zov::books
