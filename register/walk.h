// Producing the register: the walk (walk_events.h) with its two consumers,
// the printed register and the CSV export (register_consumers.h).
//
//   reg::ProduceRegister(ctx);   // print file open, parameters read
#ifndef ZOV_REGISTER_WALK_H_
#define ZOV_REGISTER_WALK_H_

#include "register/register_state.h"
#include "register/walk_events.h"

namespace zov::reg {

// Whether the owner takes part: "S" needs IncludeFlagS, "N" IncludeFlagN,
// any other flag either of them.
bool OwnerTakesPart(const RunParameters& params, std::string_view owner_flag);

// The whole register over ctx.state.params: every selected receipt gives its
// printed line, its place in the owner's VAT summary and its CSV row. The
// data files are read on the calling thread while the print file and the
// CSV files are written on a second one (consumer_thread.h); both are done
// when it returns.
// A failed walk (see WalkRegister) leaves the current owner's CSV file open
// in its slot and the print file incomplete: the caller discards both
// (AbandonOwnerCsv, AbandonPrintFile).
[[nodiscard]] WalkFailure ProduceRegister(RegisterContext& ctx);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_WALK_H_
