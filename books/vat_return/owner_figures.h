// One owner's figures for a VAT return, gathered from the register's lines
// from 1 January to the end of the return's quarter: the quarter's output
// VAT by rate and the year's figures for the annual page. The amounts are
// the register's own (the line's taxable base, exempt amount and stored VAT);
// nothing is computed again.
//
// How a line counts follows from the codes the agency's rules give it
// (register/operation_codes.h), so that the return and the record books read
// a contract alike, and from the VAT it carries, so that the return equals
// the register's VAT summary by rate:
//   qualified subject (S1)                  subject, at the stored rate
//   kind C (key 08, read as IGIC/IPSI)      subject when it carries VAT, as
//                                           the register counts it (the
//                                           owner is warned); else exempt
//   exempt (E1), and the exempt part of     exempt
//   any line
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

#include "books/book_validation.h"
#include "books/vat_return/box_finding.h"
#include "register/operation_codes.h"

namespace zov::books::vat {

enum class LineTax : uint8_t {
  kSubject,
  // Subject, though its contract's key reads IGIC/IPSI (kind C with VAT).
  kSubjectUnderIgicKey,
  kExempt,
};

// How the return takes a line's taxable base, from the line's codes under
// the agency's rules and its VAT.
LineTax TaxOfLine(const reg::OperationCodes& codes, int64_t vat_amount);

// What the return needs of one register line.
struct ReturnLine {
  int64_t issue_date = 0;              // YYYYMMDD
  std::string_view packed_issue_date;  // the record's, for messages
  std::string_view packed_invoice;     // the record's, for messages
  LineTax tax = LineTax::kSubject;     // of the taxable base
  int16_t rate = 0;                    // hundredths of a percent
  int64_t tax_base = 0;
  int64_t exempt = 0;
  int64_t vat = 0;
  int64_t unpaid = 0;  // the part not yet collected
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
  int64_t igic_key_lines = 0;  // subject lines of kind C contracts
  int64_t igic_key_base = 0;
  int64_t igic_key_vat = 0;
  int64_t unpaid_lines = 0;  // subject lines of the quarter not fully collected
  int64_t unpaid_amount = 0;

  // The year to the quarter's end (the quarter included).
  int64_t year_subject_lines = 0;
  int64_t year_subject_base = 0;
  int64_t year_exempt = 0;

  // The quarter's subject lines with a negative base or quota: "La factura
  // N de DD/MM/YYYY (base B, cuota Q)", for the warning each one gets.
  std::vector<std::string> negative_lines;

  // Findings of single lines (a date outside the year).
  std::vector<BoxFinding> findings;

  void Start(std::string_view owner_code, std::string_view name);
  // The quarter's totals at a rate, made when missing.
  RateTotals& AtRate(int16_t rate);
};

// Adds the line to the owner's figures. A line dated outside 1 January to
// the quarter's end is not counted: it gives an error.
void AddLine(const BookPeriod& period, const ReturnLine& line, OwnerFigures* figures);

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_OWNER_FIGURES_H_
