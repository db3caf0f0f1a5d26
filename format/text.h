// Small text operations shared by the register, the screen and the print
// layer: display order of stored names, centring, choosing, testing for a
// repeated character, and copying into a record buffer.
#ifndef ZOV_FORMAT_TEXT_H_
#define ZOV_FORMAT_TEXT_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zov::format {

// Names are stored as surnames, "*", given names. When the first "*" is not
// the first character the result is the given names, one blank and the
// surnames, each trimmed; the blank is left out when the stored name
// (trailing blanks removed) ends with "'" ("PUIG*JOAN D'" -> "JOAN D'PUIG").
// Otherwise the trimmed name.
std::string NameOrder(std::string_view name);

// (width - text length) / 2, truncated toward zero; negative when the text
// is wider than the field. Clamped to the 16-bit range.
std::int16_t CenterOffset(std::string_view text, std::int16_t width);

// `a` when flag is not 0, else `b`.
std::string Choose(std::int16_t flag, std::string_view a, std::string_view b);

// True when every byte of the text has the value `code` (0..255); true for
// the empty text.
bool IsAllChar(std::string_view text, std::int16_t code);

// Copies the text over the start of the buffer; the bytes after it keep
// their contents. When the text is longer than the buffer nothing is copied
// and the result is false.
[[nodiscard]] bool CopyToBuffer(std::string_view text, std::span<char> buffer);

}  // namespace zov::format

#endif  // ZOV_FORMAT_TEXT_H_
