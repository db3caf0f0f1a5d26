// The register line of one receipt: which receipts enter the register, the
// amounts of a line, and the owner's summary by VAT rate. Pure functions over
// the current receipt and contract records; all arithmetic is 64-bit, so no
// sum of 32-bit fields can wrap.
//
//   if (reg::ReceiptSelected(params, receipt)) {
//     reg::LineAmounts a = reg::ComputeLine(receipt, contract.ContractKind());
//     summary.Add(receipt.VatRate(), a.exempt, a.tax_base, receipt.VatAmount(),
//                 receipt.WithholdingAmount());
//   }
#ifndef ZOV_REGISTER_LINE_H_
#define ZOV_REGISTER_LINE_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "register/records.h"
#include "register/run_parameters.h"

namespace zov::reg {

// The accepted TrailingCode bytes, inclusive: two blanks or two zero bytes
// lie outside.
inline constexpr std::string_view kLowestTrailingCode{"\x20\x80", 2};
inline constexpr std::string_view kHighestTrailingCode{"\xE3\xE3", 2};

// Contract kinds "V" and "P" compute the base from the invoiced amount and
// have no exempt part; every other kind (blank included) uses the stored base.
bool ComputesTaxBase(std::string_view contract_kind);

struct LineAmounts {
  int64_t exempt = 0;    // ExemptAmount
  int64_t tax_base = 0;  // TaxBase
};

// ExemptAmount and TaxBase of the receipt under the contract kind. The
// withholding is stored negative, so subtracting it adds it back.
LineAmounts ComputeLine(const ReceiptRecord& receipt, std::string_view contract_kind);

// The excluded amount absorbs the payment first.
int64_t PaidPart(const ReceiptRecord& receipt);
int64_t UnpaidPart(const ReceiptRecord& receipt);

// Invoice total of the CSV row: VAT + base + withholding (the exempt amount
// is not part of it).
int64_t InvoiceTotal(const ReceiptRecord& receipt, const LineAmounts& amounts);

// The receipt enters the register when its class lies within the run's class
// bounds (byte strings), it is collected ("C"), pending ("P") or has a
// payment, its TrailingCode lies within the accepted bytes, and its paid or
// unpaid part is not 0.
bool ReceiptSelected(const RunParameters& params, const ReceiptRecord& receipt);

// The owner's totals by VAT rate: 11 slots in the order the rates first
// appeared. A free slot has rate -1 and is not `used`; a slot is marked used
// by its first line, so a line whose stored rate is itself -1 keeps its own
// slot instead of leaving its sums to the next rate that comes along.
inline constexpr int kVatSlots = 11;

struct VatSlot {
  bool used = false;
  int32_t rate = -1;
  int64_t exempt = 0;
  int64_t tax_base = 0;
  int64_t vat = 0;
  int64_t withholding = 0;
};

struct VatSummary {
  std::array<VatSlot, kVatSlots> slots{};

  // Every slot free and zero.
  void Clear() { slots.fill(VatSlot{}); }
  // Adds the line to the first used slot of its rate or the first free slot
  // when none is used for its rate before it. Returns false
  // (and adds nothing) when all 11 slots hold other rates.
  bool Add(int16_t rate, int64_t exempt, int64_t tax_base, int64_t vat, int64_t withholding);
};

}  // namespace zov::reg

#endif  // ZOV_REGISTER_LINE_H_
