#include "screen/colour.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/screen/screen_fixture.h"

namespace zov::screen {
namespace {

using ColourTest = ScreenTest;

TEST_F(ColourTest, LettersSelectTheIndexAndTheStackSavesIt) {
  struct Step {
    const char* attributes;
    uint8_t want_index;
    std::string want_stack;
  };
  struct Case {
    const char* label;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"save, reverse, restore", {{"+R", 2, std::string(1, '\0')}, {"-", 0, ""}}},
      {"lower case", {{"n", 1, ""}, {"rn", 3, ""}, {"u", 4, ""}}},
      {"U wins over R and N", {{"RNU", 4, ""}}},
      {"other letters ignored", {{"+rh", 2, std::string(1, '\0')}, {"xyz", 0, std::string(1, '\0')}}},
      {"empty and blank do nothing", {{"N", 1, ""}, {"", 1, ""}, {"   ", 1, ""}}},
      {"restore with nothing saved", {{"R", 2, ""}, {"-", 0, ""}}},
      {"nested saves", {{"N", 1, ""}, {"+R", 2, "\x01"}, {"+U", 4, std::string("\x01\x02", 2)}, {"-", 2, "\x01"},
                        {"-", 1, ""}}},
      {"save and restore at once", {{"RN", 3, ""}, {"+-", 3, ""}}},
  };
  for (const Case& t : cases) {
    ScreenState s;
    for (const Step& step : t.steps) {
      SetColour(console, session, s, step.attributes);
      EXPECT_EQ(s.attribute_index, step.want_index) << t.label << ", \"" << step.attributes << "\"";
      EXPECT_EQ(s.colour_stack, step.want_stack) << t.label << ", \"" << step.attributes << "\"";
      const session::ColourPair& pair = session.colours[s.attribute_index];
      EXPECT_EQ(console.CurrentAttribute(), pair.foreground + 16 * pair.background)
          << t.label << ", \"" << step.attributes << "\"";
    }
  }
}

TEST_F(ColourTest, BlankTextLeavesTheConsoleColoursAlone) {
  console.SetColours(3, 5);
  ScreenState s;
  SetColour(console, session, s, "  ");
  EXPECT_EQ(console.CurrentAttribute(), 3 + 16 * 5);
}

}  // namespace
}  // namespace zov::screen
