// The fields of the tax-agency CSV file of issued invoices: the 36 columns
// of the agency's design (issued_invoice_design.h), many of fixed width with
// blanks, and the number forms of its amounts and rates.
//
//   CsvAmount(-1205) -> "        -12,05"   (15 characters)
//   CsvRate(2100)    -> "  21,00"          (7 characters)
#ifndef ZOV_REGISTER_CSV_FIELDS_H_
#define ZOV_REGISTER_CSV_FIELDS_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "format/number_field.h"
#include "register/issued_invoice_design.h"
#include "register/line.h"
#include "register/records.h"

namespace zov::reg {

inline constexpr std::string_view kCsvFormatSpec = ";crlf";
inline constexpr std::string_view kCsvExtension = ".CSV";

// Amounts in hundredths: 15 characters (format::HundredthsText).
inline std::string CsvAmount(int64_t hundredths) { return format::HundredthsText(hundredths, 12); }
// Rates in hundredths of a percent: 7 characters.
inline std::string CsvRate(int64_t hundredths) { return format::HundredthsText(hundredths, 4); }

// ";" becomes ",", double quotes are dropped, then blank-padded or cut to 40.
std::string CsvName(std::string_view name);

// Year and quarter ("1T".."4T") of a packed date.
std::string CsvYear(std::string_view packed_date);
std::string CsvQuarter(std::string_view packed_date);

// "4" without a cadastral reference; else "2" for postal codes beginning with
// 01, 20 or 48, "3" for 31, "1" for the rest.
std::string_view PropertySituation(std::string_view cadastral_reference, std::string_view postal_code);

// The 36 values of one register line's row, from the line's amounts and the
// current receipt, property, contract and cadastral records. Its codes are
// the suite's own (CodeRules::kSuiteCsv, operation_codes.h).
std::array<std::string, kIssuedColumnCount> CsvRowValues(const ReceiptRecord& receipt, const LineAmounts& amounts,
                                                  const PropertyRecord& property,
                                                  const ContractRecord& contract,
                                                  const CadastreRecord& cadastre);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_CSV_FIELDS_H_
