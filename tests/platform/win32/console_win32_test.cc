// The Win32 console without a console window (standard handles redirected,
// as under ctest): the cells are kept, nothing is drawn, no key is ever
// waited for.
#include <gtest/gtest.h>

#include <memory>

#include "platform/win32/win32_console.h"

namespace zov::platform {
namespace {

TEST(Win32ConsoleTest, WithoutAConsoleNothingWaitsAndTheCellsAreKept) {
  std::unique_ptr<Console> c = NewWin32Console();
  EXPECT_FALSE(c->CanWaitForKey());
  EXPECT_EQ(c->PollKey(), "");
  EXPECT_EQ(c->ScreenRows(), 25);
  EXPECT_EQ(c->ScreenColumns(), 80);
  c->HideCursor();
  c->SetColours(15, 4);
  c->MoveCursor(25, 79);
  c->WriteText("\xC9\xCD\x01");  // frame corner, line, smiley: the third is dropped past the last cell
  EXPECT_EQ(c->ReadCell(25, 79).character, 0xC9);
  EXPECT_EQ(c->ReadCell(25, 80).character, 0xCD);
  EXPECT_EQ(c->ReadCell(25, 80).attribute, 15 + 16 * 4);
  EXPECT_EQ(c->ReadCell(1, 1).character, ' ');
  c->Beep();
  c->Restore();
  c->Restore();
}

}  // namespace
}  // namespace zov::platform
