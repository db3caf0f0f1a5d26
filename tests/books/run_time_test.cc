#include "books/run_time.h"

#include <cstdio>
#include <string>

#include "gtest/gtest.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_environment.h"

namespace zov::books {
namespace {

std::string Show(const RunTime& t) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

// SOURCE_DATE_EPOCH fixes the run's time; anything but a plain count of
// seconds is refused rather than read as some other time.
TEST(RunTimeTest, SourceDateEpoch) {
  struct Case {
    std::string value;
    std::string time;  // "" refused
  } cases[] = {
      {"0", "1970-01-01 00:00:00"},
      {"1700000000", "2023-11-14 22:13:20"},
      {"951782400", "2000-02-29 00:00:00"},
      {"000000086399", "1970-01-01 23:59:59"},
      {"253402300799", "9999-12-31 23:59:59"},
      {"253402300800", ""},
      {"9999999999999", ""},
      {"", ""},
      {"-1", ""},
      {"+1", ""},
      {" 1700000000", ""},
      {"1700000000\n", ""},
      {"17e8", ""},
      {"2026-12-08", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + c.value + "'");
    platform::FakeEnvironment environment;
    environment.Set("SOURCE_DATE_EPOCH", c.value);
    platform::FakeClock clock;
    RunTime time;
    const platform::Status s = ReadRunTime(environment, clock, &time);
    if (c.time.empty()) {
      EXPECT_FALSE(s.ok());
      EXPECT_EQ(s.message().rfind("SOURCE_DATE_EPOCH must be a whole number of seconds", 0), 0u) << s.message();
    } else {
      ASSERT_TRUE(s.ok()) << s.message();
      EXPECT_EQ(Show(time), c.time);
    }
  }
}

// Without the variable: the clock's time in UTC.
TEST(RunTimeTest, TheClockWithoutTheVariable) {
  platform::FakeEnvironment environment;
  platform::FakeClock clock({2026, 12, 8}, 12 * 360000 + 3456);
  RunTime time;
  ASSERT_TRUE(ReadRunTime(environment, clock, &time).ok());
  EXPECT_EQ(Show(time), "2026-12-08 12:00:34");
  EXPECT_EQ(time.seconds, clock.SecondsSinceEpoch());
}

}  // namespace
}  // namespace zov::books
