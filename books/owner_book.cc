#include "books/owner_book.h"

#include "format/chars.h"
#include "session/file_names.h"

namespace zov::books {

BookType BookTypeForNif(std::string_view nif, std::vector<Finding>* warnings) {
  const char first = nif.empty() ? ' ' : nif[0];
  if (first == 'E' || first == 'H' || first == 'J') {
    warnings->push_back(Warning("TITULAR", "El NIF " + std::string(nif) +
                                               " es de una entidad sin personalidad jur\xA1" "dica: se genera el "
                                               "libro unificado (T) de sus miembros; confirme si procede el de IVA (C)"));
    return BookType::kUnified;
  }
  if (std::string_view("ABCDFGNPQRSUVW").find(first) != std::string_view::npos) return BookType::kVat;
  return BookType::kUnified;
}

std::string_view IssuedSheetName(BookType t) {
  return t == BookType::kUnified ? "EXPEDIDAS_INGRESOS" : "EXPEDIDAS";
}

std::string_view ReceivedSheetName(BookType t) {
  return t == BookType::kUnified ? "RECIBIDAS_GASTOS" : "RECIBIDAS";
}

std::string OwnerDisplayName(std::string_view stored_name) {
  const std::string_view name = format::TrimBlanks(stored_name);
  const std::size_t star = name.find('*');
  if (star == std::string_view::npos) return std::string(name);
  const std::string_view surnames = format::TrimBlanks(name.substr(0, star));
  const std::string_view given = format::TrimBlanks(name.substr(star + 1));
  if (given.empty()) return std::string(surnames);
  if (surnames.empty()) return std::string(given);
  return std::string(surnames) + ", " + std::string(given);
}

std::string BookFileName(int year, std::string_view nif, BookType type, std::string_view display_name) {
  return std::to_string(year) + std::string(nif) + BookLetter(type) + session::FileNamePart(display_name) + ".xlsx";
}

}  // namespace zov::books
