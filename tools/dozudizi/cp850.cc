#include "tools/dozudizi/cp850.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/code_page.h"

namespace zov::tools {
namespace {

// Converts one code page 850 byte; false when the target has no character
// for it.
bool ConvertByte(iconv_t cd, unsigned char byte, std::string* out) {
  char in[1] = {static_cast<char>(byte)};
  char buffer[16];
  char* in_ptr = in;
  std::size_t in_left = 1;
  char* out_ptr = buffer;
  std::size_t out_left = sizeof buffer;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  if (rc == static_cast<std::size_t>(-1) || in_left != 0 || out_ptr == buffer) return false;
  out->assign(buffer, static_cast<std::size_t>(out_ptr - buffer));
  return true;
}

}  // namespace

platform::Status Cp850Text::Init() {
  iconv_t to_ansi = iconv_open("WINDOWS-1252//TRANSLIT", "CP850");
  if (to_ansi == reinterpret_cast<iconv_t>(-1)) {
    return platform::Status::InvalidArgument(std::string("iconv_open WINDOWS-1252 from CP850: ") +
                                             std::strerror(errno));
  }
  const std::array<std::string, 256>& glyphs = platform::Cp850Glyphs();
  for (int b = 0; b < 256; ++b) {
    auto byte = static_cast<unsigned char>(b);
    std::string converted;
    if (b < 0x20 || b == 0x7F) {
      utf8_[byte] = " ";
      win_ansi_[byte] = ' ';
      continue;
    }
    utf8_[byte] = glyphs[byte];
    win_ansi_[byte] = ConvertByte(to_ansi, byte, &converted) && converted.size() == 1 ? converted[0] : '?';
  }
  iconv_close(to_ansi);
  return platform::Status::Ok();
}

std::string Cp850Text::ToUtf8(std::string_view cp850) const {
  std::string out;
  out.reserve(cp850.size());
  for (char c : cp850) out += utf8_[static_cast<unsigned char>(c)];
  return out;
}

std::string Cp850Text::ToWinAnsi(std::string_view cp850) const {
  std::string out(cp850.size(), ' ');
  for (std::size_t i = 0; i < cp850.size(); ++i) out[i] = win_ansi_[static_cast<unsigned char>(cp850[i])];
  return out;
}

std::size_t Cp850Text::CountNotInWinAnsi(std::string_view cp850) const {
  std::size_t n = 0;
  for (char c : cp850) n += c != '?' && win_ansi_[static_cast<unsigned char>(c)] == '?' ? 1 : 0;
  return n;
}

}  // namespace zov::tools
