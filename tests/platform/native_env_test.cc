// How the native Env chooses its record manager and which environment
// values stop it from starting, over a fake environment.
#include <gtest/gtest.h>

#include <string>

#include "platform/native_env.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_environment.h"

namespace zov::platform {
namespace {

TEST(NativeEnvTest, RecordManagerChoiceIsAStatusAndADescription) {
  struct Case {
    const char* zovrecman;  // nullptr: unset; "?": a value code page 850 cannot hold
    bool ok;
    std::string says;  // in the description, or in the message
  };
  const Case cases[] = {
      {nullptr, true, "our engine (SQLite data files)"},
      {"", true, "our engine (SQLite data files)"},
      {"/no/such/libbtr\x82.so", false, "/no/such/libbtr\x82.so"},
      {"?", false, "ZOVRECMAN"},
  };
  for (const Case& c : cases) {
    FakeEnvironment environment;
    if (c.zovrecman != nullptr && std::string(c.zovrecman) == "?") {
      environment.SetUnholdable("ZOVRECMAN");
    } else if (c.zovrecman != nullptr) {
      environment.Set("ZOVRECMAN", c.zovrecman);
    }
    FakeClock clock;
    RecordManagerChoice choice;
    const Status s = ChooseRecordManager(environment, &clock, &choice);
    EXPECT_EQ(s.ok(), c.ok) << c.says << ": " << s.message();
    EXPECT_EQ(choice.record_manager != nullptr, c.ok) << c.says;
    EXPECT_NE((c.ok ? choice.description : s.message()).find(c.says), std::string::npos) << s.message();
  }
}

// Only the variables the suite takes directories and programs from stop
// the start; any other reads as unset.
TEST(NativeEnvTest, SuiteVariablesMustBeCodePage850) {
  for (const char* name : {"ZOVROOT", "ZOVEXE", "ZOVTMP", "TEMP", "TMPDIR", "COMSPEC", "ZOVRECMAN"}) {
    FakeEnvironment environment;
    environment.Set("ZOVROOT", "/srv/Administraci\xA2/");
    environment.SetUnholdable(name);
    const Status s = CheckSuiteVariables(environment);
    EXPECT_TRUE(s.IsInvalidArgument()) << name;
    EXPECT_NE(s.message().find(name), std::string::npos) << s.message();
  }
  FakeEnvironment environment;
  environment.Set("ZOVROOT", "/srv/Administraci\xA2/");
  environment.SetUnholdable("PATH");
  EXPECT_TRUE(CheckSuiteVariables(environment).ok());
  EXPECT_EQ(environment.Get("PATH"), std::nullopt);
  EXPECT_EQ(environment.GetOrEmpty("ZOVROOT"), "/srv/Administraci\xA2/");
}

TEST(ErrorOutputTest, ALineEndFromDataNeverSplitsTheLine) {
  EXPECT_EQ(OneLine("FITXER a\nb\r\x1B[2J"), "FITXER a\xF4" "b\xF4\x1B[2J\n");
  EXPECT_EQ(OneLine(""), "\n");
}

}  // namespace
}  // namespace zov::platform
