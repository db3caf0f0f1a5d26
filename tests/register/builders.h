// Builders of the records, packed values and print-file items that the
// register's tests (and the program's end-to-end tests) expect.
#ifndef ZOV_TESTS_REGISTER_BUILDERS_H_
#define ZOV_TESTS_REGISTER_BUILDERS_H_

#include <string>
#include <string_view>

#include "format/packed.h"
#include "register/records.h"

namespace zov::reg {

// Packed digits of a digit text, for building records.
inline std::string P(std::string_view digits) { return format::PackDigits(digits); }

// A print-file column item as the spooler reads it.
inline std::string Num(int n) { return (n < 0 ? "-" : " ") + std::to_string(n < 0 ? -n : n) + " "; }
inline std::string Item(int column, std::string_view text, int advance) {
  return Num(column) + "," + std::string(text) + "," + Num(advance);
}

// Typical records.
inline OwnerRecord Owner(std::string_view code4, std::string_view name, std::string_view flag = "S",
                         std::string_view email = "") {
  OwnerRecord r;
  r.Fill(' ');
  r.SetOwnerCode(P(code4));
  r.SetOwnerName(name);
  r.SetOwnerFlag(flag);
  r.SetOwnerEmail(email);
  return r;
}

inline GroupRecord Group(std::string_view code8, std::string_view name, std::string_view section = "1") {
  GroupRecord r;
  r.Fill(' ');
  r.SetGroupCode(P(code8));
  r.SetGroupName(name);
  r.SetSectionCode(section);
  return r;
}

inline PropertyRecord Property(std::string_view code12, std::string_view tenant, std::string_view nif) {
  PropertyRecord r;
  r.Fill(' ');
  r.SetPropertyCode(P(code12));
  r.SetTenantName(tenant);
  r.SetTenantNif(nif);
  return r;
}

inline ContractRecord Contract(std::string_view code12, std::string_view kind, std::string_view flag) {
  ContractRecord r;
  r.Fill(' ');
  r.SetPropertyCode(P(code12));
  r.SetContractKind(kind);
  r.SetWithholdingFlag(flag);
  return r;
}

inline CadastreRecord Cadastre(std::string_view code12, std::string_view reference, std::string_view postal) {
  CadastreRecord r;
  r.Fill(' ');
  r.SetPropertyCode(P(code12));
  r.SetCadastralReference(reference);
  r.SetPostalCode(postal);
  return r;
}

// A collected receipt of kind "L" shape: base 100000, VAT 21 % 21000,
// withholding 19 % -19000, total 102000.
inline ReceiptRecord Receipt(std::string_view code12, std::string_view date8, std::string_view invoice8) {
  ReceiptRecord r;
  r.SetPropertyCode(P(code12));
  r.SetClassCode(P("0001"));
  r.SetIssueDate(P(date8));
  r.SetPaymentDate(P(date8));
  r.SetTotalAmount(102000);
  r.SetExcludedAmount(0);
  r.SetStatusCode("C");
  r.SetInvoiceNumber(P(invoice8));
  r.SetStoredTaxBase(100000);
  r.SetVatRate(2100);
  r.SetVatAmount(21000);
  r.SetPaidAmount(102000);
  r.SetWithholdingRate(1900);
  r.SetWithholdingAmount(-19000);
  r.SetTrailingCode(P("0101"));
  return r;
}

}  // namespace zov::reg

#endif  // ZOV_TESTS_REGISTER_BUILDERS_H_
