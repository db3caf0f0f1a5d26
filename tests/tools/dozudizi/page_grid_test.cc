#include "tools/dozudizi/page_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/dozudizi/print_file_builder.h"

namespace zov::tools {
namespace {

using testing::PrintFileBuilder;

Document Lay(const std::string& bytes) { return LayOut(ParsePrintFile(bytes)); }

// The page's lines as text, trailing blanks removed; "" for lines without text.
std::vector<std::string> Lines(const Page& page) {
  std::vector<std::string> out;
  for (const Row& row : page.rows) {
    out.resize(static_cast<std::size_t>(row.index), "");
    std::string t = ComposeRow(row).text;
    t.erase(t.find_last_not_of(' ') + 1);
    out.push_back(t);
  }
  return out;
}

std::string Body(const std::vector<std::string>& item_lines) {
  PrintFileBuilder b;
  b.Page(66);
  for (const std::string& l : item_lines) b.Raw(l);
  return b.bytes();
}

bool Mentions(const Document& doc, int line, const std::string& words) {
  for (const Diagnostic& d : doc.diagnostics) {
    if (d.line == line && d.message.find(words) != std::string::npos) return true;
  }
  return false;
}

TEST(LayOutTest, PlacesItemsOnTheGrid) {
  struct Case {
    std::string name;
    std::vector<std::string> lines;  // print-file lines after "PAGE 66"
    std::vector<std::string> want;
  };
  const std::vector<Case> cases = {
      {"columns are 1-based", {" 1 ,AB, 0 ", " 5 ,CD, 1 "}, {"AB  CD"}},
      {"column 0 continues where the last item ended", {" 3 ,AB, 0 ", " 0 ,CD, 0 ", " 0 ,EF, 1 "}, {"  ABCDEF"}},
      {"a negative column also continues", {" 2 ,AB, 0 ", "-20 ,CD, 1 "}, {" ABCD"}},
      {"column 0 at the start of a line is column 1", {" 0 ,AB, 1 "}, {"AB"}},
      {"advances leave blank lines", {" 1 ,A, 2 ", " 1 ,B, 1 "}, {"A", "", "B"}},
      {"a later item overwrites, blanks included", {" 1 ,ABCDEF, 0 ", " 3 ,x y, 1 "}, {"ABx yF"}},
      {"commas inside the text are kept", {" 2 ,a,b, 1 "}, {" a,b"}},
      {"right justification places padded amounts at their column",
       {"JUSD", " 65 ,       850'00 , 0 ", " 80 ,       178'50-, 1 "},
       {std::string(64, ' ') + "       850'00 " + " " + "       178'50-"}},
      {"centred text stands on its column", {"JUSC", " 10 ,ABCD, 1 "}, {"       ABCD"}},
      {"centring never goes left of column 1", {"JUSC", " 2 ,ABCDEFGH, 1 "}, {"ABCDEFGH"}},
      {"decimal justification aligns the character", {"JUSN 10 \\'\\", " 1 ,12'50, 1 ", "JUSN 10 \\'\\", " 1 ,1234'5, 1 "},
       {"       12'50", "     1234'5"}},
      {"decimal text without the character ends before the column", {"JUSN 10 \\'\\", " 1 ,123, 1 "}, {"      123"}},
      {"justification ends with the print line", {"JUSC", " 10 ,AB, 1 ", " 10 ,AB, 1 "}, {"        AB", "         AB"}},
  };
  for (const Case& c : cases) {
    Document doc = Lay(Body(c.lines));
    EXPECT_TRUE(doc.diagnostics.empty()) << c.name << ": " << doc.diagnostics[0].message;
    ASSERT_EQ(doc.pages.size(), 1u) << c.name;
    EXPECT_EQ(Lines(doc.pages[0]), c.want) << c.name;
  }
}

TEST(LayOutTest, PagesBeginAtPageLinesAndWhenFull) {
  struct Case {
    std::string name;
    std::string file;
    std::vector<std::size_t> rows_per_page;
  };
  const std::vector<Case> cases = {
      {"PAGE starts a page", PrintFileBuilder().Page(66).At(1, "A", 1).Page(66).At(1, "B", 1).bytes(), {1, 1}},
      {"a full page continues on a new one",
       PrintFileBuilder().Page(3).At(1, "A", 1).At(1, "B", 2).At(1, "C", 1).At(1, "D", 1).bytes(), {2, 2}},
      {"an advance past the end ends the page", PrintFileBuilder().Page(3).At(1, "A", 2).At(1, "B", 2).At(1, "C", 0).bytes(), {2, 1}},
      {"PAGE on an empty page leaves no blank sheet", PrintFileBuilder().Page(10).Page(66).At(1, "A", 1).bytes(), {1}},
      {"items before any PAGE get a page", PrintFileBuilder().At(1, "A", 1).bytes(), {1}},
      {"a trailing PAGE adds nothing", PrintFileBuilder().Page(66).At(1, "A", 1).Page(66).bytes(), {1}},
      {"nothing to print", PrintFileBuilder().Page(66).bytes(), {}},
  };
  for (const Case& c : cases) {
    Document doc = Lay(c.file);
    EXPECT_TRUE(doc.diagnostics.empty()) << c.name;
    std::vector<std::size_t> got;
    for (const Page& p : doc.pages) got.push_back(p.rows.size());
    EXPECT_EQ(got, c.rows_per_page) << c.name;
  }
}

TEST(LayOutTest, ControlCodesSwitchBoldUntilQ) {
  Document doc = Lay(PrintFileBuilder()
                         .Page(66)
                         .Control("@e")
                         .At(1, "TITLE", 1)
                         .Control("q")
                         .At(1, "body", 1)
                         .Control("e")
                         .At(1, "GROUP", 1)
                         .Page(66)
                         .At(1, "still", 0)
                         .Control("q")
                         .At(7, "plain", 1)
                         .bytes());
  ASSERT_EQ(doc.pages.size(), 2u);
  auto bold_at = [&](std::size_t page, std::size_t row, std::size_t col) -> bool {
    return ComposeRow(doc.pages[page].rows[row]).bold[col];
  };
  EXPECT_TRUE(bold_at(0, 0, 0));
  EXPECT_FALSE(bold_at(0, 1, 0));
  EXPECT_TRUE(bold_at(0, 2, 0));
  EXPECT_TRUE(bold_at(1, 0, 0)) << "bold holds across the page break";
  EXPECT_FALSE(bold_at(1, 0, 6));
}

TEST(LayOutTest, SendLinesSplitTheOwnersParts) {
  PrintFileBuilder b;
  b.Page(66).At(1, "before any owner", 1);
  b.Send(" anna@exemple.cat ,, ANNA FERR\x90 ").Page(66).At(1, "A1", 1).Page(66).At(1, "A2", 1);
  b.Send(",,JOAN SENSE CORREU").At(1, "J1", 1);  // no PAGE line: the SEND still ends the sheet
  b.Send("nomes@adreca.cat").Page(66).At(1, "N1", 1);
  b.Send("ningu@enlloc.cat,,SENSE PAGINES");
  Document doc = Lay(b.bytes());
  struct Want {
    std::string address, name;
    std::size_t first, count;
  };
  const std::vector<Want> want = {
      {"", "", 0, 1},
      {"anna@exemple.cat", "ANNA FERR\x90", 1, 2},
      {"", "JOAN SENSE CORREU", 3, 1},
      {"nomes@adreca.cat", "", 4, 1},
  };
  ASSERT_EQ(doc.parts.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(doc.parts[i].address, want[i].address) << "part " << i;
    EXPECT_EQ(doc.parts[i].name, want[i].name) << "part " << i;
    EXPECT_EQ(doc.parts[i].first_page, want[i].first) << "part " << i;
    EXPECT_EQ(doc.parts[i].page_count, want[i].count) << "part " << i;
  }
  EXPECT_EQ(doc.pages.size(), 5u);
  EXPECT_TRUE(Mentions(doc, 14, "SEND line without pages")) << "the last SEND has nothing after it";
}

// Hostile numbers must neither allocate without bound nor loop: each is
// clamped or cut, reported with its line, and the rest of the file printed.
TEST(LayOutTest, ClampsAndReportsHostileNumbers) {
  struct Case {
    std::string name;
    std::string line;  // line 3, after "DEVICE" and "PAGE 66"
    std::string words;
  };
  const std::vector<Case> cases = {
      {"huge column", " 99999999999999999999 ,LOST, 1 ", "beyond column 512"},
      {"column just past the limit", " 513 ,LOST, 1 ", "beyond column 512"},
      {"text running past the limit", " 510 ,ABCDEF, 1 ", "3 characters lost"},
      {"huge advance", " 1 ,A, 2147483648 ", "longer than the page"},
      {"negative advance", " 1 ,A,-5 ", "negative line advance"},
      {"page of no lines", "PAGE 0 ", "page length 0 read as 66"},
      {"negative page length", "PAGE-66 ", "read as 66"},
      {"huge page length", "PAGE 99999999999 ", "cut to 250"},
  };
  for (const Case& c : cases) {
    Document doc = Lay(PrintFileBuilder().Page(66).Raw(c.line).At(1, "AFTER", 1).bytes());
    EXPECT_TRUE(Mentions(doc, 3, c.words)) << c.name << ": " << (doc.diagnostics.empty() ? "" : doc.diagnostics[0].message);
    ASSERT_FALSE(doc.pages.empty()) << c.name;
    int width = 0;
    for (const Page& p : doc.pages) {
      EXPECT_LE(p.length, kMaxPageLines) << c.name;
      EXPECT_GE(p.length, 1) << c.name;
      width = std::max(width, PageWidth(p));
    }
    EXPECT_LE(width, kMaxLineWidth) << c.name;
    EXPECT_EQ(Lines(doc.pages.back()).back(), "AFTER") << c.name;
  }
}

TEST(LayOutTest, ManyHugeAdvancesStayCheap) {
  PrintFileBuilder b;
  b.Page(250);
  for (int i = 0; i < 20000; ++i) b.At(400, "x", 1'000'000'000);
  Document doc = Lay(b.bytes());
  EXPECT_EQ(doc.pages.size(), 20000u);
  for (const Page& p : doc.pages) ASSERT_EQ(p.rows.size(), 1u);
}

}  // namespace
}  // namespace zov::tools
