#include "platform/code_page.h"

namespace zov::platform {
namespace {

// The characters of bytes 128 to 255.
constexpr char16_t kUpperHalf[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// The glyphs a text console shows for the control bytes 0-31.
constexpr char16_t kControlGlyphs[32] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};
constexpr char16_t kDeleteGlyph = 0x2302;

std::array<std::string, 256> BuildGlyphs() {
  std::array<std::string, 256> glyphs;
  for (int b = 0; b < 256; ++b) {
    char32_t c = Cp850CodePoint(static_cast<unsigned char>(b));
    if (b < 32) c = kControlGlyphs[b];
    if (b == 127) c = kDeleteGlyph;
    AppendUtf8(c, &glyphs[static_cast<std::size_t>(b)]);
  }
  return glyphs;
}

}  // namespace

char16_t Cp850CodePoint(unsigned char byte) { return byte < 128 ? char16_t{byte} : kUpperHalf[byte - 128]; }

bool CodePointToCp850(char32_t code_point, char* byte) {
  if (code_point < 128) {
    *byte = static_cast<char>(code_point);
    return true;
  }
  for (int i = 0; i < 128; ++i) {
    if (kUpperHalf[i] == code_point) {
      *byte = static_cast<char>(128 + i);
      return true;
    }
  }
  return false;
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

int Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  return 1;
}

bool DecodeUtf8(std::string_view text, char32_t* code_point, std::size_t* length) {
  *length = 1;
  if (text.empty()) return false;
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) {
    *code_point = lead;
    return true;
  }
  const auto n = static_cast<std::size_t>(Utf8SequenceLength(lead));
  if (n == 1 || text.size() < n) return false;
  char32_t c = lead & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(text[k]);
    if ((b & 0xC0) != 0x80) return false;
    c = (c << 6) | (b & 0x3F);
  }
  // The shortest form only, no surrogates, nothing beyond U+10FFFF.
  const char32_t least = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
  if (c < least || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return false;
  *code_point = c;
  *length = n;
  return true;
}

std::string Cp850ToUtf8Exact(std::string_view cp850) {
  std::string out;
  out.reserve(cp850.size());
  for (char c : cp850) AppendUtf8(Cp850CodePoint(static_cast<unsigned char>(c)), &out);
  return out;
}

bool Utf8ToCp850Exact(std::string_view utf8, std::string* cp850) {
  cp850->clear();
  cp850->reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t c = 0;
    std::size_t n = 1;
    char byte = 0;
    if (!DecodeUtf8(utf8.substr(i), &c, &n) || !CodePointToCp850(c, &byte)) return false;
    *cp850 += byte;
    i += n;
  }
  return true;
}

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

std::string Cp850ToUtf8Lines(std::string_view cp850) {
  const auto& glyphs = Cp850Glyphs();
  std::string out;
  out.reserve(cp850.size());
  for (char c : cp850) {
    if (c == '\t' || c == '\n' || c == '\r') {
      out += c;
    } else {
      out += glyphs[static_cast<unsigned char>(c)];
    }
  }
  return out;
}

std::string NotInCodePage850(std::string_view what, std::string_view shown) {
  return std::string(what) + " holds characters code page 850 lacks (shown as ?): " + std::string(shown);
}

std::string Utf8ToCp850(std::string_view utf8) {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t c = 0;
    std::size_t n = 1;
    char byte = '?';
    if (DecodeUtf8(utf8.substr(i), &c, &n) && !CodePointToCp850(c, &byte)) byte = '?';
    out += byte;
    i += n;
  }
  return out;
}

}  // namespace zov::platform
