// The printed register: the five layout steps that write column items into
// the print file while the walk (walk.h) moves through owners, groups,
// properties and receipts. Each owner's part starts on a new page numbered
// 1 with a hand-off line, and ends with the owner's totals by VAT rate.
//
// Columns (1-based) of a register line and its headings:
//   1 CODI, 16 CLIENT, 58 N.I.F.            (property heading line)
//   45 invoice number, 54 issue date,
//   65 exempt, 80 base, 95 VAT rate, 101 VAT, 116 withholding rate,
//   122 withholding                         (register line, right-justified)
// Page headings take 7 lines. The thresholds at which a step starts a page
// first: a register line past line 60, a group heading past 56, the totals'
// first line past 58 and each rate line past 59.
#ifndef ZOV_REGISTER_LAYOUT_H_
#define ZOV_REGISTER_LAYOUT_H_

#include <cstdint>

#include "register/line.h"
#include "register/register_state.h"

namespace zov::reg {

inline constexpr int16_t kRegisterLineThreshold = 60;
inline constexpr int16_t kGroupHeadingThreshold = 56;
inline constexpr int16_t kTotalsThreshold = 58;
inline constexpr int16_t kTotalsLineThreshold = 59;

// Amounts and rates as the register prints them.
inline constexpr std::string_view kAmountPattern = "Z,ZZZ,ZZZ,ZZ9-";
inline constexpr std::string_view kRateMask = "Z9.99";
inline constexpr std::string_view kPageNumberMask = "ZZZ9";

// Adds a page: the hand-off line on the owner's first page, the page line,
// the owner's name, the page number, the title with the run's dates and the
// two lines of column heads.
void PageHeading(RegisterContext& ctx);

// The group's code and name, after a blank line unless it is the owner's
// first group; a page heading first when past line 56.
void GroupHeading(RegisterContext& ctx);

// The property's code, tenant name and tax number.
void PropertyHeading(RegisterContext& ctx);

// Invoice number, issue date and the line's amounts and rates.
void RegisterLine(RegisterContext& ctx, const LineAmounts& amounts);

// The owner's totals by VAT rate, then the page counter back to 0.
void OwnerTotals(RegisterContext& ctx);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_LAYOUT_H_
