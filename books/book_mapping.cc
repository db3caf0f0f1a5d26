#include "books/book_mapping.h"

#include "books/recipient.h"
#include "format/chars.h"
#include "format/dates.h"
#include "format/number_field.h"
#include "format/packed.h"
#include "register/csv_fields.h"
#include "register/operation_codes.h"

namespace zov::books {

using format::HundredthsText;

namespace {

// The cells every row of the invoice shares.
void CommonCells(const reg::RecordVariables& r, const BookSettings& settings, const RecipientId& recipient,
                 BookRow& row) {
  const reg::ReceiptRecord& receipt = r.receipt;
  const int64_t date = format::DateNumber(receipt.IssueDate());
  row[kExercise] = Cell::Whole(date / 10000);
  row[kPeriod] = Cell::Text(format::QuarterText(date));
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

// The codes, and the amounts they call for: S1 at the stored rate, total =
// base + VAT; no tax otherwise, total = base.
void CodedCells(const reg::OperationCodes& codes, const reg::ReceiptRecord& receipt, int64_t base, BookRow& row) {
  row[kOperationKey] = Cell::Text(codes.key);
  if (!codes.qualification.empty()) row[kQualification] = Cell::Text(codes.qualification);
  if (!codes.exemption.empty()) row[kExemption] = Cell::Text(codes.exemption);
  row[kTaxBase] = Cell::Amount(base);
  if (codes.qualification == "S1") {
    row[kVatRate] = Cell::Amount(receipt.VatRate());
    row[kVatAmount] = Cell::Amount(receipt.VatAmount());
    row[kTotal] = Cell::Amount(base + receipt.VatAmount());
  } else {
    row[kTotal] = Cell::Amount(base);
  }
}

}  // namespace

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
  reg::LineFacts facts{kind, r.contract.WithholdingFlag(), vat, withheld};
  CodedCells(reg::LineCodes(facts, reg::CodeRules::kAgency), receipt, amounts.tax_base, main);
  if (kind == "L") {
    const bool flag = r.contract.WithholdingFlag() == "S";
    if (flag != (withheld != 0)) {
      out->warnings.push_back(Warning(
          "V6",
          std::string("Clave ") + main[kOperationKey].text + " tomada del importe retenido (" +
              HundredthsText(withheld) + "); el contrato indica " + (flag ? "" : "sin ") + "retenci\xA2n",
          0));
    }
  } else if (kind == "C") {
    if (vat != 0) {
      out->warnings.push_back(Warning("V37",
                                      "El impuesto del recibo (" + HundredthsText(vat) +
                                          ") no es IVA espa\xA4ol (IGIC/IPSI) y no figura en el libro",
                                      0));
    }
  } else if (vat == 0 && kind != "V") {
    out->warnings.push_back(Warning(
        "V20",
        "Operaci\xA2n sin IVA de un contrato de tipo '" + std::string(kind) +
            "' (no vivienda) declarada exenta (E1, art. 20.Uno.23\xA7): compruebe si est\xA0 sujeta",
        0));
  }
  IncomeCells(settings, main);
  if (withheld != 0) {
    if (settings.type == BookType::kUnified) {
      main[kWithholdingRate] = Cell::Amount(receipt.WithholdingRate());
      main[kWithholdingAmount] = Cell::Amount(withheld);
    } else {
      out->warnings.push_back(Warning("V12",
                                      "La retenci\xA2n (" + HundredthsText(withheld) +
                                          ") no figura en un libro solo de IVA (C)",
                                      0));
    }
  }

  if (amounts.exempt == 0) return;
  BookRow& exempt = out->rows[1];
  CommonCells(r, settings, recipient, exempt);
  facts.exempt_part = true;
  const reg::OperationCodes exempt_codes = reg::LineCodes(facts, reg::CodeRules::kAgency);
  CodedCells(exempt_codes, receipt, amounts.exempt, exempt);
  IncomeCells(settings, exempt);
  out->count = 2;
  out->warnings.push_back(Warning("V7",
                                  "La parte exenta (" + HundredthsText(amounts.exempt) +
                                      ") va en una segunda l\xA1nea de la misma factura con clave " +
                                      std::string(exempt_codes.key) + " y " +
                                      std::string(exempt_codes.qualification.empty() ? exempt_codes.exemption
                                                                                     : exempt_codes.qualification),
                                  1));
}

}  // namespace zov::books
