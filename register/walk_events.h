// The register walk as a stream of events. The walk moves through owners,
// their groups, the properties of each group and the receipts of each
// property in key order, selects the receipts that are invoices of the
// register, computes each one's line, and hands every consumer, in the order
// given, the start of each owner, group and property that has lines, each
// line, and the end of each owner that had lines. The printed register and
// the CSV export (register_consumers.h) are two consumers; any program that
// needs the register's invoices and amounts adds its own.
//
//   class Counter : public reg::WalkConsumer { ... void Line(...) override { ++n; } };
//   Counter counter;
//   reg::WalkConsumer* consumers[] = {&counter};
//   reg::WalkRegister(env, files, records, params, consumers);
//
// Events of one owner always come as: OwnerStart, then for each line
// GroupStart when it is the group's first line, PropertyStart when it is the
// property's first, Line; finally OwnerEnd. An owner, group or property
// without lines gives no event at all.
#ifndef ZOV_REGISTER_WALK_EVENTS_H_
#define ZOV_REGISTER_WALK_EVENTS_H_

#include <cstdint>
#include <span>
#include <string>

#include "datafiles/data_file_table.h"
#include "platform/env.h"
#include "register/line.h"
#include "register/records.h"
#include "register/run_parameters.h"

namespace zov::reg {

// Every event passes the walk's record variables: at OwnerStart and OwnerEnd
// the owner's record is current, at GroupStart also the group's, at
// PropertyStart also the property's and those of VDepPart, VDepCont,
// VDepBanc and VDepCada, at Line also the receipt's. A consumer reads them
// during the call and keeps no reference to them.
class WalkConsumer {
 public:
  virtual ~WalkConsumer() = default;
  virtual void OwnerStart(const RecordVariables& records) = 0;
  virtual void GroupStart(const RecordVariables& records) = 0;
  virtual void PropertyStart(const RecordVariables& records) = 0;
  // One selected receipt and its amounts (ComputeLine under the property's
  // contract kind).
  virtual void Line(const RecordVariables& records, const LineAmounts& amounts) = 0;
  virtual void OwnerEnd(const RecordVariables& records) = 0;
};

// The data files the walk reads; each must be open in `files` under its
// number with its record variable of `records`. The others of the twelve
// are opened by the register run for the suite's sake but never read.
inline constexpr int16_t kWalkFiles[] = {kFileVPropiet, kFileVGrups,   kFileVDepBase,
                                         kFileVDepPart, kFileVDepCont, kFileVDepBanc,
                                         kFileVDepCada, kFileVCobros,  kFileUSeccio};

// The walk over the owners of the parameters' property range: their flags
// against IncludeFlagS/IncludeFlagN, receipts by ReceiptKey from DateFrom to
// DateTo, selection by ReceiptSelected. Reads only through the data-file
// layer. Key not found (4), end of file (9) and a file that is not open (3)
// end the loop that read them; any other non-zero status (a damaged file, a
// record of the wrong length, an I/O error) stops the whole walk at once,
// without the ends of the owner, group or property in progress, and is
// returned: an incomplete register must not pass for a whole one.
struct WalkFailure {
  int16_t file_number = 0;
  int16_t status = 0;  // 0: the walk went through
  std::string path;    // the file's native path, for the message
  bool ok() const { return status == 0; }
};
[[nodiscard]] WalkFailure WalkRegister(platform::Env& env, datafiles::DataFileTable& files, RecordVariables& records,
                  const RunParameters& params, std::span<WalkConsumer* const> consumers);

// The same walk with the consumers on a second thread (consumer_thread.h):
// they read `replica`, which must start as a copy of `records` and is
// theirs until the walk returns; every event has reached them by then.
[[nodiscard]] WalkFailure WalkWithConsumerThread(platform::Env& env, datafiles::DataFileTable& files,
                                                 RecordVariables& records, const RunParameters& params,
                                                 RecordVariables& replica,
                                                 std::span<WalkConsumer* const> consumers);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_WALK_EVENTS_H_
