// Producing the register: the walk over owners, their groups, the properties
// of each group and the receipts of each property, in key order, selecting
// the receipts that are invoices of the register and giving each one its
// printed line, its place in the owner's VAT summary and its CSV row.
//
//   reg::ProduceRegister(ctx);   // print file open, parameters read
#ifndef ZOV_REGISTER_WALK_H_
#define ZOV_REGISTER_WALK_H_

#include "register/register_state.h"

namespace zov::reg {

// Whether the owner takes part: "S" needs IncludeFlagS, "N" IncludeFlagN,
// any other flag either of them.
bool OwnerTakesPart(const RunParameters& params, std::string_view owner_flag);

// The whole walk. Reads only through the data-file layer; any non-zero read
// status ends the loop that read it.
void ProduceRegister(RegisterContext& ctx);

// What one selected receipt produces: page and level headings as needed, the
// printed line, the VAT summary, the CSV row.
void ProduceLine(RegisterContext& ctx);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_WALK_H_
