// What the checks of a VAT return find: the box (or field) concerned, a
// rule, a severity and a message for the validation report. Errors make the
// return invalid (the agency would refuse it, or it would declare a wrong
// figure); warnings are readings our data cannot confirm.
//
//   out->push_back(VatError("09", "CUOTA", "La cuota ..."));  // "CUOTA: La cuota ..."
//
// Messages are Spanish, in code page 850, and begin with the rule.
#ifndef ZOV_BOOKS_VAT_RETURN_FINDINGS_H_
#define ZOV_BOOKS_VAT_RETURN_FINDINGS_H_

#include <string>
#include <string_view>

namespace zov::books::vat {

enum class Severity { kError, kWarning };

struct VatFinding {
  std::string box;        // a box number, a field name, or empty for the return as a whole
  std::string_view rule;  // a literal
  Severity severity = Severity::kError;
  std::string message;
};

inline VatFinding MakeVatFinding(std::string_view box, std::string_view rule, Severity severity,
                                 std::string_view text) {
  std::string message(rule);
  message += ": ";
  message += text;
  return VatFinding{std::string(box), rule, severity, std::move(message)};
}
inline VatFinding VatError(std::string_view box, std::string_view rule, std::string_view text) {
  return MakeVatFinding(box, rule, Severity::kError, text);
}
inline VatFinding VatWarning(std::string_view box, std::string_view rule, std::string_view text) {
  return MakeVatFinding(box, rule, Severity::kWarning, text);
}

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_FINDINGS_H_
