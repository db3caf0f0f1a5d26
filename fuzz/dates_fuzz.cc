// Dates typed by users (run parameters, data fields) and the display
// settings of Orva.ini: ParseDate, then every text form of its result.
//
// Input: year byte (today is 1950 + it), style byte, then NUL-separated
// pieces: the date text, the parts to show, Orva.ini's contents.
#include <cstddef>
#include <cstdint>
#include <string>

#include "format/dates.h"
#include "format/format_state.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace zov;
  fuzz::FuzzInput in(data, size);
  format::FormatState state;
  state.today = {1950 + in.Byte(), 6, 15};
  auto style = static_cast<int16_t>(static_cast<int8_t>(in.Byte()));
  std::string_view text = in.Piece();
  std::string_view parts = in.Piece();
  fuzz::InMemorySettings settings(in.Rest());
  state.settings = &settings;

  std::string date = format::ParseDate(state, text);
  fuzz::Check(date.size() == 4);
  // The slash form reads back as the same date.
  std::string slash = format::DateSlashText(date);
  fuzz::Check(slash.size() == 10);
  fuzz::Check(format::ParseDate(state, slash) == date);

  for (int16_t s : {int16_t{-1}, int16_t{0}, int16_t{1}, int16_t{2}, style}) {
    (void)format::DateText(state, date, s, parts);
    (void)format::DateText(state, text, s, parts);  // raw bytes as a packed date
  }
  std::string fixed = format::DateText(state, date, 0, "dma");
  fuzz::Check(fixed.size() == 10);
  return 0;
}
