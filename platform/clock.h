// The system clock: local date and time of day, the time in UTC, and
// sleeping. Read the date once per run into the run's values; tests use
// testing/fake_clock.h.
#ifndef ZOV_PLATFORM_CLOCK_H_
#define ZOV_PLATFORM_CLOCK_H_

#include <cstdint>

namespace zov::platform {

struct CivilDate {
  int year = 0;   // e.g. 2026
  int month = 0;  // 1..12
  int day = 0;    // 1..31
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilDate Today() = 0;
  // Local time of day in hundredths of a second since midnight (0..8639999).
  virtual int32_t HundredthsSinceMidnight() = 0;
  // Whole seconds since 1970-01-01 00:00:00 UTC (the wall clock: it may
  // step; measure waits with MonotonicMicros).
  virtual int64_t SecondsSinceEpoch() = 0;
  // Monotonic microseconds, for measuring waits.
  virtual int64_t MonotonicMicros() = 0;
  virtual void SleepMillis(int32_t millis) = 0;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_CLOCK_H_
