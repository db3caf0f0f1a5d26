#include "books/vat_return/vat_consumer.h"

#include "format/packed.h"
#include "register/line.h"

namespace zov::books::vat {

namespace {

int64_t DateNumber(std::string_view packed_date) {
  int64_t v = 0;
  for (char c : format::UnpackDigits(packed_date.substr(0, 4))) v = v * 10 + (c - '0');
  return v;
}

}  // namespace

void VatConsumer::OwnerStart(const reg::RecordVariables& r) {
  figures_.Start(format::UnpackDigits(r.owner.OwnerCode()), r.owner.OwnerName());
}

void VatConsumer::Line(const reg::RecordVariables& r, const reg::LineAmounts& amounts) {
  const reg::ReceiptRecord& receipt = r.receipt;
  ReturnLine line;
  line.issue_date = DateNumber(receipt.IssueDate());
  line.packed_issue_date = receipt.IssueDate();
  line.packed_invoice = receipt.InvoiceNumber();
  line.contract_kind = r.contract.ContractKind();
  line.rate = receipt.VatRate();
  line.tax_base = amounts.tax_base;
  line.exempt = amounts.exempt;
  line.vat = receipt.VatAmount();
  line.unpaid = reg::UnpaidPart(receipt);
  AddLine(period_, line, &figures_);
}

void VatConsumer::OwnerEnd(const reg::RecordVariables&) { done_(figures_); }

}  // namespace zov::books::vat
