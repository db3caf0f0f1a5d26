#include "platform/code_page.h"

#include <map>

#include "platform/code_page_system.h"

namespace zov::platform {
namespace {

// The glyphs a text console shows for the control bytes 0-31.
constexpr const char* kControlGlyphs[32] = {
    " ",      "\u263A", "\u263B", "\u2665", "\u2666", "\u2663", "\u2660", "\u2022",
    "\u25D8", "\u25CB", "\u25D9", "\u2642", "\u2640", "\u266A", "\u266B", "\u263C",
    "\u25BA", "\u25C4", "\u2195", "\u203C", "\u00B6", "\u00A7", "\u25AC", "\u21A8",
    "\u2191", "\u2193", "\u2192", "\u2190", "\u221F", "\u2194", "\u25B2", "\u25BC",
};
constexpr const char* kDeleteGlyph = "\u2302";

std::array<std::string, 256> BuildGlyphs() {
  std::array<std::string, 256> glyphs;
  for (int b = 0; b < 32; ++b) glyphs[b] = kControlGlyphs[b];
  for (int b = 32; b < 127; ++b) glyphs[b] = std::string(1, static_cast<char>(b));
  glyphs[127] = kDeleteGlyph;
  for (int b = 128; b < 256; ++b) glyphs[b] = "?";
  AddUpperCp850Glyphs(&glyphs);
  return glyphs;
}

// UTF-8 of each byte above 127, back to the byte.
std::map<std::string, char, std::less<>> BuildReverse() {
  std::map<std::string, char, std::less<>> reverse;
  const auto& glyphs = Cp850Glyphs();
  for (int b = 128; b < 256; ++b) {
    if (glyphs[b] != "?") reverse.emplace(glyphs[b], static_cast<char>(b));
  }
  return reverse;
}

}  // namespace

const std::array<std::string, 256>& Cp850Glyphs() {
  static const std::array<std::string, 256> glyphs = BuildGlyphs();
  return glyphs;
}

std::string Cp850ToUtf8(std::string_view cp850) {
  const auto& glyphs = Cp850Glyphs();
  std::string out;
  out.reserve(cp850.size());
  for (char c : cp850) out += glyphs[static_cast<unsigned char>(c)];
  return out;
}

int Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  return 1;
}

std::string Utf8ToCp850(std::string_view utf8) {
  static const auto reverse = BuildReverse();
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    unsigned char lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    std::size_t n = static_cast<std::size_t>(Utf8SequenceLength(lead));
    if (n == 1 || i + n > utf8.size()) {
      out += '?';
      ++i;
      continue;
    }
    bool well_formed = true;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80) well_formed = false;
    }
    if (!well_formed) {
      out += '?';
      ++i;
      continue;
    }
    auto it = reverse.find(utf8.substr(i, n));
    out += it == reverse.end() ? '?' : it->second;
    i += n;
  }
  return out;
}

}  // namespace zov::platform
