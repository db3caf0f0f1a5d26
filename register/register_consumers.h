// The register's two consumers of the walk (walk_events.h): the printed
// register (layout.h) and the owner's tax-agency CSV file (csv_export.h).
// Both work on the run's RegisterContext; the walk gives them their order.
//
//   reg::PrintedRegister printed(ctx);
//   reg::CsvExport csv(ctx);
//   reg::WalkConsumer* consumers[] = {&printed, &csv};
#ifndef ZOV_REGISTER_REGISTER_CONSUMERS_H_
#define ZOV_REGISTER_REGISTER_CONSUMERS_H_

#include "register/line.h"
#include "register/register_state.h"
#include "register/walk_events.h"

namespace zov::reg {

// What one register line prints: a page heading when the owner has none yet
// and again past line 60, the group and property headings that are still
// due, the line itself; then the line's place in the VAT summary.
void PrintLine(RegisterContext& ctx, const LineAmounts& amounts);

// Owner start: the first group is due and the VAT summary starts empty;
// group and property starts make their headings due; owner end prints the
// totals.
class PrintedRegister final : public WalkConsumer {
 public:
  explicit PrintedRegister(RegisterContext& ctx) : ctx_(ctx) {}
  void OwnerStart(const RecordVariables& records) override;
  void GroupStart(const RecordVariables& records) override;
  void PropertyStart(const RecordVariables& records) override;
  void Line(const RecordVariables& records, const LineAmounts& amounts) override;
  void OwnerEnd(const RecordVariables& records) override;

 private:
  RegisterContext& ctx_;
};

// Owner start makes the owner's file and its heading row, each line adds its
// row, owner end hands the file to the opener or deletes it.
class CsvExport final : public WalkConsumer {
 public:
  explicit CsvExport(RegisterContext& ctx) : ctx_(ctx) {}
  void OwnerStart(const RecordVariables& records) override;
  void GroupStart(const RecordVariables&) override {}
  void PropertyStart(const RecordVariables&) override {}
  void Line(const RecordVariables& records, const LineAmounts& amounts) override;
  void OwnerEnd(const RecordVariables& records) override;

 private:
  RegisterContext& ctx_;
};

}  // namespace zov::reg

#endif  // ZOV_REGISTER_REGISTER_CONSUMERS_H_
