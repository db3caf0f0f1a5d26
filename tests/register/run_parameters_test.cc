#include "register/run_parameters.h"

#include "gtest/gtest.h"
#include "tests/register/harness.h"

namespace zov::reg {
namespace {

std::vector<std::string> Lines(std::initializer_list<std::pair<int, std::string>> set, int count = 23) {
  std::vector<std::string> lines(static_cast<std::size_t>(count));
  for (const auto& [n, text] : set) lines[static_cast<std::size_t>(n - 1)] = text;
  return lines;
}

TEST(RunParametersTest, PropertyBounds) {
  struct Case {
    std::string from_line, to_line, from12, to12;
  } cases[] = {
      {"", "", "000100010001", "999999999999"},
      {"12", "12.3", "001200010001", "001200039999"},
      {"12.3.4", "12.3.4", "001200030004", "001200030004"},
      {"43.", "43", "004300010001", "004399999999"},
      {"0", "0", "000000010001", "000099999999"},
      {"1.2.3.4", "9999.9999.9999.9999", "000100020003", "999999999999"},
  };
  format::FormatState format_state;
  format_state.today = {2026, 12, 8};
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + c.from_line + "' '" + c.to_line + "'");
    const RunParameters p = ParseRunParameters(format_state, Lines({{4, c.from_line}, {5, c.to_line}}));
    EXPECT_EQ(p.property_from, P(c.from12));
    EXPECT_EQ(p.property_to, P(c.to12));
  }
}

TEST(RunParametersTest, DatesKeyClassesAndSwitches) {
  format::FormatState format_state;
  format_state.today = {2026, 12, 8};
  const RunParameters p = ParseRunParameters(
      format_state, Lines({{1, "1/1/26"}, {2, "31.12.2026"}, {3, "C"}, {6, "0002"}, {7, "0005"}, {8, "keep"},
                 {21, "S"}, {22, "N"}, {23, "S"}}));
  EXPECT_EQ(p.date_from, P("20260101"));
  EXPECT_EQ(p.date_to, P("20261231"));
  EXPECT_EQ(p.receipt_key, 2);
  EXPECT_EQ(p.class_from, P("0002"));
  EXPECT_EQ(p.class_to, P("0005"));
  EXPECT_EQ(p.line8, "keep");
  EXPECT_TRUE(p.include_flag_s);
  EXPECT_FALSE(p.include_flag_n);
  EXPECT_TRUE(p.open_csv);

  struct Switch {
    std::string text;
    int16_t key;
    bool on;
  } switches[] = {{"C", 2, false}, {"c", 1, false}, {"", 1, false}, {"C ", 1, false},
                  {"S", 1, true},  {"s", 1, false}, {"SI", 1, false}};
  for (const Switch& s : switches) {
    SCOPED_TRACE("'" + s.text + "'");
    const RunParameters q =
        ParseRunParameters(format_state, Lines({{3, s.text}, {21, s.text}, {22, s.text}, {23, s.text}}));
    EXPECT_EQ(q.receipt_key, s.key);
    EXPECT_EQ(q.include_flag_s, s.on);
    EXPECT_EQ(q.include_flag_n, s.on);
    EXPECT_EQ(q.open_csv, s.on);
  }
}

// A date line that is not blank and not a calendar day is refused, not
// read as "no date" (which would select every quarter on file).
TEST(RunParametersTest, UnreadableDatesAreNamed) {
  struct Case {
    std::string from, to;
    int unreadable;
  } cases[] = {
      {"", "", 0},
      {"   ", "", 0},
      {"1/1/2026", "31/12/2026", 0},
      {"1.1.26", "311226", 0},
      {"29/02/2024", "", 0},
      {"\xEF\xBB\xBF" "1/1/2026", "", 1},
      {"2026-10-01", "31/12/2026", 1},
      {"1/1/2026", "31/02/2026", 2},
      {"99/99/9999", "99/99/9999", 1},
      {"1/1/2026", std::string("\0\x01\xFF", 3), 2},
      {"29/02/2026", "", 1},
  };
  format::FormatState format_state;
  format_state.today = {2026, 12, 8};
  for (const Case& c : cases) {
    const RunParameters p = ParseRunParameters(format_state, Lines({{1, c.from}, {2, c.to}}));
    EXPECT_EQ(p.unreadable_line, c.unreadable) << "'" << c.from << "' '" << c.to << "'";
  }
}

// A short file reads its missing lines as empty: no classes, no switches.
TEST(RunParametersTest, MissingLinesReadAsEmpty) {
  format::FormatState format_state;
  format_state.today = {2026, 12, 8};
  for (int count : {0, 1, 5, 7, 22}) {
    SCOPED_TRACE(count);
    std::vector<std::string> lines(static_cast<std::size_t>(count), "S");
    const RunParameters p = ParseRunParameters(format_state, lines);
    if (count < 7) {
      EXPECT_EQ(p.class_to, "");
    }
    EXPECT_FALSE(p.open_csv);
    if (count < 22) {
      EXPECT_FALSE(p.include_flag_n);
    }
    if (count < 1) {
      EXPECT_EQ(p.date_from, std::string(4, '\x80'));
    }
  }
}

}  // namespace
}  // namespace zov::reg
