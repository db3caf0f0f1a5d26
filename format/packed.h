// Packed digits: decimal digits stored two per byte as the pair's value plus
// 128, so packed keys and dates never hold NUL or blanks and compare bytewise
// in numeric order. A packed date is the four bytes of "YYYYMMDD"; four bytes
// of 128 are the zero date (no date).
//
//   PackDigits("20060405")   -> "\x94\x86\x84\x85"
//   UnpackDigits("\x94\x86") -> "2006"
#ifndef ZOV_FORMAT_PACKED_H_
#define ZOV_FORMAT_PACKED_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace zov::format {

// (digits.size() + 1) / 2 bytes. The digits are first right-aligned within
// their own length (leading and trailing blanks trimmed, "0" padded on the
// left); a remaining blank, a non-digit or the missing partner of an odd
// last digit counts as 0.
std::string PackDigits(std::string_view digits);

// Two digits per byte: the byte with its high bit cleared, modulo 100, so
// any byte (even one below 128) gives two digits.
std::string UnpackDigits(std::string_view packed);

// The decimal digits of |value|, left-padded with "0" to `width`; when
// longer only the rightmost `width` digits remain. A width of 0 or less
// gives an empty text.
std::string ZeroPad(std::int64_t value, std::int16_t width);

}  // namespace zov::format

#endif  // ZOV_FORMAT_PACKED_H_
