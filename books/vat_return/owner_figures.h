// One owner's figures for a VAT return, gathered from the register's lines
// from 1 January to the end of the return's quarter: the quarter's output
// VAT by rate and the year's figures for the annual page. The amounts are
// the register's own (the line's taxable base, exempt amount and stored VAT);
// nothing is computed again.
//
// How a line counts follows the record books' reading of the contract:
//   kind L, or any kind but C with VAT        subject, at the stored rate
//   kind C (IGIC/IPSI area)                   outside Spanish VAT: not subject
//                                             by the rules of place
//   other kinds without VAT (housing)         exempt
//   the exempt part of a line                 exempt (kind C: not subject)
// A subject line with a negative base or quota is kept apart: it is declared
// as a modification of bases and quotas, with its sign.
//
//   OwnerFigures f;
//   f.Start("0001", "PUIG*JOAN");
//   AddLine(period, line, &f);
#ifndef ZOV_BOOKS_VAT_RETURN_OWNER_FIGURES_H_
#define ZOV_BOOKS_VAT_RETURN_OWNER_FIGURES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "books/vat_return/findings.h"

namespace zov::books::vat {

// The quarter a return declares.
struct ReturnPeriod {
  int year = 0;
  int quarter = 0;  // 1..4
  int64_t first_day() const { return int64_t{year} * 10000 + (quarter * 3 - 2) * 100 + 1; }
  int64_t last_day() const { return int64_t{year} * 10000 + quarter * 300 + (quarter == 1 || quarter == 4 ? 31 : 30); }
  std::string text() const { return std::to_string(quarter) + "T"; }
};

enum class LineTax : uint8_t { kSubject, kExempt, kOutside };

// How the return takes a line's taxable base, by the contract kind and the
// line's VAT amount (the exempt part of a line is exempt, or outside for
// kind C).
LineTax TaxOfLine(std::string_view contract_kind, int64_t vat_amount);

// What the return needs of one register line.
struct ReturnLine {
  int64_t issue_date = 0;             // YYYYMMDD
  std::string_view packed_issue_date;  // the record's, for messages
  std::string_view packed_invoice;     // the record's, for messages
  std::string_view contract_kind;
  int16_t rate = 0;             // hundredths of a percent
  int64_t tax_base = 0;
  int64_t exempt = 0;
  int64_t vat = 0;
  int64_t unpaid = 0;           // the part not yet collected
};

// Subject lines of the quarter at one rate: the positive ones and, apart,
// those with a negative base or quota.
struct RateTotals {
  int16_t rate = 0;
  int64_t base = 0;
  int64_t quota = 0;
  int64_t lines = 0;
  int64_t negative_base = 0;
  int64_t negative_quota = 0;
  int64_t negative_lines = 0;
};

struct OwnerFigures {
  std::string code;         // 4 digits
  std::string stored_name;  // as stored: "SURNAMES*GIVEN NAMES", code page 850

  // The quarter.
  std::vector<RateTotals> rates;  // in the order the rates first appear
  int64_t quarter_lines = 0;      // every line of the quarter
  int64_t quarter_subject_lines = 0;
  int64_t quarter_exempt = 0;
  int64_t quarter_outside = 0;    // base and exempt part of kind C lines
  int64_t quarter_outside_tax = 0;  // the tax those lines carry (not Spanish VAT)
  int64_t quarter_outside_lines = 0;
  int64_t unpaid_lines = 0;       // subject lines of the quarter not fully collected
  int64_t unpaid_amount = 0;

  // The year to the quarter's end (the quarter included).
  int64_t year_subject_lines = 0;
  int64_t year_subject_base = 0;
  int64_t year_exempt = 0;
  int64_t year_outside = 0;

  // The quarter's subject lines with a negative base or quota: "La factura
  // N de DD/MM/YYYY (base B, cuota Q)", for the warning each one gets.
  std::vector<std::string> negative_lines;

  // Findings of single lines (a date outside the year).
  std::vector<VatFinding> findings;

  void Start(std::string_view owner_code, std::string_view name);
  // The quarter's totals at a rate, made when missing.
  RateTotals& AtRate(int16_t rate);
};

// Adds the line to the owner's figures. A line dated outside 1 January to
// the quarter's end is not counted: it gives an error.
void AddLine(const ReturnPeriod& period, const ReturnLine& line, OwnerFigures* figures);

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_OWNER_FIGURES_H_
