#include "tools/dedado/opener.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/testing/fake_env.h"

namespace zov::tools {
namespace {

TEST(OpenDocumentTest, OpensOnADesktopAndPrintsThePathOtherwise) {
  platform::FakeEnv fake;
  platform::FileSystem& fs = fake.base_fs();
  const std::string root = fake.root();
  ASSERT_TRUE(fs.CreateDirectory(root + "bin").ok());
  ASSERT_TRUE(fs.CreateDirectory(root + "empty").ok());
  ASSERT_TRUE(fs.CreateDirectory(root + "xdg-open").ok());  // a directory of that name is no program
  ASSERT_TRUE(fs.WriteFile(root + "bin/xdg-open", "#!/bin/sh\n").ok());
  const std::string with = root + "empty:" + root + "bin";
  const std::string without = root + "empty:" + root;

  struct Case {
    std::string name;
    std::string display, wayland, path;
    int xdg_exit;
    bool runs;
    bool prints;
  };
  const std::vector<Case> cases = {
      {"X display", ":0", "", with, 0, true, false},
      {"Wayland display", "", "wayland-0", with, 0, true, false},
      {"no display", "", "", with, 0, false, true},
      {"no xdg-open", ":0", "", without, 0, false, true},
      {"xdg-open fails", ":0", "", with, 3, true, true},
  };
  for (const Case& c : cases) {
    fake.environment = platform::FakeEnvironment({{"PATH", c.path}});
    if (!c.display.empty()) fake.environment.Set("DISPLAY", c.display);
    if (!c.wayland.empty()) fake.environment.Set("WAYLAND_DISPLAY", c.wayland);
    platform::FakeProcessRunner& runner = fake.processes;
    runner.runs.clear();
    runner.exit_code_to_return = c.xdg_exit;
    OpenOutcome out = OpenDocument({"/tmp/registre 2024.csv"}, fake.env);
    EXPECT_EQ(out.exit_code, kOpenExitOk) << c.name;
    ASSERT_EQ(runner.runs.size(), c.runs ? 1u : 0u) << c.name;
    if (c.runs) {
      EXPECT_EQ(runner.runs[0].program, root + "bin/xdg-open") << c.name;
      EXPECT_EQ(runner.runs[0].args, std::vector<std::string>{"/tmp/registre 2024.csv"}) << c.name;
    }
    EXPECT_EQ(out.printed, c.prints ? "/tmp/registre 2024.csv\n" : "") << c.name;
  }
}

TEST(OpenDocumentTest, JoinsAPathSplitAtBlanksAndNeedsOne) {
  platform::FakeEnv fake;
  EXPECT_EQ(OpenDocument({"/tmp/registre", "2024.csv"}, fake.env).printed, "/tmp/registre 2024.csv\n");
  OpenOutcome none = OpenDocument({}, fake.env);
  EXPECT_EQ(none.exit_code, kOpenExitUsage);
  EXPECT_EQ(none.printed, "");
  EXPECT_EQ(fake.errors.lines.size(), 1u);
}

}  // namespace
}  // namespace zov::tools
