#include "books/vat_return/design.h"

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
