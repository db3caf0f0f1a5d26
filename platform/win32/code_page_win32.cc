#include <windows.h>

#include "platform/code_page_system.h"
#include "platform/win32/wide.h"

namespace zov::platform {

void AddUpperCp850Glyphs(std::array<std::string, 256>* glyphs) {
  for (int b = 128; b < 256; ++b) {
    const std::wstring wide = Cp850ToWide(std::string(1, static_cast<char>(b)));
    if (wide.size() == 1) (*glyphs)[b] = WideToUtf8(wide);
  }
}

}  // namespace zov::platform
