#include "tools/dedado/opener.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/posix_file_system.h"
#include "platform/testing/fake_environment.h"
#include "platform/testing/fake_process_runner.h"
#include "platform/testing/temp_dir.h"

namespace zov::tools {
namespace {

TEST(OpenDocumentTest, OpensOnADesktopAndPrintsThePathOtherwise) {
  platform::TempDir dir;
  std::unique_ptr<platform::FileSystem> fs = platform::NewPosixFileSystem();
  ASSERT_TRUE(fs->CreateDirectory(dir.path() + "bin").ok());
  ASSERT_TRUE(fs->CreateDirectory(dir.path() + "empty").ok());
  ASSERT_TRUE(fs->CreateDirectory(dir.path() + "xdg-open").ok());  // a directory of that name is no program
  ASSERT_TRUE(fs->WriteFile(dir.path() + "bin/xdg-open", "#!/bin/sh\n").ok());
  const std::string with = dir.path() + "empty:" + dir.path() + "bin";
  const std::string without = dir.path() + "empty:" + dir.path();

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
    platform::FakeEnvironment env({{"PATH", c.path}});
    if (!c.display.empty()) env.Set("DISPLAY", c.display);
    if (!c.wayland.empty()) env.Set("WAYLAND_DISPLAY", c.wayland);
    platform::FakeProcessRunner runner;
    runner.exit_code_to_return = c.xdg_exit;
    OpenOutcome out = OpenDocument({"/tmp/registre 2024.csv"}, env, *fs, runner);
    EXPECT_EQ(out.exit_code, kOpenExitOk) << c.name;
    ASSERT_EQ(runner.runs.size(), c.runs ? 1u : 0u) << c.name;
    if (c.runs) {
      EXPECT_EQ(runner.runs[0].program, dir.path() + "bin/xdg-open") << c.name;
      EXPECT_EQ(runner.runs[0].args, std::vector<std::string>{"/tmp/registre 2024.csv"}) << c.name;
    }
    EXPECT_EQ(out.printed, c.prints ? "/tmp/registre 2024.csv\n" : "") << c.name;
  }
}

TEST(OpenDocumentTest, JoinsAPathSplitAtBlanksAndNeedsOne) {
  platform::FakeEnvironment env;
  platform::FakeProcessRunner runner;
  std::unique_ptr<platform::FileSystem> fs = platform::NewPosixFileSystem();
  EXPECT_EQ(OpenDocument({"/tmp/registre", "2024.csv"}, env, *fs, runner).printed, "/tmp/registre 2024.csv\n");
  OpenOutcome none = OpenDocument({}, env, *fs, runner);
  EXPECT_EQ(none.exit_code, kOpenExitUsage);
  EXPECT_EQ(none.printed, "");
  EXPECT_EQ(runner.errors.size(), 1u);
}

}  // namespace
}  // namespace zov::tools
