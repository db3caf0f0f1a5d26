#include "books/vat_return/vat_consumer.h"

#include "format/dates.h"
#include "format/packed.h"
#include "register/line.h"
#include "register/operation_codes.h"

namespace zov::books::vat {

void VatConsumer::OwnerStart(const reg::RecordVariables& r) {
  figures_.Start(format::UnpackDigits(r.owner.OwnerCode()), r.owner.OwnerName());
}

void VatConsumer::Line(const reg::RecordVariables& r, const reg::LineAmounts& amounts) {
  const reg::ReceiptRecord& receipt = r.receipt;
  ReturnLine line;
  line.issue_date = format::DateNumber(receipt.IssueDate());
  line.packed_issue_date = receipt.IssueDate();
  line.packed_invoice = receipt.InvoiceNumber();
  const reg::LineFacts facts{.contract_kind = r.contract.ContractKind(),
                             .withholding_flag = r.contract.WithholdingFlag(),
                             .vat_amount = receipt.VatAmount(),
                             .withheld = -int64_t{receipt.WithholdingAmount()}};
  line.tax = TaxOfLine(reg::LineCodes(facts, reg::CodeRules::kAgency), receipt.VatAmount());
  line.rate = receipt.VatRate();
  line.tax_base = amounts.tax_base;
  line.exempt = amounts.exempt;
  line.vat = receipt.VatAmount();
  line.unpaid = reg::UnpaidPart(receipt);
  AddLine(period_, line, &figures_);
}

void VatConsumer::OwnerEnd(const reg::RecordVariables&) { done_(figures_); }

}  // namespace zov::books::vat
