// The run's time: read once at the start of a run and handed to everything
// that stamps an output with it (a book's creation time, its zip entries),
// so that the same inputs at the same time give the same bytes. The
// environment variable SOURCE_DATE_EPOCH, when set, fixes it (the usual
// convention for reproducible outputs): a decimal count of seconds since
// 1970-01-01 00:00:00 UTC.
//
//   RunTime time;
//   Status s = ReadRunTime(*env.environment, *env.clock, &time);
//   // s.message(): "SOURCE_DATE_EPOCH must be ..." for a malformed value
#ifndef ZOV_BOOKS_RUN_TIME_H_
#define ZOV_BOOKS_RUN_TIME_H_

#include <cstdint>
#include <string_view>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/status.h"

namespace zov::books {

inline constexpr std::string_view kSourceDateEpoch = "SOURCE_DATE_EPOCH";

// A moment in UTC, as seconds since 1970 and as its calendar fields.
struct RunTime {
  int64_t seconds = 0;  // since 1970-01-01 00:00:00 UTC
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;

  // Seconds from 0 (1970) to the last second of the year 9999.
  static RunTime FromSeconds(int64_t seconds);
};

inline constexpr int64_t kLastRunTimeSecond = 253402300799;  // 9999-12-31 23:59:59

// SOURCE_DATE_EPOCH when it is set, else the clock's time. A value that is
// not 1 to 12 decimal digits naming a second up to the end of the year 9999
// is InvalidArgument, naming the variable and the value.
[[nodiscard]] platform::Status ReadRunTime(platform::Environment& environment, platform::Clock& clock, RunTime* time);

}  // namespace zov::books

#endif  // ZOV_BOOKS_RUN_TIME_H_
