#include "tools/dozudizi/print_file_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zov::tools {
namespace {

TEST(ParseNumberTest, ReadsTheNumberTextFormAndRejectsTheRest) {
  struct Case {
    std::string text;
    bool ok;
    int64_t value;
  };
  const std::vector<Case> cases = {
      {" 45 ", true, 45},
      {"-3 ", true, -3},
      {" 0 ", true, 0},
      {"66", true, 66},
      {"  7   ", true, 7},
      {"", false, 0},
      {"   ", false, 0},
      {"-", false, 0},
      {"4 5", false, 0},
      {"--1", false, 0},
      {"+1", false, 0},
      {"1e3", false, 0},
      {" 99999999999999999999999 ", true, kNumberLimit},
      {"-99999999999999999999999", true, -kNumberLimit},
  };
  for (const Case& c : cases) {
    int64_t value = 12345;
    EXPECT_EQ(ParseNumber(c.text, &value), c.ok) << "text \"" << c.text << "\"";
    if (c.ok) {
      EXPECT_EQ(value, c.value) << "text \"" << c.text << "\"";
    }
  }
}

TEST(ParseJustificationTest, ReadsEveryNormalisedForm) {
  struct Case {
    std::string spec;
    bool known;
    Justify kind;
    int64_t column;
    char align_char;
  };
  const std::vector<Case> cases = {
      {"D", true, Justify::kRight, 0, 0},
      {" r ", true, Justify::kRight, 0, 0},
      {"E", true, Justify::kLeft, 0, 0},
      {"C", true, Justify::kCentre, 0, 0},
      {"A", true, Justify::kBoth, 0, 0},
      {"b", true, Justify::kBoth, 0, 0},
      {"N 105 \\.\\", true, Justify::kDecimal, 105, '.'},
      {"n 3 \\,\\", true, Justify::kDecimal, 3, ','},
      {"N 7", true, Justify::kDecimal, 7, 0},
      {"N 12 \\\\", true, Justify::kDecimal, 12, 0},
      {"N-4 \\'\\", true, Justify::kDecimal, 4, '\''},
      {"N", true, Justify::kDecimal, 0, 0},
      {"x", false, Justify::kLeft, 0, 0},
      {"", false, Justify::kLeft, 0, 0},
      {"\xB7", false, Justify::kLeft, 0, 0},
  };
  for (const Case& c : cases) {
    Justification j;
    j.kind = Justify::kCentre;
    EXPECT_EQ(ParseJustification(c.spec, &j), c.known) << "spec \"" << c.spec << "\"";
    EXPECT_EQ(j.kind, c.kind) << "spec \"" << c.spec << "\"";
    EXPECT_EQ(j.column, c.column) << "spec \"" << c.spec << "\"";
    EXPECT_EQ(j.align_char, c.align_char) << "spec \"" << c.spec << "\"";
  }
}

TEST(ParsePrintFileTest, ReadsEveryLineKind) {
  struct Case {
    std::string line;
    CommandKind kind;
    std::string text;
    int64_t number;
    int64_t advance;
  };
  const std::vector<Case> cases = {
      {"PAGE 66 ", CommandKind::kPage, "", 66, 0},
      {"*@e", CommandKind::kControl, "@e", 0, 0},
      {"*q ", CommandKind::kControl, "q", 0, 0},
      {"SENDanna@exemple.cat,,ANNA FERR\x90", CommandKind::kSend, "anna@exemple.cat,,ANNA FERR\x90", 0, 0},
      {"SEND", CommandKind::kSend, "", 0, 0},
      {" 45 ,00001234, 0 ", CommandKind::kItem, "00001234", 45, 0},
      {" 16 ,COMERCIAL LLOBREGAT, S.L., 1 ", CommandKind::kItem, "COMERCIAL LLOBREGAT, S.L.", 16, 1},
      {" 0 ,, 1 ", CommandKind::kItem, "", 0, 1},
      {"-12 ,LLARG, 2 ", CommandKind::kItem, "LLARG", -12, 2},
      {" 1 ,,,, 0 ", CommandKind::kItem, ",,", 1, 0},
      {" 122 ,     RETENCI\xE0 , 1 ", CommandKind::kItem, "     RETENCI\xE0 ", 122, 1},
  };
  for (const Case& c : cases) {
    ParsedPrintFile p = ParsePrintFile("DEVICE\r\n" + c.line + "\r\n");
    ASSERT_EQ(p.commands.size(), 2u) << "line \"" << c.line << "\"";
    EXPECT_TRUE(p.diagnostics.empty()) << "line \"" << c.line << "\": " << p.diagnostics[0].message;
    const Command& got = p.commands[1];
    EXPECT_EQ(got.kind, c.kind) << "line \"" << c.line << "\"";
    EXPECT_EQ(got.text, c.text) << "line \"" << c.line << "\"";
    EXPECT_EQ(got.line, 2) << "line \"" << c.line << "\"";
    if (c.kind == CommandKind::kPage || c.kind == CommandKind::kItem) {
      EXPECT_EQ(got.number, c.number) << "line \"" << c.line << "\"";
    }
    EXPECT_EQ(got.advance, c.advance) << "line \"" << c.line << "\"";
  }
}

// A last line without its line end is still read, and reported: the register
// ends every line, so such a file was cut short by a killed run.
TEST(ParsePrintFileTest, AcceptsEveryLineEndAndReportsACutLastLine) {
  const std::vector<std::string> files = {
      "DEVICEPDF\r\nPAGE 66 \r\n 1 ,A, 1 \r\n",
      "DEVICEPDF\nPAGE 66 \n 1 ,A, 1 \n",
      "DEVICEPDF\r\nPAGE 66 \n 1 ,A, 1 ",
      "DEVICEPDF\r\nPAGE 66 \n 1 ,A, 1 \r",
  };
  for (const std::string& f : files) {
    ParsedPrintFile p = ParsePrintFile(f);
    if (f.back() == '\n') {
      EXPECT_TRUE(p.diagnostics.empty()) << f;
    } else {
      ASSERT_EQ(p.diagnostics.size(), 1u) << f;
      EXPECT_EQ(p.diagnostics[0].line, 3) << f;
      EXPECT_NE(p.diagnostics[0].message.find("cut short"), std::string::npos) << f;
    }
    ASSERT_EQ(p.commands.size(), 3u) << f;
    EXPECT_EQ(p.commands[0].text, "PDF") << f;
    EXPECT_EQ(p.commands[2].text, "A") << f;
    EXPECT_EQ(p.commands[2].advance, 1) << f;
  }
}

// Each hostile file is read to its end: the bad line is reported with its
// number and left out, and the good lines around it are kept.
TEST(ParsePrintFileTest, ReportsAndSkipsMalformedLines) {
  struct Case {
    std::string file;
    int bad_line;
    std::size_t commands;  // commands kept
  };
  const std::vector<Case> cases = {
      {"PAGE 66 \r\n 1 ,A, 1 \r\n", 1, 2},             // no DEVICE line
      {"", 0, 0},                                      // empty file: no DEVICE line either
      {"DEVICE\r\nHELLO\r\n 1 ,A, 1 \r\n", 2, 2},      // item without commas
      {"DEVICE\r\n 1 ,A 1 \r\n 1 ,B, 1 \r\n", 2, 2},   // item with one comma
      {"DEVICE\r\n x ,A, 1 \r\n", 2, 1},               // column not a number
      {"DEVICE\r\n 1 ,A, one \r\n", 2, 1},             // advance not a number
      {"DEVICE\r\n 1 ,A, \r\n", 2, 1},                 // advance missing
      {"DEVICE\r\n\r\n 1 ,A, 1 \r\n", 2, 2},           // empty line
      {"DEVICE\r\nDEVICESCREEN\r\n", 2, 1},            // second DEVICE
      {"DEVICE\r\nPAGE\r\n", 2, 1},                    // PAGE without a length
      {"DEVICE\r\nPAGE sixty\r\n", 2, 1},
      {"DEVICE\r\n*\r\n", 2, 1},                       // control without a code
      {"DEVICE\r\nJUSX\r\n", 2, 2},                    // unknown justification, kept as left
      {"DEVICE\r\n\x1A\r\n", 2, 1},                    // a lone control character
      {std::string("DEVICE\r\n 1 ,A\0B, 1 \r\n", 18), 2, 2},  // NUL inside a text
  };
  for (const Case& c : cases) {
    ParsedPrintFile p = ParsePrintFile(c.file);
    ASSERT_FALSE(p.diagnostics.empty()) << "file \"" << c.file << "\"";
    EXPECT_EQ(p.diagnostics[0].line, c.bad_line) << "file \"" << c.file << "\": " << p.diagnostics[0].message;
    EXPECT_EQ(p.commands.size(), c.commands) << "file \"" << c.file << "\"";
  }
}

TEST(ParsePrintFileTest, ControlCharactersBecomeBlanksAndAreReported) {
  ParsedPrintFile p = ParsePrintFile("DEVICE\r\n 1 ,A\tB\rC\x7F" "D, 0 \r\n");
  ASSERT_EQ(p.commands.size(), 2u);
  EXPECT_EQ(p.commands[1].text, "A B C D");
  ASSERT_EQ(p.diagnostics.size(), 1u);
  EXPECT_EQ(p.diagnostics[0].line, 2);
  EXPECT_NE(p.diagnostics[0].message.find("3 control"), std::string::npos) << p.diagnostics[0].message;
}

}  // namespace
}  // namespace zov::tools
