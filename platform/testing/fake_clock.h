// A clock that stands still until told otherwise; sleeping advances it.
// Safe to read and sleep on from two threads (the engine reads it while the
// register's consumers sleep on it); set it before they start.
#ifndef ZOV_PLATFORM_TESTING_FAKE_CLOCK_H_
#define ZOV_PLATFORM_TESTING_FAKE_CLOCK_H_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/clock.h"

namespace zov::platform {

class FakeClock : public Clock {
 public:
  explicit FakeClock(CivilDate today = {2026, 12, 8}, int32_t hundredths = 12 * 360000)
      : today_(today), hundredths_(hundredths) {}

  CivilDate Today() override { return today_; }
  int32_t HundredthsSinceMidnight() override { return hundredths_; }
  // Today's date and time of day read as UTC.
  int64_t SecondsSinceEpoch() override {
    using namespace std::chrono;
    const sys_days date = year{today_.year} / month{static_cast<unsigned>(today_.month)} /
                          day{static_cast<unsigned>(today_.day)};
    return date.time_since_epoch().count() * int64_t{86400} + hundredths_ / 100;
  }
  int64_t MonotonicMicros() override { return micros_; }
  void SleepMillis(int32_t millis) override {
    std::lock_guard<std::mutex> hold(mu_);
    sleeps.push_back(millis);
    Advance(millis);
  }

  void SetToday(CivilDate d) { today_ = d; }
  void SetHundredths(int32_t h) { hundredths_ = h; }
  void Advance(int32_t millis) {
    micros_ += static_cast<int64_t>(millis) * 1000;
    hundredths_ = (hundredths_ + millis / 10) % 8640000;
  }

  std::vector<int32_t> sleeps;  // every SleepMillis argument, in order

 private:
  std::mutex mu_;
  CivilDate today_;
  std::atomic<int32_t> hundredths_;
  std::atomic<int64_t> micros_ = 0;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_FAKE_CLOCK_H_
