#include "books/vat_return/design_text.h"

#include <array>

#include "format/packed.h"

namespace zov::books::vat {

namespace {

// Code page 850 byte -> ISO-8859-1 byte of the design, 0 for a character the
// design does not admit.
constexpr std::array<unsigned char, 256> MakeDesignChars() {
  std::array<unsigned char, 256> t{};
  t[' '] = ' ';
  for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<unsigned char>(c);
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 'a' + 'A');
  struct Fold {
    unsigned char to;
    std::string_view from;  // code page 850 bytes
  };
  constexpr Fold kFolds[] = {
      {0xD1, "\xA4\xA5"},                                  // n-tilde
      {0xC7, "\x80\x87"},                                  // c-cedilla
      {'A', "\xA0\x85\x83\x84\xC6\x86\xB5\xB7\xB6\x8E\xC7\x8F"},  // a with an accent
      {'E', "\x82\x8A\x88\x89\x90\xD4\xD2\xD3"},
      {'I', "\xA1\x8D\x8C\x8B\xD6\xDE\xD7\xD8\xD5"},
      {'O', "\xA2\x95\x93\x94\xE4\xE0\xE3\xE2\x99\xE5"},
      {'U', "\xA3\x97\x96\x81\xE9\xEB\xEA\x9A"},
      {'Y', "\xEC\xED\x98"},
  };
  for (const Fold& f : kFolds)
    for (char c : f.from) t[static_cast<unsigned char>(c)] = f.to;
  return t;
}

constexpr std::array<unsigned char, 256> kDesignChars = MakeDesignChars();

}  // namespace

std::string DesignText(std::string_view cp850, int* blanked) {
  std::string out(cp850.size(), ' ');
  for (std::size_t i = 0; i < cp850.size(); ++i) {
    const unsigned char c = kDesignChars[static_cast<unsigned char>(cp850[i])];
    if (c == 0) {
      ++*blanked;
    } else {
      out[i] = static_cast<char>(c);
    }
  }
  return out;
}

bool FieldNumber(const Field& field, int64_t value, std::string* out) {
  const bool negative = value < 0;
  if (negative && field.type != FieldType::kSigned) return false;
  const int digits = negative ? field.length - 1 : field.length;
  if (digits <= 0 || digits > 18) return false;
  uint64_t limit = 1;
  for (int i = 0; i < digits; ++i) limit *= 10;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  if (magnitude >= limit) return false;
  *out = (negative ? "N" : "") + format::ZeroPad(value, static_cast<int16_t>(digits));
  return true;
}

}  // namespace zov::books::vat
