// The run parameters (pent.tmp) as the selection screen, a user or a damaged
// disk leaves them: split into lines as the program reads the file, then
// converted.
//
// Input: year byte (today is 1950 + it), then the file's contents.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "format/format_state.h"
#include "fuzz/fuzz_input.h"
#include "platform/text_lines.h"
#include "register/run_parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace zov;
  fuzz::FuzzInput in(data, size);
  format::FormatState state;
  state.today = {1950 + in.Byte(), 6, 15};
  const std::string text(in.Rest());
  std::vector<std::string> lines;
  for (std::string_view line : platform::SplitLines(text)) lines.emplace_back(line);

  reg::RunParameters p = reg::ParseRunParameters(state, lines);
  fuzz::Check(p.date_from.size() == 4 && p.date_to.size() == 4);
  fuzz::Check(p.property_from.size() == 6 && p.property_to.size() == 6);
  fuzz::Check(p.receipt_key == 1 || p.receipt_key == 2);
  return 0;
}
