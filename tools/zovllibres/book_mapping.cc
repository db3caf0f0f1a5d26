#include "tools/zovllibres/book_mapping.h"

#include "format/chars.h"
#include "format/dates.h"
#include "format/packed.h"
#include "register/csv_fields.h"
#include "tools/zovllibres/recipient.h"

namespace zov::books {

namespace {

std::string Money(int64_t hundredths) { return reg::CsvNumber(hundredths, 0); }

// The cells every row of the invoice shares.
void CommonCells(const reg::RecordVariables& r, const BookSettings& settings, const RecipientId& recipient,
                 BookRow& row) {
  const reg::ReceiptRecord& receipt = r.receipt;
  const int64_t date = DateNumber(receipt.IssueDate());
  row[kExercise] = Cell::Whole(date / 10000);
  row[kPeriod] = Cell::Text(reg::CsvQuarter(receipt.IssueDate()));
  row[kActivityCode] = Cell::Text("A");
  row[kActivityType] = Cell::Text("01");
  row[kEpigraph] = Cell::Text(settings.epigraph);
  row[kInvoiceType] = Cell::Text("F1");
  // A stored date the calendar does not know stays visible as text.
  if (format::IsCalendarDate(static_cast<int>(date / 10000), static_cast<int>(date / 100 % 100),
                             static_cast<int>(date % 100))) {
    row[kIssueDate] = Cell::Date(date);
  } else {
    row[kIssueDate] = Cell::Text(format::DateSlashText(receipt.IssueDate()));
  }
  row[kNumber] = Cell::Text(format::UnpackDigits(receipt.InvoiceNumber()));
  if (!recipient.type.empty()) row[kRecipientIdType] = Cell::Text(recipient.type);
  if (!recipient.country.empty()) row[kRecipientCountry] = Cell::Text(recipient.country);
  if (!recipient.id.empty()) row[kRecipientId] = Cell::Text(recipient.id);
  const std::string_view tenant = format::TrimBlanks(r.property.TenantName());
  if (!tenant.empty()) row[kRecipientName] = Cell::Text(tenant);
  const std::string_view situation =
      reg::PropertySituation(r.cadastre.CadastralReference(), r.cadastre.PostalCode());
  row[kSituation] = Cell::Text(situation);
  if (situation != "4") row[kCadastralReference] = Cell::Text(format::TrimBlanks(r.cadastre.CadastralReference()));
}

void IncomeCells(const BookSettings& settings, BookRow& row) {
  if (settings.type != BookType::kUnified) return;
  row[kIncomeConcept] = Cell::Text("I01");
  row[kComputableIncome] = row[kTaxBase];
}

// S1 at the stored rate: total = base + VAT.
void SubjectCells(const reg::ReceiptRecord& receipt, int64_t base, BookRow& row) {
  row[kQualification] = Cell::Text("S1");
  row[kTaxBase] = Cell::Amount(base);
  row[kVatRate] = Cell::Amount(receipt.VatRate());
  row[kVatAmount] = Cell::Amount(receipt.VatAmount());
  row[kTotal] = Cell::Amount(base + receipt.VatAmount());
}

// No tax on the row: total = base.
void UntaxedCells(int64_t base, BookRow& row) {
  row[kTaxBase] = Cell::Amount(base);
  row[kTotal] = Cell::Amount(base);
}

}  // namespace

int64_t DateNumber(std::string_view packed_date) {
  const std::string digits = format::UnpackDigits(packed_date.substr(0, 4));
  int64_t v = 0;
  for (char c : digits) v = v * 10 + (c - '0');
  return v;
}

void MapLine(const reg::RecordVariables& r, const reg::LineAmounts& amounts, const BookSettings& settings,
             LineRows* out) {
  out->count = 1;
  out->warnings.clear();
  for (BookRow& row : out->rows) row.fill(Cell{});
  const reg::ReceiptRecord& receipt = r.receipt;
  const std::string_view kind = r.contract.ContractKind();
  const RecipientId recipient = MapRecipient(r.property.TenantNif(), &out->warnings);
  for (Finding& w : out->warnings) w.row = 0;

  BookRow& main = out->rows[0];
  CommonCells(r, settings, recipient, main);
  const int64_t vat = receipt.VatAmount();
  const int64_t withheld = -int64_t{receipt.WithholdingAmount()};
  if (kind == "L") {
    main[kOperationKey] = Cell::Text(withheld != 0 ? "11" : "12");
    SubjectCells(receipt, amounts.tax_base, main);
    const bool flag = r.contract.WithholdingFlag() == "S";
    if (flag != (withheld != 0)) {
      out->warnings.push_back(Warning(
          "V6",
          std::string("Clave ") + (withheld != 0 ? "11" : "12") + " tomada del importe retenido (" + Money(withheld) +
              "); el contrato indica " + (flag ? "" : "sin ") + "retenci\xA2n",
          0));
    }
  } else if (kind == "C") {
    main[kOperationKey] = Cell::Text("08");
    main[kQualification] = Cell::Text("N2");
    UntaxedCells(amounts.tax_base, main);
    if (vat != 0) {
      out->warnings.push_back(Warning("V37",
                                      "El impuesto del recibo (" + Money(vat) +
                                          ") no es IVA espa\xA4ol (IGIC/IPSI) y no figura en el libro",
                                      0));
    }
  } else {
    main[kOperationKey] = Cell::Text("01");
    if (vat != 0) {
      SubjectCells(receipt, amounts.tax_base, main);
    } else {
      main[kExemption] = Cell::Text("E1");
      UntaxedCells(amounts.tax_base, main);
      if (kind != "V") {
        out->warnings.push_back(Warning(
            "V20",
            "Operaci\xA2n sin IVA de un contrato de tipo '" + std::string(kind) +
                "' (no vivienda) declarada exenta (E1, art. 20.Uno.23\xA7): compruebe si est\xA0 sujeta",
            0));
      }
    }
  }
  IncomeCells(settings, main);
  if (withheld != 0) {
    if (settings.type == BookType::kUnified) {
      main[kWithholdingRate] = Cell::Amount(receipt.WithholdingRate());
      main[kWithholdingAmount] = Cell::Amount(withheld);
    } else {
      out->warnings.push_back(Warning("V12",
                                      "La retenci\xA2n (" + Money(withheld) +
                                          ") no figura en un libro solo de IVA (C)",
                                      0));
    }
  }

  if (amounts.exempt == 0) return;
  BookRow& exempt = out->rows[1];
  CommonCells(r, settings, recipient, exempt);
  if (kind == "C") {
    exempt[kOperationKey] = Cell::Text("08");
    exempt[kQualification] = Cell::Text("N2");
  } else {
    exempt[kOperationKey] = Cell::Text("01");
    exempt[kExemption] = Cell::Text("E1");
  }
  UntaxedCells(amounts.exempt, exempt);
  IncomeCells(settings, exempt);
  out->count = 2;
  out->warnings.push_back(Warning("V7",
                                  "La parte exenta (" + Money(amounts.exempt) +
                                      ") va en una segunda l\xA1nea de la misma factura con clave " +
                                      exempt[kOperationKey].text + (kind == "C" ? " y N2" : " y E1"),
                                  1));
}

}  // namespace zov::books
