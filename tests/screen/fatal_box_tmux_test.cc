// The fatal box on a real terminal: the demo program runs inside a detached
// tmux pane of 80 x 25; the pane must show the frame and the text, and after a
// key the terminal's own screen must be back and the program ended.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "gtest/gtest.h"
#include "platform/testing/temp_dir.h"

namespace {

class Tmux {
 public:
  Tmux() : socket_("zovscreen" + std::to_string(::getpid())) {}
  ~Tmux() { Run("kill-server >/dev/null 2>&1"); }

  int Run(const std::string& args) {
    return std::system(("LANG=C.UTF-8 tmux -u -f /dev/null -L " + socket_ + " " + args).c_str());
  }

  std::string Capture(const std::string& file) {
    if (Run("capture-pane -p -t demo > " + file + " 2>/dev/null") != 0) return std::string();
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Captures until `wanted` shows, for at most five seconds.
  std::string WaitFor(const std::string& file, const std::string& wanted) {
    std::string pane;
    for (int i = 0; i < 100; ++i) {
      pane = Capture(file);
      if (pane.find(wanted) != std::string::npos) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pane;
  }

 private:
  std::string socket_;
};

TEST(FatalBoxInTerminal, ShowsTheFrameAndEndsAfterAKey) {
  if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
  zov::platform::TempDir dir;
  const std::string script = dir.path() + "run.sh";
  const std::string pane_file = dir.path() + "pane.txt";
  {
    std::ofstream out(script);
    out << "printf 'BEFORE-RUN\\n'\n"
        << "'" << FATAL_BOX_DEMO << "' '" << dir.path() << "'\n"
        << "echo \"EXIT=$?\"\n"
        << "sleep 60\n";
  }
  Tmux tmux;
  ASSERT_EQ(tmux.Run("new-session -d -x 80 -y 25 -s demo 'sh " + script + "'"), 0);

  const std::string text = "NON SE P\u00D2T ACCEDIR ATH FICH\u00C8R DADES\\VCobros (94)";
  std::string pane = tmux.WaitFor(pane_file, text);
  ASSERT_NE(pane.find(text), std::string::npos) << pane;
  // 48 characters: the box spans columns 15 to 66 of rows 9 to 11 and covers
  // the background line from column 15 on.
  const std::string horizontal = [] {
    std::string line;
    for (int i = 0; i < 50; ++i) line += "\u2500";
    return line;
  }();
  EXPECT_NE(pane.find("\n              \u250C" + horizontal + "\u2510\n"), std::string::npos) << pane;
  EXPECT_NE(pane.find("\nBACKGROUND LIN\u2502 " + text + " \u2502\n"), std::string::npos) << pane;
  EXPECT_NE(pane.find("\n              \u2514" + horizontal + "\u2518\n"), std::string::npos) << pane;
  int row = 0;
  for (std::size_t i = 0; i < pane.find("BACKGROUND"); ++i) row += pane[i] == '\n';
  EXPECT_EQ(row + 1, 10) << "the text is on row 10";

  ASSERT_EQ(tmux.Run("send-keys -t demo x"), 0);
  pane = tmux.WaitFor(pane_file, "EXIT=");
  EXPECT_NE(pane.find("EXIT=1"), std::string::npos) << "the program has ended\n" << pane;
  EXPECT_NE(pane.find("BEFORE-RUN"), std::string::npos) << "the terminal's own screen is back\n" << pane;
  EXPECT_EQ(pane.find("\u2500"), std::string::npos) << "no frame is left\n" << pane;
  EXPECT_EQ(pane.find("BACKGROUND"), std::string::npos) << "the program's screen is gone\n" << pane;
  EXPECT_NE(pane.find(text), std::string::npos) << "the message line on standard error\n" << pane;
}

}  // namespace
