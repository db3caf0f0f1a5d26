#include "register/layout.h"

#include <string>

#include "format/chars.h"
#include "format/codes.h"
#include "format/dates.h"
#include "format/mask.h"
#include "format/packed.h"
#include "format/text.h"
#include "session/language_file.h"

namespace zov::reg {

namespace {

// Fixed texts (keys of the language file), code page 850.
constexpr std::string_view kPageWord = "P\xB7GINA ";  // "PÀGINA "
constexpr std::string_view kTitle = "LLIBRE REGISTRE DE FACTURES EMESES ENTRE ";
constexpr std::string_view kTitleAnd = " I ";
constexpr std::string_view kExemptHead = "       EXEMPT ";
constexpr std::string_view kBaseHead = "         BASE ";
constexpr std::string_view kRateHead = "TIPUS";
constexpr std::string_view kVatHead = "     IMPOSTOS ";
constexpr std::string_view kWithholdingHead = "     RETENCI\xE0 ";  // "     RETENCIÓ "
constexpr std::string_view kTotalLabel = "TOTAL ";

void Justify(RegisterContext& ctx) {
  std::string spec = "D";
  output::SetJustification(ctx.print, spec);
}

std::string Amount(RegisterContext& ctx, int64_t hundredths) {
  return format::FormatAmount(ctx.format, kAmountPattern, static_cast<double>(hundredths));
}

std::string Rate(RegisterContext& ctx, int64_t hundredths) {
  return format::FormatMask(ctx.format, kRateMask, static_cast<double>(hundredths) / 100.0);
}

}  // namespace

std::string Translate(RegisterContext& ctx, std::string_view text) {
  return session::TranslateText(ctx.env, ctx.session, ctx.language, text);
}

void PageHeading(RegisterContext& ctx) {
  RegisterState& state = ctx.state;
  const OwnerRecord& owner = ctx.records.owner;
  output::PrintFile& pf = ctx.print;
  ++state.page_counter;
  const std::string owner_name = format::NameOrder(owner.OwnerName());
  if (state.page_counter == 1) {
    const std::string_view email = format::TrimTrailingBlanks(owner.OwnerEmail());
    std::string addressee(email);
    addressee += ",,";
    addressee += owner_name;
    output::PrintSendTo(pf, addressee);
    if (!email.empty()) state.mail_requested = true;
  }
  output::StartPage(pf, kPageLength);
  output::PrintControl(pf, "@e");
  output::PrintAt(pf, 1, owner_name, 0);
  Justify(ctx);
  output::PrintAt(pf, 85,
                  Translate(ctx, kPageWord) +
                      format::FormatMask(ctx.format, kPageNumberMask, static_cast<double>(state.page_counter)),
                  2);
  std::string title = Translate(ctx, kTitle);
  title += format::TrimTrailingBlanks(format::DateText(ctx.format, state.params.date_from, 0, "dma"));
  title += Translate(ctx, kTitleAnd);
  title += format::TrimTrailingBlanks(format::DateText(ctx.format, state.params.date_to, 0, "dma"));
  output::PrintAt(pf, format::CenterOffset(title, 96), title, 2);
  output::PrintControl(pf, "q");
  output::PrintAt(pf, 1, Translate(ctx, "CODI"), 0);
  output::PrintAt(pf, 16, Translate(ctx, "CLIENT"), 0);
  output::PrintAt(pf, 58, Translate(ctx, "N.I.F."), 1);
  output::PrintAt(pf, 45, Translate(ctx, "FACTURA"), 0);
  output::PrintAt(pf, 54, Translate(ctx, "DATA"), 0);
  Justify(ctx);
  output::PrintAt(pf, 65, Translate(ctx, kExemptHead), 0);
  output::PrintAt(pf, 80, Translate(ctx, kBaseHead), 0);
  output::PrintAt(pf, 95, Translate(ctx, kRateHead), 0);
  output::PrintAt(pf, 101, Translate(ctx, kVatHead), 0);
  output::PrintAt(pf, 116, Translate(ctx, kRateHead), 0);
  output::PrintAt(pf, 122, Translate(ctx, kWithholdingHead), 1);
  output::PrintAt(pf, 1, std::string(134, '-'), 1);
}

void GroupHeading(RegisterContext& ctx) {
  RegisterState& state = ctx.state;
  output::PrintFile& pf = ctx.print;
  const GroupRecord& group = ctx.records.group;
  state.group_started = true;
  if (!state.first_group_of_owner) output::PrintAt(pf, 0, "", 1);
  state.first_group_of_owner = false;
  if (pf.line_counter > kGroupHeadingThreshold) PageHeading(ctx);
  output::PrintControl(pf, "e");
  std::string line = format::KeyToCode(group.GroupCode());
  line += ' ';
  line += format::TrimTrailingBlanks(group.GroupName());
  output::PrintAt(pf, 1, line, 2);
  output::PrintControl(pf, "q");
}

void PropertyHeading(RegisterContext& ctx) {
  const PropertyRecord& property = ctx.records.property;
  ctx.state.property_started = true;
  output::PrintAt(ctx.print, 1, format::KeyToCode(property.PropertyCode()), 0);
  output::PrintAt(ctx.print, 16, property.TenantName(), 0);
  output::PrintAt(ctx.print, 58, property.TenantNif(), 1);
}

void RegisterLine(RegisterContext& ctx, const LineAmounts& amounts) {
  const ReceiptRecord& r = ctx.records.receipt;
  output::PrintFile& pf = ctx.print;
  output::PrintAt(pf, 45, format::UnpackDigits(r.InvoiceNumber()), 0);
  output::PrintAt(pf, 54, format::DateText(ctx.format, r.IssueDate(), 0, "dma"), 0);
  Justify(ctx);
  output::PrintAt(pf, 65, Amount(ctx, amounts.exempt), 0);
  output::PrintAt(pf, 80, Amount(ctx, amounts.tax_base), 0);
  output::PrintAt(pf, 95, Rate(ctx, r.VatRate()), 0);
  output::PrintAt(pf, 101, Amount(ctx, r.VatAmount()), 0);
  output::PrintAt(pf, 116, Rate(ctx, r.WithholdingRate()), 0);
  output::PrintAt(pf, 122, Amount(ctx, r.WithholdingAmount()), 1);
}

void OwnerTotals(RegisterContext& ctx) {
  RegisterState& state = ctx.state;
  output::PrintFile& pf = ctx.print;
  output::PrintAt(pf, 65, std::string(70, '-'), 1);
  if (pf.line_counter > kTotalsThreshold) PageHeading(ctx);
  output::PrintAt(pf, 45, Translate(ctx, kTotalLabel), 0);
  for (const VatSlot& slot : state.summary.slots) {
    if (!slot.used) continue;
    if (pf.line_counter > kTotalsLineThreshold) PageHeading(ctx);
    Justify(ctx);
    output::PrintAt(pf, 65, Amount(ctx, slot.exempt), 0);
    output::PrintAt(pf, 80, Amount(ctx, slot.tax_base), 0);
    output::PrintAt(pf, 95, Rate(ctx, slot.rate), 0);
    output::PrintAt(pf, 101, Amount(ctx, slot.vat), 0);
    output::PrintAt(pf, 122, Amount(ctx, slot.withholding), 1);
  }
  output::PrintAt(pf, 45, std::string(90, '='), 1);
  state.page_counter = 0;
}

}  // namespace zov::reg
