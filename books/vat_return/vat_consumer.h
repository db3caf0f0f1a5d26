// The walk's consumer that gathers each owner's VAT-return figures: at each
// owner's start it begins the owner's figures, adds every register line
// (the line's own amounts, see owner_figures.h), and at the owner's end
// hands the figures to `done`, which prepares, checks and writes the
// owner's return. The walk must cover 1 January to the quarter's end by
// issue date, so that the year's figures are whole.
//
//   VatConsumer figures(period, [&](const OwnerFigures& f) { ... });
//   reg::WalkConsumer* consumers[] = {&figures};
//   reg::WalkRegister(env, files, records, params, consumers);
#ifndef ZOV_BOOKS_VAT_RETURN_VAT_CONSUMER_H_
#define ZOV_BOOKS_VAT_RETURN_VAT_CONSUMER_H_

#include <functional>

#include "books/vat_return/owner_figures.h"
#include "register/walk_events.h"

namespace zov::books::vat {

class VatConsumer final : public reg::WalkConsumer {
 public:
  using Done = std::function<void(const OwnerFigures&)>;
  VatConsumer(const BookPeriod& period, Done done) : period_(period), done_(std::move(done)) {}

  void OwnerStart(const reg::RecordVariables& records) override;
  void GroupStart(const reg::RecordVariables&) override {}
  void PropertyStart(const reg::RecordVariables&) override {}
  void Line(const reg::RecordVariables& records, const reg::LineAmounts& amounts) override;
  void OwnerEnd(const reg::RecordVariables& records) override;

 private:
  BookPeriod period_;
  Done done_;
  OwnerFigures figures_;
};

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_VAT_CONSUMER_H_
