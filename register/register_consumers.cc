#include "register/register_consumers.h"

#include "register/csv_export.h"
#include "register/layout.h"

namespace zov::reg {

void PrintLine(RegisterContext& ctx, const LineAmounts& amounts) {
  RegisterState& state = ctx.state;
  if (state.page_counter == 0) PageHeading(ctx);
  if (ctx.print.line_counter > kRegisterLineThreshold) PageHeading(ctx);
  if (!state.group_started) GroupHeading(ctx);
  if (!state.property_started) PropertyHeading(ctx);
  const ReceiptRecord& receipt = ctx.records.receipt;
  RegisterLine(ctx, amounts);
  state.summary.Add(receipt.VatRate(), amounts.exempt, amounts.tax_base, receipt.VatAmount(),
                 receipt.WithholdingAmount());
  ++state.lines;
}

void PrintedRegister::OwnerStart(const RecordVariables&) {
  RegisterState& state = ctx_.state;
  state.first_group_of_owner = true;
  state.summary.Clear();
  ++state.owners;
}

void PrintedRegister::GroupStart(const RecordVariables&) { ctx_.state.group_started = false; }

void PrintedRegister::PropertyStart(const RecordVariables&) { ctx_.state.property_started = false; }

void PrintedRegister::Line(const RecordVariables&, const LineAmounts& amounts) { PrintLine(ctx_, amounts); }

void PrintedRegister::OwnerEnd(const RecordVariables&) { OwnerTotals(ctx_); }

void CsvExport::OwnerStart(const RecordVariables&) { OwnerCsvStart(ctx_); }

void CsvExport::Line(const RecordVariables&, const LineAmounts& amounts) { CsvRow(ctx_, amounts); }

void CsvExport::OwnerEnd(const RecordVariables&) { OwnerCsvEnd(ctx_); }

}  // namespace zov::reg
