#include "tools/zovllibres/command_line.h"

#include <sstream>

#include "gtest/gtest.h"
#include "platform/testing/fake_env.h"

namespace zov::tools {
namespace {

// Each misused option is named; nothing else of the request is guessed.
TEST(ZovllibresCommandLineTest, OptionsAreCheckedOneByOne) {
  struct Case {
    std::vector<std::string> args;
    std::string message;  // "" when accepted
  } cases[] = {
      {{"--year", "2026", "--quarter", "4", "--out", "b"}, ""},
      {{"--year=2026", "--quarter=1", "--out=b", "--from-owner", "7", "--to-owner", "0012", "--owner-nifs", "n.csv",
        "--epigraph", "861"},
       ""},
      {{"--year", "2026", "--quarter", "5", "--out", "b"}, "--quarter takes 1, 2, 3 or 4, not 5"},
      {{"--quarter", "4", "--out", "b"}, "--year is missing"},
      {{"--year", "2026", "--out", "b"}, "--quarter is missing"},
      {{"--year", "2026", "--quarter", "4"}, "--out is missing"},
      {{"--year", "26", "--quarter", "4", "--out", "b"}, "--year takes a year of four digits, not 26"},
      {{"--year", "2026", "--quarter", "4", "--out", "b", "--to-owner", "10000"},
       "--to-owner takes an owner code of 1 to 4 digits, not 10000"},
      {{"--year", "2026", "--quarter", "4", "--out", "b", "--from-owner", "0002", "--to-owner", "1"},
       "--from-owner 0002 lies after --to-owner 0001"},
      {{"--year", "2026", "--quarter", "4", "--out", "b", "--epigraph", "86A2"},
       "--epigraph takes an IAE group or epigraph of 3 or 4 digits, not 86A2"},
      {{"--year", "2026", "--quarter", "4", "--out", "b", "--verbose", "x"}, "unknown option --verbose"},
      {{"--year", "2026", "--quarter", "4", "--out", "b", "stray"}, "unexpected argument stray"},
      {{"--year", "2026", "--quarter", "4", "--out"}, "--out needs a value"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    books::BooksRequest request;
    const platform::Status s = ParseBooksArguments(c.args, &request);
    EXPECT_EQ(s.ok() ? std::string() : s.message(), c.message);
  }
  books::BooksRequest request;
  ASSERT_TRUE(ParseBooksArguments({"--year=2026", "--quarter=1", "--out=b", "--from-owner", "7", "--owner-nifs",
                                   "n.csv", "--epigraph", "861"},
                                  &request)
                  .ok());
  EXPECT_EQ(request.year, 2026);
  EXPECT_EQ(request.quarter, 1);
  EXPECT_EQ(request.out_dir, "b");
  EXPECT_EQ(request.from_owner, 7);
  EXPECT_EQ(request.to_owner, 9999);
  EXPECT_EQ(request.nif_file, "n.csv");
  EXPECT_EQ(request.epigraph, "861");
}

// --help prints the usage; a misused option stops before anything is read,
// with its reason and the usage.
TEST(ZovllibresCommandLineTest, HelpAndMisuse) {
  platform::FakeEnv fake;
  std::ostringstream out, err;
  EXPECT_EQ(RunZovllibres(fake.env, {"--help"}, out, err, false), books::kExitAllValid);
  EXPECT_EQ(out.str().rfind("usage: zovllibres --year YYYY", 0), 0u) << out.str();
  EXPECT_EQ(err.str(), "");
  out.str("");
  EXPECT_EQ(RunZovllibres(fake.env, {"--year", "2026"}, out, err, false), books::kExitCannotRun);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str().rfind("zovllibres: --quarter is missing\nusage: zovllibres", 0), 0u) << err.str();
}

}  // namespace
}  // namespace zov::tools
