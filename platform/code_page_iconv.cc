#include <iconv.h>

#include "platform/code_page_system.h"

namespace zov::platform {

void AddUpperCp850Glyphs(std::array<std::string, 256>* glyphs) {
  iconv_t cd = ::iconv_open("UTF-8", "CP850");
  if (cd == reinterpret_cast<iconv_t>(-1)) return;
  for (int b = 128; b < 256; ++b) {
    char in[1] = {static_cast<char>(b)};
    char out[8];
    char* in_p = in;
    char* out_p = out;
    std::size_t in_left = 1, out_left = sizeof out;
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (::iconv(cd, &in_p, &in_left, &out_p, &out_left) != static_cast<std::size_t>(-1) && in_left == 0) {
      (*glyphs)[b].assign(out, static_cast<std::size_t>(out_p - out));
    }
  }
  ::iconv_close(cd);
}

}  // namespace zov::platform
