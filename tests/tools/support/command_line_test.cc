#include "tools/support/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace zov::tools {
namespace {

// A command with one of every kind of declaration, as the tools make them.
struct Books {
  std::string out;
  int year = 0;
  int quarter = 0;
  uint64_t seed = 7;
  std::string csv = "keep";
  bool dry = false;
  std::string first;
  std::vector<std::string> rest;

  CommandLine line{"zovtool", "Writes the books."};
  Books() {
    line.Argument("DIR", "where", &first);
    line.MoreArguments("MORE", "and more", &rest);
    line.Number("--year", "YYYY", "the year", 1900, 9999, &year);
    line.Required();
    line.Number("--quarter", "Q", "the quarter", 1, 4, &quarter);
    line.Number("--seed", "S", "the seed", uint64_t{0}, std::numeric_limits<uint64_t>::max(), &seed);
    line.Text("--out", "DIR", "the folder", &out);
    line.Choice("--csv", {"keep", "delete"}, "the CSV files", &csv);
    line.Flag("--dry-run", "write nothing", &dry);
    line.Epilogue("Exit codes: 0, 1, 2.");
  }
};

TEST(CommandLineTest, MistakesAreOneLineNamingThem) {
  struct Case {
    std::vector<std::string> args;
    std::string error;  // "" : parsed
  };
  const Case cases[] = {
      {{"d", "--year", "2026"}, ""},
      {{"d", "--year=2026", "--quarter=4", "--out", "b\xA2ks", "--csv=delete", "--dry-run", "e", "f"}, ""},
      {{"--year", "2026", "--", "--odd"}, ""},
      {{"d", "--year", "2026", "--bogus"}, "unknown option --bogus"},
      {{"d", "--year"}, "--year needs a value"},
      {{"d", "--year", "--quarter", "4"}, "--year needs a value"},
      {{"d", "--year", "2026", "--quarter", "7"}, "--quarter takes 1 to 4, not 7"},
      {{"d", "--year", "2026", "--quarter", "x"}, "--quarter takes 1 to 4, not x"},
      {{"d", "--year", "2026", "--quarter", "+4"}, "--quarter takes 1 to 4, not +4"},
      {{"d", "--year", "2026", "--seed", "-1"}, "--seed takes a whole number, not -1"},
      {{"d", "--year", "2026", "--seed", "18446744073709551616"}, "--seed takes a whole number, not 18446744073709551616"},
      {{"d", "--year", "2026", "--csv", "maybe"}, "--csv takes keep or delete, not maybe"},
      {{"d", "--year", "2026", "--out="}, "--out needs a value"},
      {{"d", "--year", "2026", "--dry-run=yes"}, "--dry-run takes no value"},
      {{"d", "--year", "2026", "--year", "2027"}, "--year is given twice"},
      {{"d"}, "--year is missing"},
      {{"--year", "2026"}, "DIR is missing"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    Books b;
    std::ostringstream out, err;
    const std::optional<int> stop = b.line.Parse(c.args, out, err);
    EXPECT_EQ(out.str(), "") << joined;
    if (c.error.empty()) {
      EXPECT_FALSE(stop.has_value()) << joined << err.str();
      continue;
    }
    EXPECT_EQ(stop, kExitUsage) << joined;
    EXPECT_EQ(b.line.error(), c.error) << joined;
    EXPECT_EQ(err.str(), "zovtool: " + c.error + "; see \"zovtool --help\"\n") << joined;
  }
}

TEST(CommandLineTest, ValuesLandInTheirVariables) {
  Books b;
  std::ostringstream out, err;
  ASSERT_FALSE(b.line.Parse({"d", "--year=2026", "--quarter", "4", "--seed", "18446744073709551615", "--out",
                             "b\xA2ks", "--csv", "delete", "--dry-run", "e", "--", "-f"},
                            out, err));
  EXPECT_EQ(b.first, "d");
  EXPECT_EQ(b.rest, (std::vector<std::string>{"e", "-f"}));
  EXPECT_EQ(b.year, 2026);
  EXPECT_EQ(b.quarter, 4);
  EXPECT_EQ(b.seed, std::numeric_limits<uint64_t>::max());
  EXPECT_EQ(b.out, "b\xA2ks");
  EXPECT_EQ(b.csv, "delete");
  EXPECT_TRUE(b.dry);
}

// Help wins over any mistake, and lists every declaration.
TEST(CommandLineTest, HelpListsEverythingDeclared) {
  Books b;
  std::ostringstream out, err;
  EXPECT_EQ(b.line.Parse({"--bogus", "-h"}, out, err), kExitDone);
  EXPECT_EQ(err.str(), "");
  const std::string help = out.str();
  EXPECT_EQ(help.rfind("Usage: zovtool DIR [MORE...] --year YYYY [--quarter Q] [--seed S] [--out DIR] "
                       "[--csv keep|delete] [--dry-run]\n\nWrites the books.\n",
                       0),
            0u)
      << help;
  for (const char* item : {"  DIR ", "  --quarter Q ", "  --csv keep|delete ", "  -h, --help ", "Exit codes: 0"}) {
    EXPECT_NE(help.find(item), std::string::npos) << item << "\n" << help;
  }
}

}  // namespace
}  // namespace zov::tools
