// The agency's file of owners' NIFs: one "owner code;NIF" line per owner
// (the code as 1 to 4 digits, blanks around either field allowed, the NIF
// taken in upper case; a value longer than kNifKeptBytes, which no NIF is,
// is kept as its first kNifKeptBytes and output::kCutMark, so that a huge
// value costs no memory beyond the file's text and cannot be mistaken for a
// NIF). Blank lines and lines starting with "#" are skipped.
// Any other line that is not of that shape, and an owner named twice, make
// the whole file unreadable: its NIFs decide whose books are written, so a
// half-read file must not be used.
//
//   OwnerNifs nifs;
//   Status s = ParseOwnerNifs(text, "owners-nif.csv", &nifs);
//   // s.message(): "owners-nif.csv, line 7: ..."
#ifndef ZOV_BOOKS_NIF_FILE_H_
#define ZOV_BOOKS_NIF_FILE_H_

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace zov::books {

inline constexpr std::size_t kNifKeptBytes = 20;

struct OwnerNifs {
  // By the owner's 4-digit code.
  std::map<std::string, std::string, std::less<>> nif_of;
  // Owners whose NIF is given to another owner too, with that owner's code
  // (a taxpayer has one book, so neither owner's is right alone).
  std::map<std::string, std::string, std::less<>> shared_with;
};

// `name` is used in messages. Replaces *nifs.
[[nodiscard]] platform::Status ParseOwnerNifs(std::string_view text, std::string_view name, OwnerNifs* nifs);

}  // namespace zov::books

#endif  // ZOV_BOOKS_NIF_FILE_H_
