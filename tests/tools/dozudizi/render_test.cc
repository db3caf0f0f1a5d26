#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/testing/temp_dir.h"
#include "tests/tools/dozudizi/register_examples.h"
#include "tools/dozudizi/cp850.h"
#include "tools/dozudizi/page_grid.h"
#include "tools/dozudizi/pdf_writer.h"
#include "tools/dozudizi/text_render.h"

namespace zov::tools {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string GoldenPath(const std::string& name) { return std::string(ZOV_DOZUDIZI_GOLDEN_DIR) + "/" + name; }

// Compares with the golden file byte for byte; ZOV_UPDATE_GOLDEN=1 rewrites
// it instead (then review the difference before committing).
void ExpectGolden(const std::string& name, const std::string& got) {
  if (const char* update = std::getenv("ZOV_UPDATE_GOLDEN"); update != nullptr && std::string(update) == "1") {
    WriteAll(GoldenPath(name), got);
    return;
  }
  std::string want = ReadAll(GoldenPath(name));
  ASSERT_FALSE(want.empty()) << "missing golden file " << GoldenPath(name);
  EXPECT_EQ(got, want) << "rendering differs from " << GoldenPath(name);
}

// pdftotext from the search path, or "" when it is not installed.
std::string FindPdfToText() {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path == nullptr ? "" : path);
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    std::filesystem::path candidate = std::filesystem::path(dir.empty() ? "." : dir) / "pdftotext";
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate.string();
  }
  return "";
}

// The PDF's text as pdftotext reads it, in page order with the lines kept;
// each run of blanks is one blank, since the reader only guesses the gaps.
std::string PdfText(const std::string& pdftotext, const std::string& pdf_bytes) {
  platform::TempDir dir;
  WriteAll(dir.path() + "in.pdf", pdf_bytes);
  std::string command = "'" + pdftotext + "' -layout '" + dir.path() + "in.pdf' '" + dir.path() + "out.txt'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::string text = ReadAll(dir.path() + "out.txt");
  std::string squeezed;
  for (char c : text) {
    if (c != ' ' || squeezed.empty() || squeezed.back() != ' ') squeezed += c;
  }
  return squeezed;
}

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Status s = cp_.Init();
    ASSERT_TRUE(s.ok()) << s.message();
  }
  Cp850Text cp_;
};

TEST_F(RenderTest, OneOwnerRegisterAsText) {
  Document doc = LayOut(ParsePrintFile(testing::OneOwnerPrintFile()));
  EXPECT_TRUE(doc.diagnostics.empty());
  ASSERT_EQ(doc.pages.size(), 1u);
  ExpectGolden("one_owner.txt", RenderText(cp_, doc.pages));
}

TEST_F(RenderTest, PageBreakAndSecondOwnerAsText) {
  Document doc = LayOut(ParsePrintFile(testing::TwoOwnersPrintFile()));
  EXPECT_TRUE(doc.diagnostics.empty());
  ASSERT_EQ(doc.pages.size(), 3u);
  ExpectGolden("two_owners.txt", RenderText(cp_, doc.pages));
}

// A wrong code page name would still convert, but "À" would come out as a
// box-drawing piece: every letter the suite's texts use is checked.
TEST_F(RenderTest, ConvertsTheSuitesLetters) {
  struct Case {
    unsigned char cp850;
    std::string utf8;
    unsigned char win_ansi;
  };
  const std::vector<Case> cases = {
      {0xB7, "\xC3\x80", 0xC0},  // À
      {0x90, "\xC3\x89", 0xC9},  // É
      {0xD4, "\xC3\x88", 0xC8},  // È
      {0xD6, "\xC3\x8D", 0xCD},  // Í
      {0xE0, "\xC3\x93", 0xD3},  // Ó
      {0xE3, "\xC3\x92", 0xD2},  // Ò
      {0xE9, "\xC3\x9A", 0xDA},  // Ú
      {0x9A, "\xC3\x9C", 0xDC},  // Ü
      {0x80, "\xC3\x87", 0xC7},  // Ç
      {0xA5, "\xC3\x91", 0xD1},  // Ñ
      {0xFA, "\xC2\xB7", 0xB7},  // ·
      {0x85, "\xC3\xA0", 0xE0},  // à
      {0x82, "\xC3\xA9", 0xE9},  // é
      {0x8A, "\xC3\xA8", 0xE8},  // è
      {0xA1, "\xC3\xAD", 0xED},  // í
      {0x8B, "\xC3\xAF", 0xEF},  // ï
      {0xA2, "\xC3\xB3", 0xF3},  // ó
      {0x95, "\xC3\xB2", 0xF2},  // ò
      {0xA3, "\xC3\xBA", 0xFA},  // ú
      {0x81, "\xC3\xBC", 0xFC},  // ü
      {0x87, "\xC3\xA7", 0xE7},  // ç
      {0xA4, "\xC3\xB1", 0xF1},  // ñ
      {0xA6, "\xC2\xAA", 0xAA},  // ª
      {0xA7, "\xC2\xBA", 0xBA},  // º
      {'A', "A", 'A'},
      {0x09, " ", ' '},          // control characters never reach a device
  };
  for (const Case& c : cases) {
    std::string in(1, static_cast<char>(c.cp850));
    EXPECT_EQ(cp_.ToUtf8(in), c.utf8) << "byte " << int{c.cp850};
    EXPECT_EQ(cp_.ToWinAnsi(in), std::string(1, static_cast<char>(c.win_ansi))) << "byte " << int{c.cp850};
  }
  for (int b = 0; b < 256; ++b) {
    std::string in(1, static_cast<char>(b));
    EXPECT_FALSE(cp_.ToUtf8(in).empty()) << "byte " << b;
    EXPECT_NE(cp_.ToWinAnsi(in)[0], '\0') << "byte " << b;
  }
}

TEST_F(RenderTest, PdfShowsTitleAccentsAndTotals) {
  std::string pdftotext = FindPdfToText();
  if (pdftotext.empty()) GTEST_SKIP() << "pdftotext not installed";
  Document doc = LayOut(ParsePrintFile(testing::TwoOwnersPrintFile()));
  std::string pdf;
  ASSERT_TRUE(RenderPdf(cp_, doc.pages, &pdf).ok());
  ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/Courier-Bold"), std::string::npos);

  std::string text = PdfText(pdftotext, pdf);
  const std::vector<std::string> wanted = {
      "LLIBRE REGISTRE DE FACTURES EMESES ENTRE 01/01/2024 I 31/03/2024",
      "P\xC3\x80GINA 2",                           // PÀGINA 2
      "RETENCI\xC3\x93",                           // RETENCIÓ
      "JOSEP ARAG\xC3\x93 I CASTELL\xC3\x93",      // JOSEP ARAGÓ I CASTELLÓ
      "COL\xC2\xB7LEGI DE GR\xC3\x80" "CIA",       // COL·LEGI DE GRÀCIA
      "Farm\xC3\xA0" "cia N\xC3\xBA\xC3\xB1" "ez", // Farmàcia Núñez
      "\xC3\x87" "ESC \xC3\x96" "BAL",             // ÇESC ÖBAL
      "PLA\xC3\x87" "A",                           // PLAÇA
      "TOTAL 0'00 5.500'00 21'00 1.155'00 0'00",
      "00000055 01/02/2024",
  };
  for (const std::string& w : wanted) EXPECT_NE(text.find(w), std::string::npos) << "missing: " << w << "\n" << text;
  // Three sheets: pdftotext ends each with a form feed.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 3);
}

TEST_F(RenderTest, PdfOfWidePageStillHoldsEveryCharacter) {
  std::string pdftotext = FindPdfToText();
  if (pdftotext.empty()) GTEST_SKIP() << "pdftotext not installed";
  // A line reaching column 300 makes the page's pitch smaller, not shorter.
  // Parentheses and backslashes must come through the PDF's string syntax.
  Document doc = LayOut(ParsePrintFile(
      testing::PrintFileBuilder().Page(66).At(1, "FIRST (1) \\ 2)", 0).At(295, "LAST", 1).bytes()));
  std::string pdf;
  ASSERT_TRUE(RenderPdf(cp_, doc.pages, &pdf).ok());
  std::string text = PdfText(pdftotext, pdf);
  EXPECT_NE(text.find("FIRST (1) \\ 2)"), std::string::npos) << text;
  EXPECT_NE(text.find("LAST"), std::string::npos) << text;
}

TEST_F(RenderTest, PdfWithoutPagesIsOneBlankSheetAndRendersAreRepeatable) {
  std::string empty;
  ASSERT_TRUE(RenderPdf(cp_, {}, &empty).ok());
  EXPECT_EQ(empty.substr(0, 5), "%PDF-");
  Document doc = LayOut(ParsePrintFile(testing::OneOwnerPrintFile()));
  std::string a, b;
  ASSERT_TRUE(RenderPdf(cp_, doc.pages, &a).ok());
  ASSERT_TRUE(RenderPdf(cp_, doc.pages, &b).ok());
  EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace zov::tools

namespace zov::tools {
namespace {

// Corrupted print files (bytes overwritten at random, lines cut short) are
// parsed, laid out and rendered without a crash, within the grid's limits.
TEST_F(RenderTest, CorruptedPrintFilesNeverCrash) {
  const std::string original = testing::TwoOwnersPrintFile();
  std::mt19937 random(20240331);
  std::uniform_int_distribution<std::size_t> position(0, original.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 60; ++round) {
    std::string file = original;
    for (int i = 0; i < 1 + round; ++i) file[position(random)] = static_cast<char>(byte(random));
    if (round % 3 == 0) file.resize(position(random));
    Document doc = LayOut(ParsePrintFile(file));
    for (const Page& p : doc.pages) {
      ASSERT_LE(p.length, kMaxPageLines) << "round " << round;
      ASSERT_LE(PageWidth(p), kMaxLineWidth) << "round " << round;
    }
    std::string text = RenderText(cp_, doc.pages);
    EXPECT_EQ(std::count_if(text.begin(), text.end(), [](char c) { return c != '\n' && c != '\f' && static_cast<unsigned char>(c) < 0x20; }), 0)
        << "round " << round;
    if (round % 10 == 0) {
      std::string pdf;
      EXPECT_TRUE(RenderPdf(cp_, doc.pages, &pdf).ok()) << "round " << round;
    }
  }
}

// Past the 32,767 pages where the earlier PDF library stopped: every object
// the cross-reference table names starts where it says, and the page tree
// counts every page.
TEST_F(RenderTest, PdfOfAnyLengthHasAConsistentCrossReferenceTable) {
  constexpr uint64_t kPages = 40'000;
  std::string pdf;
  PdfWriter writer([&](std::string_view bytes) {
    pdf += bytes;
    return platform::Status::Ok();
  });
  Page grid;
  grid.rows.push_back(Row{0, {Segment{0, "PAGINA (1) \\ \xB7", false}}});
  PdfPage page;
  ASSERT_TRUE(EncodePage(cp_, grid, &page).ok());
  for (uint64_t i = 0; i < kPages; ++i) ASSERT_TRUE(writer.AddPage(page).ok());
  ASSERT_TRUE(writer.Finish().ok());

  EXPECT_NE(pdf.find("/Count 40000\n"), std::string::npos);
  const std::size_t startxref = pdf.rfind("startxref\n");
  ASSERT_NE(startxref, std::string::npos);
  const std::size_t xref = std::stoull(pdf.substr(startxref + 10));
  ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
  std::istringstream table(pdf.substr(xref + 5));
  std::size_t first = 0, count = 0;
  table >> first >> count;
  ASSERT_EQ(count, 2 * kPages + 5);
  std::string line;
  std::getline(table, line);
  std::getline(table, line);  // the free entry
  for (std::size_t n = 1; n < count; ++n) {
    ASSERT_TRUE(std::getline(table, line)) << n;
    const std::size_t at = std::stoull(line.substr(0, 10));
    const std::string head = std::to_string(n) + " 0 obj\n";
    ASSERT_EQ(pdf.compare(at, head.size(), head), 0) << "object " << n;
  }
}

// A failing sink ends the document: the failure is returned, nothing more
// is written.
TEST_F(RenderTest, PdfWriterStopsAtTheFirstFailedWrite) {
  int writes = 0;
  PdfWriter writer([&](std::string_view) {
    ++writes;
    return platform::Status::IoError("disk full");
  });
  PdfPage page;
  ASSERT_TRUE(EncodePage(cp_, LayOut(ParsePrintFile(testing::OneOwnerPrintFile())).pages[0], &page).ok());
  platform::Status s = platform::Status::Ok();
  for (int i = 0; i < 200 && s.ok(); ++i) s = writer.AddPage(page);
  if (s.ok()) s = writer.Finish();
  EXPECT_FALSE(s.ok());
  EXPECT_EQ(writes, 1);
  EXPECT_FALSE(writer.Finish().ok());
}

}  // namespace
}  // namespace zov::tools
