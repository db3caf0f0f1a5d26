// The run parameters: the 23 text lines of pent.tmp that the suite's
// selection screen writes into TempDir before it starts the program.
//
//   std::vector<std::string> lines;   // from platform::ReadTextLines
//   reg::RunParameters p = reg::ParseRunParameters(format_state, lines);
//
// Line  value
//   1   DateFrom     ParseDate of the line (packed date)
//   2   DateTo       ParseDate of the line
//   3   ReceiptKey   2 when the line is exactly "C", else 1
//   4   PropertyFrom CodeToKey of the line, completed from 0001.0001.0001
//   5   PropertyTo   CodeToKey of the line, completed from 9999.9999.9999
//   6   ClassFrom    PackDigits of the line (empty line: empty value)
//   7   ClassTo      PackDigits of the line (empty: lets no receipt through)
//   8   kept, not used
//   9-20 read and ignored (fixed values take their place)
//  21   IncludeFlagS  line exactly "S"
//  22   IncludeFlagN  line exactly "S"
//  23   OpenCsv       line exactly "S"
// Missing lines (a shorter file) read as empty. A date line that is not
// blank must be a date of the calendar: another text is not taken for "no
// date" (which would select every date on file) but recorded in
// unreadable_line, and the run refuses the parameters.
#ifndef ZOV_REGISTER_RUN_PARAMETERS_H_
#define ZOV_REGISTER_RUN_PARAMETERS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "format/format_state.h"

namespace zov::reg {

inline constexpr std::string_view kRunParametersFileName = "pent.tmp";
inline constexpr int kRunParameterLines = 23;

struct RunParameters {
  std::string date_from;      // packed date, 4 bytes
  std::string date_to;        // packed date, 4 bytes
  int16_t receipt_key = 1;    // VCobros key number: 1 or 2
  std::string property_from;  // packed property code, 6 bytes
  std::string property_to;    // packed property code, 6 bytes
  std::string class_from;     // packed, as long as its line's digits
  std::string class_to;       // packed; empty selects no receipt
  std::string line8;          // kept for the suite, not used
  bool include_flag_s = false;
  bool include_flag_n = false;
  bool open_csv = false;
  // The first date line (1 or 2) that is neither blank nor a calendar date;
  // 0 when both can be read.
  int unreadable_line = 0;
};

// The 6-byte property code of a typed bound: CodeToKey of the text followed
// by the packed filler, cut to 6 bytes.
std::string PropertyBound(std::string_view typed, std::string_view filler_digits);

// Converts the lines (line 1 first). Uses state.today for two-digit years.
RunParameters ParseRunParameters(format::FormatState& state, const std::vector<std::string>& lines);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_RUN_PARAMETERS_H_
