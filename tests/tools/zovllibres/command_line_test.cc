#include "tools/zovllibres/command_line.h"

#include <sstream>

#include "gtest/gtest.h"
#include "platform/testing/fake_env.h"
#include "tools/support/command_line.h"

namespace zov::tools {
namespace {

// Each misused option is named in one line, with exit code 2; nothing else
// of the request is guessed.
TEST(ZovllibresCommandLineTest, OptionsAreCheckedOneByOne) {
  struct Case {
    std::vector<std::string> args;
    std::string message;  // "" when accepted
  } cases[] = {
      {{"--year", "2026", "--quarter", "4", "--out", "b"}, ""},
      {{"--year=2026", "--quarter=1", "--out=b", "--from-owner", "7", "--to-owner", "0012", "--owner-nifs", "n.csv",
        "--epigraph", "861"},
       ""},
      {{"--year", "2026", "--quarter", "5", "--out", "b"}, "--quarter takes 1 to 4, not 5"},
      {{"--quarter", "4", "--out", "b"}, "--year is missing"},
      {{"--year", "2026", "--out", "b"}, "--quarter is missing"},
      {{"--year", "2026", "--quarter", "4"}, "--out is missing"},
      {{"--year", "26", "--quarter", "4", "--out", "b"}, "--year takes 1900 to 9999, not 26"},
      {{"--year", "2026", "--quarter", "4", "--out", "b", "--to-owner", "10000"},
       "--to-owner takes 0 to 9999, not 10000"},
      {{"--year", "2026", "--quarter", "4", "--out", "b", "--from-owner", "0002", "--to-owner", "1"},
       "--from-owner 0002 lies after --to-owner 0001"},
      {{"--year", "2026", "--quarter", "4", "--out", "b", "--epigraph", "86A2"},
       "--epigraph takes an IAE group or epigraph of 3 or 4 digits, not 86A2"},
      {{"--bogus", "--year", "2026", "--quarter", "4", "--out", "b"}, "unknown option --bogus"},
      {{"--year", "2026", "--quarter", "4", "--out", "b", "--verbose", "x"}, "unknown option --verbose"},
      {{"--year", "2026", "--quarter", "4", "--out", "b", "stray"}, "too many arguments: stray"},
      {{"--year", "2026", "--quarter", "4", "--out"}, "--out needs a value"},
      {{"--year"}, "--year needs a value"},
      {{"--year", "2026", "--year", "2027", "--quarter", "4", "--out", "b"}, "--year is given twice"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    books::BooksRequest request;
    std::ostringstream out, err;
    const std::optional<int> stop = ParseBooksCommandLine(c.args, out, err, &request);
    EXPECT_EQ(out.str(), "");
    if (c.message.empty()) {
      EXPECT_FALSE(stop.has_value()) << err.str();
    } else {
      EXPECT_EQ(stop, kExitUsage);
      EXPECT_EQ(err.str(), "zovllibres: " + c.message + "; see \"zovllibres --help\"\n");
    }
  }
  books::BooksRequest request;
  std::ostringstream out, err;
  ASSERT_FALSE(ParseBooksCommandLine({"--year=2026", "--quarter=1", "--out=b", "--from-owner", "7", "--owner-nifs",
                                      "n.csv", "--epigraph", "861"},
                                     out, err, &request));
  EXPECT_EQ(request.year, 2026);
  EXPECT_EQ(request.quarter, 1);
  EXPECT_EQ(request.out_dir, "b");
  EXPECT_EQ(request.from_owner, 7);
  EXPECT_EQ(request.to_owner, 9999);
  EXPECT_EQ(request.nif_file, "n.csv");
  EXPECT_EQ(request.epigraph, "861");
}

// --help lists the options and the exit codes; a misused option stops
// before anything is read; a run that cannot start ends with 1.
TEST(ZovllibresCommandLineTest, HelpMisuseAndExitCodes) {
  platform::FakeEnv fake;
  std::ostringstream out, err;
  EXPECT_EQ(RunZovllibres(fake.env, {"--help"}, out, err, false), kExitDone);
  const std::string help = out.str();
  EXPECT_EQ(help.rfind("Usage: zovllibres --year YYYY --quarter Q --out DIR", 0), 0u) << help;
  for (const char* option : {"--from-owner CODE", "--to-owner CODE", "--owner-nifs FILE", "--epigraph DIGITS"})
    EXPECT_NE(help.find(option), std::string::npos) << option;
  EXPECT_NE(help.find("Exit codes: 0 every book written and valid; 1 "), std::string::npos) << help;
  EXPECT_NE(help.find("; 2 wrong\nusage"), std::string::npos) << help;
  EXPECT_EQ(err.str(), "");
  out.str("");
  EXPECT_EQ(RunZovllibres(fake.env, {"--year", "2026"}, out, err, false), kExitUsage);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "zovllibres: --quarter is missing; see \"zovllibres --help\"\n");
  err.str("");
  fake.environment.Unset("ZOVROOT");
  EXPECT_EQ(RunZovllibres(fake.env, {"--year", "2026", "--quarter", "4", "--out", "b"}, out, err, false),
            kExitProblems);
  EXPECT_EQ(err.str(), "zovllibres: ZOVROOT is not set: it names the installation to read\n");
}

}  // namespace
}  // namespace zov::tools
