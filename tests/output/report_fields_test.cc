#include "output/report_fields.h"

#include <gtest/gtest.h>

namespace zov::output {
namespace {

std::string Field(const ReportField& f) {
  std::string line;
  AppendReportField(line, f);
  return line;
}

// What a spreadsheet or a CSV reader would misread, and how each is
// written instead.
TEST(ReportFieldsTest, HostileValuesAreWrittenHarmless) {
  struct Case {
    std::string value;
    bool number;
    std::string written;
  } cases[] = {
      {"PUIG I FERRER, JOAN", false, "PUIG I FERRER, JOAN"},
      {"=HYPERLINK(\"http://x.example\",\"clic\")", false, "\"'=HYPERLINK(\"\"http://x.example\"\",\"\"clic\"\")\""},
      {"+cmd|' /C calc'!A0", false, "'+cmd|' /C calc'!A0"},
      {"@SUM(1+1)*cmd|' /C calc'!A0", false, "'@SUM(1+1)*cmd|' /C calc'!A0"},
      {"-2+3", false, "'-2+3"},
      {"\tTAB", false, "'\tTAB"},
      {"\rX", false, "\"'\rX\""},
      {"-1234,56", true, "-1234,56"},
      {"+5", true, "+5"},
      {"O\"BRIEN", false, "\"O\"\"BRIEN\""},
      {"\"", false, "\"\"\"\""},
      {"A;B", false, "\"A;B\""},
      {"LINE\r\nBREAK", false, "\"LINE\r\nBREAK\""},
      {std::string("E\x1B[2JS\bC\x7FN\0U", 12), false, "E [2JS C N U"},
      {std::string("\0=1", 3), false, " =1"},
      {"CAF\x90 \xA5", false, "CAF\x90 \xA5"},
      {"", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Field(c.number ? ReportField::Number(c.value) : ReportField(c.value)), c.written);
  }
}

// A value past the limit is cut with the mark; one at the limit is whole.
TEST(ReportFieldsTest, LongValuesAreCutWithAMark) {
  const std::string at_limit(kReportFieldLimit, 'x');
  EXPECT_EQ(Field(at_limit), at_limit);
  const std::string huge(1000 * 1000, '9');
  const std::string written = Field(huge);
  EXPECT_EQ(written.size(), kReportFieldLimit);
  EXPECT_EQ(written, std::string(kReportFieldLimit - kCutMark.size(), '9') + std::string(kCutMark));
  // The mark stays inside the quotes of a field that needs them.
  const std::string quoted = Field("=\"" + huge);
  EXPECT_EQ(quoted.substr(0, 4), "\"'=\"");
  EXPECT_EQ(quoted.substr(quoted.size() - kCutMark.size() - 1), std::string(kCutMark) + "\"");
}

// What the writer writes, the reader reads back field for field (the
// guard's quote aside), line ends inside fields included.
TEST(ReportFieldsTest, ReadingUndoesTheQuoting) {
  std::string text;
  AppendReportLine(text, {"owner code", "name", "file"});
  AppendReportLine(text, {"0001", "A;B \"C\"", "x.xlsx"});
  AppendReportLine(text, {"0002", "TWO\r\nLINES", ""});
  text += "0003;last;no end";
  const auto records = ReadReportRecords(text);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0], (std::vector<std::string>{"owner code", "name", "file"}));
  EXPECT_EQ(records[1], (std::vector<std::string>{"0001", "A;B \"C\"", "x.xlsx"}));
  EXPECT_EQ(records[2], (std::vector<std::string>{"0002", "TWO\r\nLINES", ""}));
  EXPECT_EQ(records[3], (std::vector<std::string>{"0003", "last", "no end"}));
  EXPECT_TRUE(ReadReportRecords("").empty());
}

}  // namespace
}  // namespace zov::output
