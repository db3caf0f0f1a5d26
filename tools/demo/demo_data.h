// The records of a demo installation of a rental agency: owners, their
// groups (buildings), properties with tenant, contract and cadastral data,
// and two years of rent receipts, plus the agency's sections, receipt
// concepts and monthly remittances. The same options and seed always give
// the same records in the same order.
//
//   CollectingSink sink;                      // or a sink that inserts
//   DemoCounts counts;
//   Status s = GenerateInstallation(DemoOptions{}, sink, &counts);
//
// Receipts are issued monthly from January 2025 to December 2026; the run
// parameters of the demo select the last quarter, October to December 2026.
#ifndef ZOV_TOOLS_DEMO_DEMO_DATA_H_
#define ZOV_TOOLS_DEMO_DEMO_DATA_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace zov::tools::demo {

struct DemoOptions {
  uint64_t seed = 2026;
  int32_t owners = 12;
  // 0: as varied as a real agency (one owner with enough receipts to fill
  // several pages, owners of every kind). N: every owner has N properties in
  // groups of up to 5, for measurements.
  int32_t properties_per_owner = 0;
  // 0: one receipt a month while the contract runs, plus the occasional
  // arrears or supplies receipt. N: exactly N monthly receipts per property,
  // the last one in December 2026.
  int32_t receipts_per_property = 0;
};

// Limits of the options: owner, group and unit codes have 4 digits each
// (owner 0000 lies below every property range), and an invoice number holds
// the property's 4-digit ordinal within its owner.
inline constexpr int32_t kMaxOwners = 9999;
inline constexpr int32_t kMaxPropertiesPerOwner = 4999;
inline constexpr int32_t kMaxReceiptsPerProperty = 240;

// Checks the options; the message names the option and its limits.
[[nodiscard]] platform::Status CheckOptions(const DemoOptions& options);

// The month range of the data and the quarter the run parameters select.
inline constexpr int kLastYear = 2026;
inline constexpr int kLastMonth = 12;
inline constexpr std::string_view kQuarterFrom = "01/10/2026";
inline constexpr std::string_view kQuarterTo = "31/12/2026";

// Receives every record, file by file in key-0 order within each file
// (records of different files interleave).
class RecordSink {
 public:
  virtual ~RecordSink() = default;
  [[nodiscard]] virtual platform::Status Add(int16_t file_number, std::string_view record) = 0;
};

struct DemoCounts {
  int64_t owners = 0;
  int64_t groups = 0;
  int64_t properties = 0;
  int64_t receipts = 0;
  int64_t receipts_in_quarter = 0;  // issued October to December 2026
};

// Generates the installation into `sink`; stops at the first failure of
// the sink and returns it. *counts describes what was added.
[[nodiscard]] platform::Status GenerateInstallation(const DemoOptions& options, RecordSink& sink,
                                                    DemoCounts* counts);

}  // namespace zov::tools::demo

#endif  // ZOV_TOOLS_DEMO_DEMO_DATA_H_
