#include "register/csv_fields.h"

#include "format/chars.h"
#include "format/dates.h"
#include "format/packed.h"
#include "register/operation_codes.h"

namespace zov::reg {

namespace {

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

std::string PadRight(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

}  // namespace

std::string CsvName(std::string_view name) {
  std::string out;
  out.reserve(40);
  for (char c : name) {
    if (c == '"') continue;
    out += c == ';' ? ',' : c;
  }
  return PadRight(out, 40);
}

std::string CsvYear(std::string_view packed_date) {
  return format::UnpackDigits(packed_date).substr(0, 4);
}

std::string CsvQuarter(std::string_view packed_date) {
  return format::QuarterText(format::DateNumber(packed_date));
}

std::string_view PropertySituation(std::string_view cadastral_reference, std::string_view postal_code) {
  if (format::TrimTrailingBlanks(cadastral_reference).empty()) return "4";
  const std::string_view province = postal_code.substr(0, 2);
  if (province == "01" || province == "20" || province == "48") return "2";
  if (province == "31") return "3";
  return "1";
}

std::array<std::string, kIssuedColumnCount> CsvRowValues(const ReceiptRecord& receipt, const LineAmounts& amounts,
                                                  const PropertyRecord& property,
                                                  const ContractRecord& contract,
                                                  const CadastreRecord& cadastre) {
  const OperationCodes codes =
      LineCodes({contract.ContractKind(), contract.WithholdingFlag()}, CodeRules::kSuiteCsv);
  const std::string_view nif = property.TenantNif();
  std::string number = format::UnpackDigits(receipt.InvoiceNumber());
  number += Blanks(12);
  return {
      CsvYear(receipt.IssueDate()),
      CsvQuarter(receipt.IssueDate()),
      "A",
      "01",
      "8612",
      "F1",
      "I01",
      CsvAmount(amounts.tax_base),
      format::DateSlashText(receipt.IssueDate()),
      Blanks(10),
      Blanks(20),
      std::move(number),
      Blanks(20),
      "02",
      std::string(nif.substr(0, 2)),
      std::string(nif.substr(2)) + Blanks(5),
      CsvName(property.TenantName()),
      std::string(codes.key),
      std::string(codes.qualification),
      PadRight(codes.exemption, 2),
      CsvAmount(InvoiceTotal(receipt, amounts)),
      CsvAmount(amounts.tax_base),
      CsvRate(receipt.VatRate()),
      CsvAmount(receipt.VatAmount()),
      CsvRate(0),
      CsvAmount(0),
      Blanks(10),
      CsvAmount(0),
      Blanks(2),
      Blanks(34),
      CsvRate(receipt.WithholdingRate()),
      CsvAmount(-int64_t{receipt.WithholdingAmount()}),
      Blanks(15),
      std::string(PropertySituation(cadastre.CadastralReference(), cadastre.PostalCode())),
      std::string(cadastre.CadastralReference()),
      Blanks(40),
  };
}

}  // namespace zov::reg
