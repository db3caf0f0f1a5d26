#include "books/vat_return/design.h"

#include <string>

#include "books/vat_return/design_tables.h"

namespace zov::books::vat {

namespace {

constexpr const Design* kDesigns[] = {&kDesign2026};

}  // namespace

std::span<const Design* const> AllDesigns() { return kDesigns; }

const Design* FindDesign(int year) {
  for (const Design* d : kDesigns)
    if (d->year == year) return d;
  return nullptr;
}

platform::Status DesignForYear(int year, const Design** design) {
  *design = FindDesign(year);
  if (*design != nullptr) return platform::Status::Ok();
  std::string years;
  for (const Design* d : kDesigns) years += (years.empty() ? "" : ", ") + std::to_string(d->year);
  return platform::Status::InvalidArgument("no record design of the VAT return for " + std::to_string(year) +
                                           ": the agency publishes one for each year, and this program has " +
                                           years);
}

const RateRow* FindRateRow(const Design& design, int16_t rate) {
  for (const RateRow& row : design.rates)
    if (row.rate == rate) return &row;
  return nullptr;
}

const Field* FindField(const Design& design, std::string_view key) {
  for (const Piece& piece : design.pieces)
    for (const Field& f : piece.fields)
      if (f.key == key) return &f;
  return nullptr;
}

}  // namespace zov::books::vat
