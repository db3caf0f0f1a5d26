// The record design of the VAT return's import file (model 303), one table
// per year: the file's pieces in order (envelope, pages, closing tag), each
// with its fields in order as published (position, length, type, box or
// name, fixed text), the rows of output VAT by rate, the roles of the boxes
// a landlord's return fills, and the totals the design defines. The writer,
// the checks and the tests all read the same table; a new year's design is
// one new table (design_YYYY.cc) and one line of FindDesign.
//
//   const vat::Design* design = vat::FindDesign(2026);   // nullptr: no design
//   for (const vat::Piece& piece : design->pieces)
//     for (const vat::Field& f : piece.fields) ...
#ifndef ZOV_BOOKS_VAT_RETURN_DESIGN_H_
#define ZOV_BOOKS_VAT_RETURN_DESIGN_H_

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/status.h"

namespace zov::books::vat {

// An: letters, digits and blanks, left-aligned, blank-padded (the design's
// "A" fields too). Num: unsigned, digits only, right-aligned, zero-padded.
// N: signed; a negative value is "N" and the digits of its magnitude.
enum class FieldType : uint8_t { kText, kUnsigned, kSigned };

struct Field {
  int position;  // 1-based, as published
  int length;
  FieldType type;
  // What fills the field: a box number ("07") or a name ("NIF"); empty for
  // fixed text and for reserved space (blanks, or zeros in a number).
  std::string_view key;
  // Written as it stands when not empty (tags, page numbers, the constant
  // rate of a row); exactly `length` characters.
  std::string_view fixed;
};

// Which returns carry a piece.
enum class PieceUse : uint8_t {
  kAlways,
  // The annual information of the last period, for owners exempt from the
  // annual summary; left out of every other return.
  kAnnual,
};

struct Piece {
  std::string_view name;  // "page 1", for messages and tests
  int length;             // the design's total for the piece
  PieceUse use;
  std::span<const Field> fields;
};

// Output VAT at one rate (hundredths of a percent): base, rate and quota
// boxes. A rate without a row has no box in that year's design.
struct RateRow {
  int16_t rate;
  std::string_view base;
  std::string_view rate_box;
  std::string_view quota;
};

// total = the sum of the terms, each added or taken away.
struct Term {
  std::string_view box;
  int sign;  // +1 or -1
};
struct Sum {
  std::string_view total;
  std::span<const Term> terms;
};

// share = base * percent / 100, the percent written with two decimals.
struct Share {
  std::string_view share;
  std::string_view base;
  std::string_view percent;
};

// The boxes a landlord's return fills besides the rate rows.
struct Boxes {
  std::string_view modified_base;   // modifications of bases and quotas, with their sign
  std::string_view modified_quota;
  std::string_view total_output;    // total output VAT
  std::string_view total_deductible;
  std::string_view general_result;  // output less deductible
  std::string_view sum_of_results;
  std::string_view state_percent;   // share of the State administration
  std::string_view state_share;
  std::string_view return_result;
  std::string_view final_result;
  // The annual page.
  std::string_view year_general;      // operations of the year in the general regime
  std::string_view year_exempt;       // exempt without right to deduct
  std::string_view year_volume;       // total volume of operations
  std::string_view territory[5];      // shares by territory (foral ones and the common one)
};

struct Design {
  int year;
  std::string_view name;  // the agency's name of the design, e.g. "DR303e26v101"
  std::span<const Piece> pieces;
  std::span<const RateRow> rates;
  std::span<const Sum> sums;
  Share state_share;
  Boxes boxes;
  // The periods a file may carry: "1T" .. "4T".
  std::span<const std::string_view> periods;
};

// The design for returns of `year`; nullptr when there is none (a return is
// never written in another year's design).
const Design* FindDesign(int year);

// The same for a run: InvalidArgument naming the years there are designs
// for when `year` has none.
[[nodiscard]] platform::Status DesignForYear(int year, const Design** design);

// The row of `rate`, or nullptr when the rate has no box.
const RateRow* FindRateRow(const Design& design, int16_t rate);

// The first field of `key`, or nullptr.
const Field* FindField(const Design& design, std::string_view key);

// The designs there are, oldest first (for the tests of every table).
std::span<const Design* const> AllDesigns();

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_DESIGN_H_
