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
// An owner gets an output of its own (a book, a return) only with a NIF of
// the file that is valid and no other owner's: OwnerNif says which, or why
// not.
//
//   OwnerNifs nifs;
//   Status s = ParseOwnerNifs(text, "owners-nif.csv", &nifs);
//   // s.message(): "owners-nif.csv, line 7: ..."
//   std::optional<Finding> refused = OwnerNif(nifs, "0001", "owners-nif.csv", kBookWords, &nif);
#ifndef ZOV_BOOKS_NIF_FILE_H_
#define ZOV_BOOKS_NIF_FILE_H_

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "books/findings.h"
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

// How the messages of OwnerNif name the owner's output (code page 850).
struct OwnOutputWords {
  std::string_view its;        // "su libro"
  std::string_view only_one;   // "un titular lleva un solo libro"
};
inline constexpr OwnOutputWords kBookWords = {"su libro", "un titular lleva un solo libro"};

// The owner's NIF in *nif (empty when the file has none), and nullopt when
// the owner may have an output of its own; otherwise the TITULAR error that
// says why not: no NIF in the file (`file_name` names it), an invalid one
// (format/tax_ids.h), or one that another owner has too.
std::optional<Finding> OwnerNif(const OwnerNifs& nifs, std::string_view owner_code, std::string_view file_name,
                                const OwnOutputWords& words, std::string* nif);

}  // namespace zov::books

#endif  // ZOV_BOOKS_NIF_FILE_H_
