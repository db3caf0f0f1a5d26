#include "register/layout.h"

#include <climits>

#include "gtest/gtest.h"
#include "register/register_consumers.h"
#include "tests/register/harness.h"

namespace zov::reg {
namespace {

const std::string kPage = "PAGE 66 ";

struct Layout {
  Harness h;
  Layout() {
    h.records.owner = Owner("0001", "PUIG*JOAN", "S", "joan@example.com");
    h.records.group = Group("00010001", "CARRER MAJOR");
    h.records.property = Property("000100010001", "GARCIA LOPEZ, MARIA", "ES12345678Z");
    h.records.receipt = Receipt("000100010001", "20260315", "00001234");
    h.records.contract = Contract("000100010001", "L", "S");
    h.OpenPrint();
    output::StartPage(h.print, kPageLength);
  }
  // The page line written by the set-up is dropped.
  std::vector<std::string> Lines() {
    auto lines = h.PrintLines();
    EXPECT_EQ(lines.at(0), kPage);
    lines.erase(lines.begin());
    return lines;
  }
};

TEST(LayoutTest, RegisterLineAtSixtyStaysAtSixtyOneStartsAPage) {
  for (int counter : {60, 61}) {
    SCOPED_TRACE(counter);
    Layout t;
    t.h.state.page_counter = 1;
    t.h.state.group_started = t.h.state.property_started = true;
    t.h.print.line_counter = static_cast<int16_t>(counter);
    PrintLine(t.h.ctx, ComputeLine(t.h.records.receipt, t.h.records.contract.ContractKind()));
    const auto lines = t.Lines();
    if (counter == 60) {
      EXPECT_EQ(lines.at(0), Item(45, "00001234", 0));
      EXPECT_EQ(t.h.print.line_counter, 61);
    } else {
      EXPECT_EQ(lines.at(0), kPage);
      EXPECT_EQ(lines.at(1), "*@e");
      EXPECT_EQ(t.h.state.page_counter, 2);
      EXPECT_EQ(t.h.print.line_counter, 8);
    }
  }
}

TEST(LayoutTest, GroupHeadingPastFiftySixStartsAPage) {
  struct Case {
    int counter;
    bool first_group;
    std::vector<std::string> start;
  } cases[] = {
      {56, true, {"*e", Item(1, "1.1 CARRER MAJOR", 2), "*q"}},
      {56, false, {Item(0, "", 1), kPage, "*@e"}},
      {55, false, {Item(0, "", 1), "*e"}},
      {57, true, {kPage, "*@e"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.counter << (c.first_group ? " first" : " later"));
    Layout t;
    t.h.state.page_counter = 1;
    t.h.state.first_group_of_owner = c.first_group;
    t.h.print.line_counter = static_cast<int16_t>(c.counter);
    GroupHeading(t.h.ctx);
    EXPECT_TRUE(t.h.state.group_started);
    EXPECT_FALSE(t.h.state.first_group_of_owner);
    const auto lines = t.Lines();
    ASSERT_GE(lines.size(), c.start.size());
    for (std::size_t i = 0; i < c.start.size(); ++i) EXPECT_EQ(lines[i], c.start[i]) << i;
  }
}

TEST(LayoutTest, TotalsThresholdsAndOneLabel) {
  // Three rates. The dashes advance one line; the label starts a page past
  // 58, each rate line past 59.
  struct Case {
    int counter;
    int pages_before_label, pages;
  } cases[] = {{56, 0, 0}, {57, 0, 1}, {58, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.counter);
    Layout t;
    t.h.state.page_counter = 1;
    t.h.state.summary.Add(2100, 0, 100000, 21000, -19000);
    t.h.state.summary.Add(1000, 5, 1000, 100, 0);
    t.h.state.summary.Add(0, 7, 0, 0, 0);
    t.h.print.line_counter = static_cast<int16_t>(c.counter);
    OwnerTotals(t.h.ctx);
    EXPECT_EQ(t.h.state.page_counter, 0);
    const auto lines = t.Lines();
    int label = 0, pages = 0, pages_before_label = 0, totals = 0;
    std::vector<std::string> rates;
    for (const auto& l : lines) {
      if (l == Item(45, "TOTAL ", 0)) ++label;
      if (l == kPage) {
        ++pages;
        if (label == 0) ++pages_before_label;
      }
      if (label == 1 && l.rfind(Num(95) + ",", 0) == 0 && l != Item(95, "TIPUS", 0)) rates.push_back(l);
      if (l == Item(45, std::string(90, '='), 1)) ++totals;
    }
    EXPECT_EQ(label, 1);
    EXPECT_EQ(totals, 1);
    EXPECT_EQ(rates, (std::vector<std::string>{Item(95, "21'00", 0), Item(95, "10'00", 0), Item(95, " 0'00", 0)}));
    EXPECT_EQ(pages_before_label, c.pages_before_label);
    EXPECT_EQ(pages, c.pages);
  }
}

TEST(LayoutTest, HandOffLineOnlyOnFirstPage) {
  struct Case {
    std::string email;
    bool mail;
    std::string send;
  } cases[] = {
      {"joan@example.com", true, "SENDjoan@example.com,,JOAN PUIG"},
      {"", false, "SEND,,JOAN PUIG"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.email);
    Layout t;
    t.h.records.owner.SetOwnerEmail(c.email);
    PageHeading(t.h.ctx);
    PageHeading(t.h.ctx);
    EXPECT_EQ(t.h.state.mail_requested, c.mail);
    const auto lines = t.Lines();
    int sends = 0;
    for (const auto& l : lines) sends += l.rfind("SEND", 0) == 0;
    EXPECT_EQ(sends, 1);
    EXPECT_EQ(lines.at(0), c.send);
    EXPECT_EQ(lines.at(5), Item(85, "P\xB7GINA    1", 2));
  }
}

TEST(LayoutTest, PageNumberBeyondFourDigits) {
  Layout t;
  Harness& h = t.h;
  h.state.page_counter = 9999;
  PageHeading(h.ctx);
  const auto lines = t.Lines();
  EXPECT_EQ(lines.at(4), Item(85, "P\xB7GINA !!!!", 2));
}

// Sums past 32 bits print as the number they are (or the mask's overflow
// form when even that does not fit), never as a wrapped figure.
TEST(LayoutTest, SixtyFourBitSumsPrintWithoutWrapping) {
  struct Case {
    int lines;
    std::string base;
  } cases[] = {
      {1, "21.474.836'47 "},
      {3, "64.424.509'41 "},
      {6, "  128849018'82"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    Layout t;
    t.h.state.page_counter = 1;
    for (int i = 0; i < c.lines; ++i) t.h.state.summary.Add(2100, 0, INT32_MAX, 0, 0);
    OwnerTotals(t.h.ctx);
    const auto lines = t.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), Item(80, c.base, 0)), lines.end());
  }
}

TEST(LayoutTest, SpanishHeadingsComeFromTheLanguageFile) {
  Layout t;
  Harness& h = t.h;
  ASSERT_TRUE(h.fs->CreateDirectory(h.fake.root() + "LOCALE").ok());
  ASSERT_TRUE(h.fs->WriteFile(h.fake.root() + "LOCALE/DAZOROV1.LNG",
                              "CODI,CODI,CODI,CODIGO\r\n"
                              "\"P\xB7GINA \",\"P\xB5GINA \",\"PAGINA \",\"P\xB5GINA \"\r\n"
                              "TOTAL ,TOTAL ,TOTAU ,SUMA \r\n")
                  .ok());
  h.session.language = "SPA";
  h.state.page_counter = 0;
  PageHeading(h.ctx);
  h.state.summary.Add(2100, 0, 1, 1, 0);
  OwnerTotals(h.ctx);
  const auto lines = t.Lines();
  auto has = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };
  EXPECT_TRUE(has(Item(1, "CODIGO", 0)));
  EXPECT_TRUE(has(Item(16, "CLIENT", 0)));  // not in the file: Catalan
  EXPECT_TRUE(has(Item(85, "P\xB5GINA    1", 2)));
  EXPECT_TRUE(has(Item(45, "SUMA ", 0)));
}

}  // namespace
}  // namespace zov::reg
