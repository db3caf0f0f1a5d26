#include "format/dates.h"

#include <string>

#include <gtest/gtest.h>

#include "format/packed.h"
#include "tests/format/fake_settings.h"

namespace zov::format {
namespace {

FormatState StateOn(int year, const char* language = "CAT") {
  FormatState format_state;
  format_state.today = {year, 12, 8};
  format_state.language = language;
  return format_state;
}

TEST(ParseDateTest, Table) {
  const struct {
    const char* text;
    int today_year;
    const char* expected;  // digits of the packed result
  } cases[] = {
      {"5/4/06", 2026, "20060405"},
      {"05.04.2006", 2026, "20060405"},
      {"050406", 2026, "20060405"},
      {"05042006", 2026, "20060405"},
      {"1-1-75", 2026, "20750101"},  // 49 years ahead: kept
      {"1-1-76", 2026, "19760101"},  // 50 years ahead: previous century
      {"1/1/30", 2080, "20300101"},  // 50 years back: kept
      {"1/1/20", 2080, "21200101"},  // 60 years back: next century
      {"5/4/", 2026, "20000405"},    // empty year: year 0 of the century
      {"31.02.06", 2026, "20060231"},  // no calendar check
      {"1.2-06", 2026, "20060201"},
      {" 5 / 4 / 06 ", 2026, "20060405"},
      {"1/1/0075", 2026, "00750101"},  // four characters: taken as written
      {"1/1/123", 2026, "20230101"},   // three characters: windowed
      {"0/0/06", 2026, "00060000"},    // no day or month: no window
      {"5/4", 2026, "00000000"},
      {"5a/4/06", 2026, "00000000"},
      {"1/2/3/4", 2026, "00000000"},
      {"", 2026, "00000000"},
      {"    ", 2026, "00000000"},
      {"99999/1/06", 2026, "00000000"},  // beyond a 16-bit field
      {"1/1/32768", 2026, "00000000"},
      {"100/1/06", 2026, "00000000"},    // a day the packed form cannot hold
      {"1/100/06", 2026, "00000000"},
  };
  for (const auto& c : cases) {
    FormatState format_state = StateOn(c.today_year);
    const std::string packed = ParseDate(format_state, c.text);
    EXPECT_EQ(packed.size(), 4u) << '"' << c.text << '"';
    EXPECT_EQ(UnpackDigits(packed), c.expected)
        << '"' << c.text << "\" in " << c.today_year;
  }
}

// A year above 9999 used to lose its leading digit and read as a date of
// this era ("1/1/12026" as 2026-01-01); it is now rejected.
TEST(ParseDateTest, RegressionYearBeyondFourDigitsIsRejected) {
  FormatState format_state = StateOn(2026);
  EXPECT_EQ(ParseDate(format_state, "1/1/12026"), kZeroDate);
  EXPECT_EQ(ParseDate(format_state, "0101120260"), kZeroDate);
}

TEST(ParseDateTest, RecordsTheLastParsedFields) {
  FormatState format_state = StateOn(2026);
  ParseDate(format_state, "5/4/06");
  EXPECT_EQ(format_state.last_day, 5);
  EXPECT_EQ(format_state.last_month, 4);
  EXPECT_EQ(format_state.last_year, 2006);
  ParseDate(format_state, "5a");
  EXPECT_EQ(format_state.last_day, 0);
  EXPECT_EQ(format_state.last_year, 0);
}

struct DateTextCase {
  const char* date;  // digits YYYYMMDD
  int style;
  const char* parts;
  const char* language;
  const char* expected;
};

TEST(DateTextTest, DefaultSettings) {
  const DateTextCase cases[] = {
      {"20060405", 0, "dma", "CAT", "5/4/2006  "},
      {"20061231", 0, "dma", "CAT", "31/12/2006"},
      {"20060405", 0, "DMA", "CAT", "5/4/2006  "},
      {"20060405", 0, "ma", "CAT", "4/2006 "},
      {"20060405", 0, "a", "CAT", "2006"},
      {"20060405", 0, "x", "CAT", ""},
      {"20060405", 1, "dma", "SPA", "5/abr/2006 "},
      {"20060512", 1, "dma", "CAT", "12/mai/2006"},
      {"20060305", 1, "dma", "CAT", "5/mar/2006 "},
      {"20060405", 2, "dma", "CAT", "5 d'abril del 2006"},
      {"20060512", 2, "dma", "CAT", "12 de maig del 2006"},
      {"20060405", 2, "dma", "SPA", "5 de abril de 2006"},
      {"20060405", 2, "dma", "GLG", "5 de abril do 2006"},
      {"20060405", 2, "dma", "OCI", "5 d'abriu deth 2006"},
      {"20061001", 2, "ma", "CAT", "octubre del 2006"},
      {"20060305", 2, "dma", "CAT", "5 de mar\x87 del 2006"},
      {"20060115", 3, "dma", "OCI", "15 de g\x8Ar deth 2006"},
      {"20060305", 2, "dma", "GLG", "5 de mar\x87o do 2006"},
      {"20060405", 2, "dma", "spa", "5 d'abril del 2006"},  // case matters
      {"20060405", -1, "", "CAT", "2006-04-05"},
      {"20060405", -7, "dma", "CAT", "2006-04-05"},
      {"20061305", 2, "dma", "CAT", "5 de 13 del 2006"},  // no 13th month
      {"20060005", 1, "dma", "SPA", "5/0/2006   "},
      {"00000000", 0, "dma", "CAT", "          "},
      {"00000000", 1, "dma", "CAT", "           "},
      {"00000000", 2, "dma", "CAT", ""},
      {"00000000", -1, "dma", "CAT", "0000-00-00"},
  };
  for (const DateTextCase& c : cases) {
    FormatState format_state = StateOn(2026, c.language);
    EXPECT_EQ(DateText(format_state, PackDigits(c.date), static_cast<std::int16_t>(c.style),
                       c.parts),
              c.expected)
        << c.date << " style " << c.style << " parts \"" << c.parts << "\" "
        << c.language;
  }
}

TEST(DateTextTest, SeparatorAndOrderFromSettings) {
  const struct {
    const char* separator;
    const char* order;
    int style;
    const char* expected;  // for 2006-04-05, parts "dma", Catalan
  } cases[] = {
      {"-", "AMD", 0, "2006-4-5  "},
      {".x", "MDAX", 0, "4.5.2006  "},  // first character, first three
      {"", "  ", 0, "5/4/2006  "},      // empty or blank: the defaults
      {"/", "amd", 0, "5/4/2006  "},    // not an order of D, M, A: the default
      {"/", "DXA", 0, "5/4/2006  "},
      {"/", "DDA", 0, "5/4/2006  "},
      {"3", "DMA", 0, "5/4/2006  "},    // a digit cannot separate: the default
      {"\t", "DMA", 0, "5/4/2006  "},
      {"-", "AMD", 2, "2006 d'abril del 5"},
  };
  for (const auto& c : cases) {
    FakeSettings settings({{"DatCaracter", c.separator}, {"DatOrdre", c.order}});
    FormatState format_state = StateOn(2026);
    format_state.settings = &settings;
    EXPECT_EQ(DateText(format_state, PackDigits("20060405"),
                       static_cast<std::int16_t>(c.style), "dma"),
              c.expected)
        << "DatCaracter \"" << c.separator << "\" DatOrdre \"" << c.order << '"';
  }
}

// Settings that cannot be used are replaced by the defaults and said once.
TEST(DateTextTest, UnusableSettingsAreSaid) {
  const struct {
    const char* separator;
    const char* order;
    std::size_t warnings;
  } cases[] = {
      {"/", "DMA", 0}, {"-", "AMD", 0}, {"", "", 0}, {"/", "dma", 1},
      {"/", "DXA", 1}, {"7", "DMA", 1}, {"\x1B", "MM", 2},
  };
  for (const auto& c : cases) {
    FakeSettings settings({{"DatCaracter", c.separator}, {"DatOrdre", c.order}});
    FormatState format_state = StateOn(2026);
    format_state.settings = &settings;
    (void)DateText(format_state, PackDigits("20060405"), 0, "dma");
    (void)DateText(format_state, PackDigits("20060405"), 0, "dma");
    EXPECT_EQ(format_state.warnings.size(), c.warnings) << c.separator << " " << c.order;
    for (const std::string& w : format_state.warnings) EXPECT_EQ(w.find('\x1B'), std::string::npos) << w;
  }
}

TEST(DateTextTest, SettingsAreReadOncePerRun) {
  FakeSettings settings({{"DatCaracter", "-"}});
  FormatState format_state = StateOn(2026);
  format_state.settings = &settings;
  const std::string date = PackDigits("20060405");
  EXPECT_EQ(DateText(format_state, date, 0, "dma"), "5-4-2006  ");
  settings.values["DatCaracter"] = ".";
  EXPECT_EQ(DateText(format_state, date, 0, "dma"), "5-4-2006  ");
  EXPECT_EQ(settings.reads, 2);
}

TEST(DateSlashTextTest, Table) {
  const struct {
    std::string date;
    const char* expected;
  } cases[] = {
      {PackDigits("20060405"), "05/04/2006"},
      {std::string(kZeroDate), "00/00/0000"},
      {PackDigits("2006"), "00/00/2006"},  // short: missing bytes read as zero
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DateSlashText(c.date), c.expected) << c.expected;
  }
}

}  // namespace
}  // namespace zov::format

namespace zov::format {
namespace {

// Date numbers YYYYMMDD: from a packed date, as "DD/MM/YYYY", and their
// quarter as the agency writes it.
TEST(DateNumberTest, Table) {
  const struct {
    std::string packed_digits;
    std::int64_t number;
    const char* slash;
    const char* quarter;
  } cases[] = {
      {"20260105", 20260105, "05/01/2026", "1T"}, {"20260331", 20260331, "31/03/2026", "1T"},
      {"20260401", 20260401, "01/04/2026", "2T"}, {"20261130", 20261130, "30/11/2026", "4T"},
      {"00000000", 0, "00/00/0000", "1T"},        // month 0: the truncation gives the first
      {"20261301", 20261301, "01/13/2026", "5T"},  // no check of the calendar
      {"2006", 20060000, "00/00/2006", "1T"},      // short: missing bytes read as zero
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.packed_digits);
    EXPECT_EQ(DateNumber(PackDigits(c.packed_digits)), c.number);
    EXPECT_EQ(DateNumberSlashText(c.number), c.slash);
    EXPECT_EQ(QuarterText(c.number), c.quarter);
  }
}

TEST(CalendarTest, MonthLengthsAndLeapYears) {
  struct Case {
    int year, month, day;
    bool valid;
  } cases[] = {
      {2026, 2, 28, true},  {2026, 2, 29, false}, {2024, 2, 29, true}, {1900, 2, 29, false},
      {2000, 2, 29, true},  {2026, 4, 31, false}, {2026, 12, 31, true}, {2026, 13, 1, false},
      {2026, 0, 1, false},  {2026, 1, 0, false},  {0, 1, 1, false},     {9999, 12, 31, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day);
    EXPECT_EQ(IsCalendarDate(c.year, c.month, c.day), c.valid);
  }
}

}  // namespace
}  // namespace zov::format
