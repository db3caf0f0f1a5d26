#include "register/line.h"

#include <algorithm>

namespace zov::reg {

bool ComputesTaxBase(std::string_view contract_kind) {
  return contract_kind == "V" || contract_kind == "P";
}

LineAmounts ComputeLine(const ReceiptRecord& receipt, std::string_view contract_kind) {
  const int64_t total = receipt.TotalAmount();
  const int64_t excluded = receipt.ExcludedAmount();
  const int64_t vat = receipt.VatAmount();
  const int64_t withholding = receipt.WithholdingAmount();
  const int64_t stored_base = receipt.StoredTaxBase();
  LineAmounts a;
  if (ComputesTaxBase(contract_kind)) {
    a.exempt = 0;
    a.tax_base = total - excluded - vat - withholding;
  } else {
    a.exempt = total - excluded - stored_base - vat - withholding;
    a.tax_base = stored_base;
  }
  return a;
}

int64_t PaidPart(const ReceiptRecord& receipt) {
  const int64_t paid = receipt.PaidAmount();
  return paid - std::min<int64_t>(receipt.ExcludedAmount(), paid);
}

int64_t UnpaidPart(const ReceiptRecord& receipt) {
  return int64_t{receipt.TotalAmount()} - receipt.ExcludedAmount() - PaidPart(receipt);
}

int64_t InvoiceTotal(const ReceiptRecord& receipt, const LineAmounts& amounts) {
  return int64_t{receipt.VatAmount()} + amounts.tax_base + receipt.WithholdingAmount();
}

bool ReceiptSelected(const RunParameters& params, const ReceiptRecord& receipt) {
  const std::string_view class_code = receipt.ClassCode();
  if (class_code < std::string_view(params.class_from) || class_code > std::string_view(params.class_to))
    return false;
  const std::string_view status = receipt.StatusCode();
  if (status != "C" && status != "P" && receipt.PaidAmount() == 0) return false;
  const std::string_view trailing = receipt.TrailingCode();
  if (trailing < kLowestTrailingCode || trailing > kHighestTrailingCode) return false;
  return PaidPart(receipt) != 0 || UnpaidPart(receipt) != 0;
}

bool VatSummary::Add(int16_t rate, int64_t exempt, int64_t tax_base, int64_t vat, int64_t withholding) {
  for (VatSlot& slot : slots) {
    if (!slot.used || slot.rate == rate) {
      slot.used = true;
      slot.rate = rate;
      slot.exempt += exempt;
      slot.tax_base += tax_base;
      slot.vat += vat;
      slot.withholding += withholding;
      return true;
    }
  }
  return false;
}

}  // namespace zov::reg
