#include "register/operation_codes.h"

namespace zov::reg {

OperationCodes LineCodes(const LineFacts& line, CodeRules rules) {
  const std::string_view kind = line.contract_kind;
  const bool premises = kind == "L";
  const bool outside_vat = kind == "C";
  if (rules == CodeRules::kSuiteCsv) {
    if (outside_vat) return {"08", "S1", ""};
    if (premises) return {line.withholding_flag == "S" ? "11" : "12", "S1", ""};
    return {"01", "N1", "E1"};
  }
  if (outside_vat) return {"08", "N2", ""};
  if (line.exempt_part) return {"01", "", "E1"};
  if (premises) return {line.withheld != 0 ? "11" : "12", "S1", ""};
  if (line.vat_amount != 0) return {"01", "S1", ""};
  return {"01", "", "E1"};
}

}  // namespace zov::reg
