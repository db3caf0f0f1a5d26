// The codes the tax agency's record design gives a register line: its
// operation key (column R), its qualification (S) and its exemption (T).
// Two sets of rules give them, one named for each reader:
//
//   LineCodes({.contract_kind = "L", .withheld = 19000}, CodeRules::kAgency)
//       -> {"11", "S1", ""}
//   LineCodes({.contract_kind = "V"}, CodeRules::kSuiteCsv) -> {"01", "N1", "E1"}
#ifndef ZOV_REGISTER_OPERATION_CODES_H_
#define ZOV_REGISTER_OPERATION_CODES_H_

#include <cstdint>
#include <string_view>

namespace zov::reg {

struct OperationCodes {
  std::string_view key;            // "01", "08", "11" or "12"
  std::string_view qualification;  // "S1", "N1", "N2", or "" for none
  std::string_view exemption;      // "E1", or "" for none
};

enum class CodeRules {
  // The agency's rules, which its import checks and the record books follow.
  // A line carries a qualification or an exemption, never both:
  //   kind L (business premises)  key 11 when an amount is withheld, else 12; S1
  //   kind C (IGIC/IPSI area)     key 08; N2
  //   other kinds                 key 01; S1 with VAT, else exempt E1 (a let
  //                               dwelling)
  //   the exempt part of an invoice, on a line of its own:
  //                               key 01 and E1; for kind C key 08 and N2
  kAgency,
  // The suite's CSV file as it has always been written: kinds L and C carry
  // S1, every other kind N1 and E1 together, and kind L takes key 11 or 12
  // from the contract's withholding flag, not from the amount. The agency's
  // import would refuse a line with a qualification and an exemption, but
  // the suite and the agencies' own tools read this CSV as it is, so its
  // codes are kept; what goes to the agency is the books' (kAgency).
  kSuiteCsv,
};

// What decides a line's codes. Only contract_kind and withholding_flag count
// for kSuiteCsv.
struct LineFacts {
  std::string_view contract_kind;     // "L", "C", or another kind
  std::string_view withholding_flag;  // the contract's: "S" withholds
  int64_t vat_amount = 0;             // the receipt's VAT, hundredths
  int64_t withheld = 0;               // the amount withheld, hundredths (any sign)
  bool exempt_part = false;           // the line of the invoice's exempt amount
};

OperationCodes LineCodes(const LineFacts& line, CodeRules rules);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_OPERATION_CODES_H_
