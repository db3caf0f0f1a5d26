#include "register/walk.h"

#include <string>

#include "datafiles/record_ops.h"
#include "register/csv_export.h"
#include "register/layout.h"
#include "register/line.h"

namespace zov::reg {

namespace {

// Reads the property's record of a file keyed by property code. A property
// without a record there gets a record variable of blanks, so it never
// inherits the previous property's contract or cadastral data.
template <typename Record>
void ReadPropertyRecord(RegisterContext& ctx, int16_t file_number, Record& record, std::string_view code) {
  if (datafiles::ReadByKey(ctx.env, ctx.files, file_number, 0, code, 0) != datafiles::kStatusOk)
    record.Fill(' ');
}

void WalkReceipts(RegisterContext& ctx) {
  RegisterState& state = ctx.state;
  RecordVariables& r = ctx.records;
  const std::string property_code(r.property.PropertyCode());
  const std::string from = property_code + state.params.date_from;
  const std::string to = property_code + state.params.date_to;
  int16_t status = datafiles::ReadByKey(ctx.env, ctx.files, kFileVCobros, state.params.receipt_key, from, 1);
  while (status == datafiles::kStatusOk && datafiles::KeyImage(ctx.env, ctx.files, kFileVCobros) <= to &&
         property_code >= state.params.property_from) {
    if (ReceiptSelected(state.params, r.receipt)) ProduceLine(ctx);
    status = datafiles::ReadStep(ctx.env, ctx.files, kFileVCobros, 1);
  }
}

void WalkProperties(RegisterContext& ctx) {
  RegisterState& state = ctx.state;
  RecordVariables& r = ctx.records;
  const std::string group_code(r.group.GroupCode());
  const std::string_view from_group = std::string_view(state.params.property_from).substr(0, kGroupCodeSize);
  int16_t status = datafiles::ReadByKey(ctx.env, ctx.files, kFileVDepBase, 0, group_code, 1);
  while (status == datafiles::kStatusOk && r.property.PropertyCode().substr(0, kGroupCodeSize) == group_code &&
         r.property.PropertyCode() <= std::string_view(state.params.property_to) &&
         std::string_view(group_code) >= from_group) {
    const std::string code(r.property.PropertyCode());
    ReadPropertyRecord(ctx, kFileVDepPart, r.part, code);
    ReadPropertyRecord(ctx, kFileVDepCont, r.contract, code);
    ReadPropertyRecord(ctx, kFileVDepBanc, r.bank, code);
    ReadPropertyRecord(ctx, kFileVDepCada, r.cadastre, code);
    state.property_started = false;
    WalkReceipts(ctx);
    status = datafiles::ReadStep(ctx.env, ctx.files, kFileVDepBase, 1);
  }
}

void WalkGroups(RegisterContext& ctx) {
  RegisterState& state = ctx.state;
  RecordVariables& r = ctx.records;
  const std::string owner_code(r.owner.OwnerCode());
  const std::string_view to_group = std::string_view(state.params.property_to).substr(0, kGroupCodeSize);
  int16_t status = datafiles::ReadByKey(ctx.env, ctx.files, kFileVGrups, 0, owner_code, 1);
  while (status == datafiles::kStatusOk && r.group.GroupCode().substr(0, kOwnerCodeSize) == owner_code &&
         r.group.GroupCode() <= to_group) {
    if (!OwnerTakesPart(state.params, r.owner.OwnerFlag())) return;
    // The section record is read for the suite's sake; nothing of it is used.
    (void)datafiles::ReadByKey(ctx.env, ctx.files, kFileUSeccio, 0, r.group.SectionCode(), 0);
    state.group_started = false;
    WalkProperties(ctx);
    status = datafiles::ReadStep(ctx.env, ctx.files, kFileVGrups, 1);
  }
}

}  // namespace

bool OwnerTakesPart(const RunParameters& params, std::string_view owner_flag) {
  return (params.include_flag_n && owner_flag != "S") || (params.include_flag_s && owner_flag != "N");
}

void ProduceLine(RegisterContext& ctx) {
  RegisterState& state = ctx.state;
  if (state.page_counter == 0) PageHeading(ctx);
  if (ctx.print.line_counter > kRegisterLineThreshold) PageHeading(ctx);
  if (!state.owner_started) OwnerCsvStart(ctx);
  if (!state.group_started) GroupHeading(ctx);
  if (!state.property_started) PropertyHeading(ctx);
  const ReceiptRecord& receipt = ctx.records.receipt;
  const LineAmounts amounts = ComputeLine(receipt, ctx.records.contract.ContractKind());
  RegisterLine(ctx, amounts);
  state.summary.Add(receipt.VatRate(), amounts.exempt, amounts.tax_base, receipt.VatAmount(),
                 receipt.WithholdingAmount());
  CsvRow(ctx, amounts);
  ++state.lines;
}

void ProduceRegister(RegisterContext& ctx) {
  RegisterState& state = ctx.state;
  RecordVariables& r = ctx.records;
  const std::string_view from_owner = std::string_view(state.params.property_from).substr(0, kOwnerCodeSize);
  const std::string_view to_owner = std::string_view(state.params.property_to).substr(0, kOwnerCodeSize);
  int16_t status = datafiles::ReadByKey(ctx.env, ctx.files, kFileVPropiet, 0, from_owner, 1);
  while (status == datafiles::kStatusOk && r.owner.OwnerCode() <= to_owner) {
    state.owner_started = false;
    state.summary.Clear();
    WalkGroups(ctx);
    if (state.owner_started) {
      OwnerTotals(ctx);
      OwnerCsvEnd(ctx);
    }
    status = datafiles::ReadStep(ctx.env, ctx.files, kFileVPropiet, 1);
  }
}

}  // namespace zov::reg
