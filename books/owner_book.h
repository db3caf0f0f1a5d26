// The owner's book as a whole: which kind of book the owner's NIF calls
// for, the names of its two sheets, and its file name.
//
//   BookTypeForNif("B08222341", &w)                    -> BookType::kVat
//   BookFileName(2026, "B08222341", kVat, "PATRIMONIAL MATARO SA")
//                                   -> "2026B08222341CPATRIMONIAL MATARO SA.xlsx"
#ifndef ZOV_BOOKS_OWNER_BOOK_H_
#define ZOV_BOOKS_OWNER_BOOK_H_

#include <string>
#include <string_view>
#include <vector>

#include "books/findings.h"

namespace zov::books {

// T: the unified book of an individual (IRPF and VAT); C: the VAT book of a
// legal entity.
enum class BookType : char { kUnified = 'T', kVat = 'C' };

inline char BookLetter(BookType t) { return static_cast<char>(t); }

// From the NIF's first character: a digit, X/Y/Z and K/L/M are individuals
// (T); A-D, F, G, N, P-S, U-W legal entities (C). E, H and J (entities
// without legal personality whose income goes to their members) get T with
// a warning. `nif` must be a valid NIF.
BookType BookTypeForNif(std::string_view nif, std::vector<Finding>* warnings);

// Issued sheet first, received second.
std::string_view IssuedSheetName(BookType t);
std::string_view ReceivedSheetName(BookType t);

// The owner's name as the book shows it: the stored "SURNAMES*GIVEN NAMES"
// as "SURNAMES, GIVEN NAMES", blanks trimmed (code page 850).
std::string OwnerDisplayName(std::string_view stored_name);

// Year, NIF, book letter and display name, without separators, and
// ".xlsx"; the name as a file name's part (session::FileNamePart: accents
// kept, the characters no system takes dropped), code page 850.
std::string BookFileName(int year, std::string_view nif, BookType type, std::string_view display_name);

}  // namespace zov::books

#endif  // ZOV_BOOKS_OWNER_BOOK_H_
