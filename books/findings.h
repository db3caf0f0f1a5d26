// What the book's checks find: a rule, a severity and a message for the
// validation report. Errors are rows the tax agency would refuse (the book
// is marked invalid); warnings are choices our data cannot decide.
//
//   out->push_back(Error("V21", "La cuota ..."));  // message "V21: La cuota ..."
//
// Rules are the agency's numbered validations ("V2" .. "V40") or, for checks
// that carry no number there, our own names: NUMERO (an invoice number used
// twice), PERIODO (a date outside the book's period), FICHERO (the import's
// size limit), TITULAR (the owner's own NIF). Messages are Spanish, in code
// page 850, and begin with the rule.
#ifndef ZOV_BOOKS_FINDINGS_H_
#define ZOV_BOOKS_FINDINGS_H_

#include <string>
#include <string_view>

namespace zov::books {

enum class Severity { kError, kWarning };

struct Finding {
  std::string_view rule;  // a literal
  Severity severity = Severity::kError;
  std::string message;
  // Which row of the register line it concerns: 0 the line's first row, 1
  // its exempt part; -1 the line or the owner as a whole.
  int row = -1;
};

inline Finding MakeFinding(std::string_view rule, Severity severity, std::string_view text, int row = -1) {
  std::string message(rule);
  message += ": ";
  message += text;
  return Finding{rule, severity, std::move(message), row};
}
inline Finding Error(std::string_view rule, std::string_view text, int row = -1) {
  return MakeFinding(rule, Severity::kError, text, row);
}
inline Finding Warning(std::string_view rule, std::string_view text, int row = -1) {
  return MakeFinding(rule, Severity::kWarning, text, row);
}

inline std::string_view SeverityName(Severity s) { return s == Severity::kError ? "error" : "warning"; }

}  // namespace zov::books

#endif  // ZOV_BOOKS_FINDINGS_H_
