#include "register/register_consumers.h"

#include "register/csv_export.h"
#include "register/layout.h"

namespace zov::reg {

void PrintLine(RegisterContext& ctx, const LineAmounts& amounts) {
  RegisterState& st = ctx.state;
  if (st.page_counter == 0) PageHeading(ctx);
  if (ctx.print.line_counter > kRegisterLineThreshold) PageHeading(ctx);
  if (!st.group_started) GroupHeading(ctx);
  if (!st.property_started) PropertyHeading(ctx);
  const ReceiptRecord& receipt = ctx.records.receipt;
  RegisterLine(ctx, amounts);
  st.summary.Add(receipt.VatRate(), amounts.exempt, amounts.tax_base, receipt.VatAmount(),
                 receipt.WithholdingAmount());
  ++st.lines;
}

void PrintedRegister::OwnerStart(const RecordVariables&) {
  RegisterState& st = ctx_.state;
  st.first_group_of_owner = true;
  st.summary.Clear();
  ++st.owners;
}

void PrintedRegister::GroupStart(const RecordVariables&) { ctx_.state.group_started = false; }

void PrintedRegister::PropertyStart(const RecordVariables&) { ctx_.state.property_started = false; }

void PrintedRegister::Line(const RecordVariables&, const LineAmounts& amounts) { PrintLine(ctx_, amounts); }

void PrintedRegister::OwnerEnd(const RecordVariables&) { OwnerTotals(ctx_); }

void CsvExport::OwnerStart(const RecordVariables&) { OwnerCsvStart(ctx_); }

void CsvExport::Line(const RecordVariables&, const LineAmounts& amounts) { CsvRow(ctx_, amounts); }

void CsvExport::OwnerEnd(const RecordVariables&) { OwnerCsvEnd(ctx_); }

}  // namespace zov::reg
