#include "register/csv_fields.h"

#include <charconv>

#include "format/chars.h"
#include "format/dates.h"
#include "format/packed.h"

namespace zov::reg {

const std::array<std::string_view, kCsvColumns> kCsvHeaders = {
    "Ejercicio",
    "Periodo",
    "Codigo",
    "Tipo",
    "Grupo o Epigrafe del IAE",
    "Tipo de Factura",
    "Concepto de Ingreso",
    "Ingreso Computable",
    "Fecha Expedicion",
    "Fecha Operacion",
    "Serie",
    "Numero",
    "Numero-Final",
    "Tipo",
    "Codigo Pais",
    "Identificacion",
    "Nombre Destinatario",
    "Clave de Operacion",
    "Calificacion de la Operacion",
    "Operacion Exenta",
    "Total Factura",
    "Base Imponible",
    "Tipo de IVA",
    "Cuota IVA Repercutida",
    "Tipo de Recargo Eq.",
    "Cuota Recargo Eq.",
    "Fecha",
    "Importe",
    "Medio Utilizado",
    "Identificacion Medio Utilizado",
    "Tipo Retencion del IRPF",
    "Importe Retenido del IRPF",
    "Registro Acuerdo Facturacion",
    "Situacion",
    "Referencia Catastral",
    "Referencia Externa",
};

namespace {

std::string Digits(uint64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

std::string PadRight(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

}  // namespace

std::string CsvNumber(int64_t hundredths, std::size_t whole_width) {
  // The magnitude as unsigned, so even the most negative value has one.
  const uint64_t magnitude =
      hundredths < 0 ? uint64_t{0} - static_cast<uint64_t>(hundredths) : static_cast<uint64_t>(hundredths);
  std::string whole = Digits(magnitude / 100);
  if (hundredths < 0) whole.insert(0, 1, '-');
  std::string out;
  if (whole.size() < whole_width) out.assign(whole_width - whole.size(), ' ');
  out += whole;
  out += ',';
  const auto cents = static_cast<char>(magnitude % 100);
  out += static_cast<char>('0' + cents / 10);
  out += static_cast<char>('0' + cents % 10);
  return out;
}

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
  const std::string digits = format::UnpackDigits(packed_date);
  int month = 0;
  if (digits.size() >= 6) month = (digits[4] - '0') * 10 + (digits[5] - '0');
  const int quarter = (month - 1) / 3 + 1;  // truncated: month 0 gives 1
  return Digits(static_cast<uint64_t>(quarter)) + "T";
}

std::string_view OperationKey(std::string_view contract_kind, std::string_view withholding_flag) {
  if (contract_kind == "C") return "08";
  if (contract_kind == "L") return withholding_flag == "S" ? "11" : "12";
  return "01";
}

std::string_view OperationQualification(std::string_view contract_kind) {
  return contract_kind == "L" || contract_kind == "C" ? "S1" : "N1";
}

std::string_view OperationExemption(std::string_view contract_kind) {
  return contract_kind == "L" || contract_kind == "C" ? "  " : "E1";
}

std::string_view PropertySituation(std::string_view cadastral_reference, std::string_view postal_code) {
  if (format::TrimTrailingBlanks(cadastral_reference).empty()) return "4";
  const std::string_view province = postal_code.substr(0, 2);
  if (province == "01" || province == "20" || province == "48") return "2";
  if (province == "31") return "3";
  return "1";
}

std::array<std::string, kCsvColumns> CsvRowValues(const ReceiptRecord& receipt, const LineAmounts& amounts,
                                                  const PropertyRecord& property,
                                                  const ContractRecord& contract,
                                                  const CadastreRecord& cadastre) {
  const std::string_view kind = contract.ContractKind();
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
      std::string(OperationKey(kind, contract.WithholdingFlag())),
      std::string(OperationQualification(kind)),
      std::string(OperationExemption(kind)),
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
