#include "tools/support/progress_bar.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace zov::tools {
namespace {

TEST(ProgressBarTest, DrawsOnATerminalOnlyAndClearsItsLine) {
  std::ostringstream log;
  {
    ProgressBar bar(log, "x", false);
    bar.Show(1, 2);
  }
  EXPECT_EQ(log.str(), "") << "nothing where no one watches";

  std::ostringstream tty;
  ProgressBar bar(tty, "dozudizi", true);
  bar.Show(0, 0);  // an empty file is done
  bar.Show(1, 3);
  bar.Show(1, 3);  // unchanged: not drawn again
  bar.Show(5, 3);  // past the end counts as the end
  const std::string drawn = tty.str();
  EXPECT_EQ(drawn, "\rdozudizi [" + std::string(40, '#') + "] 100 %" + "\rdozudizi [" + std::string(13, '#') +
                       std::string(27, ' ') + "]  33 %" + "\rdozudizi [" + std::string(40, '#') + "] 100 %");
  tty.str("");
  bar.Show(12, 24, "owners");
  const std::string with_count = tty.str();
  EXPECT_NE(with_count.find("  50 %  12 of 24 owners"), std::string::npos) << with_count;
  tty.str("");
  bar.Show(1, 24, "owners");  // shorter than the line before: its end is blanked
  EXPECT_EQ(tty.str().size(), with_count.size());
  tty.str("");
  bar.Clear();
  EXPECT_EQ(tty.str(), "\r" + std::string(with_count.size() - 1, ' ') + "\r");
  tty.str("");
  bar.Clear();
  EXPECT_EQ(tty.str(), "") << "cleared once";
}

}  // namespace
}  // namespace zov::tools
