#include "tools/dedado/opener.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/testing/fake_env.h"
#include "tools/support/command_line.h"

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
    std::ostringstream out, err;
    EXPECT_EQ(RunDedado({"/tmp/registre 2024.csv"}, fake.env, out, err), kExitDone) << c.name;
    ASSERT_EQ(runner.runs.size(), c.runs ? 1u : 0u) << c.name;
    if (c.runs) {
      EXPECT_EQ(runner.runs[0].program, root + "bin/xdg-open") << c.name;
      EXPECT_EQ(runner.runs[0].args, std::vector<std::string>{"/tmp/registre 2024.csv"}) << c.name;
    }
    EXPECT_EQ(out.str(), c.prints ? "/tmp/registre 2024.csv\n" : "") << c.name;
  }
}

TEST(OpenDocumentTest, JoinsAPathSplitAtBlanksAndNeedsOne) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out;
    std::string err_start;
  };
  const Case cases[] = {
      {{"/tmp/registre", "2024.csv"}, kExitDone, "/tmp/registre 2024.csv\n", ""},
      {{"--", "-odd.csv"}, kExitDone, "-odd.csv\n", ""},
      {{}, kExitUsage, "", "dedado: DOCUMENT is missing; see \"dedado --help\""},
      {{"--bogus"}, kExitUsage, "", "dedado: unknown option --bogus"},
      {{"--help"}, kExitDone, "Usage: dedado DOCUMENT...\n", ""},
  };
  for (const Case& c : cases) {
    platform::FakeEnv fake;
    std::ostringstream out, err;
    EXPECT_EQ(RunDedado(c.args, fake.env, out, err), c.code) << c.out << c.err_start;
    if (c.out.ends_with("...\n")) {
      EXPECT_EQ(out.str().rfind(c.out, 0), 0u) << out.str();
    } else {
      EXPECT_EQ(out.str(), c.out);
    }
    EXPECT_EQ(err.str().rfind(c.err_start, 0), 0u) << err.str();
    EXPECT_TRUE(fake.processes.runs.empty());
  }
}

}  // namespace
}  // namespace zov::tools
