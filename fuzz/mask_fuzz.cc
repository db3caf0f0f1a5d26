// Numeric edit masks and amount patterns, under separators and currencies
// from Orva.ini and any number: the text always has the mask's width.
//
// Input: 8 bytes of a double, 8 bytes of an amount in hundredths, then
// NUL-separated pieces: the currency choice, the mask, Orva.ini's contents.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "format/format_state.h"
#include "format/mask.h"
#include "fuzz/fuzz_input.h"

namespace {

template <typename T>
T Take(zov::fuzz::FuzzInput& in) {
  unsigned char bytes[sizeof(T)];
  for (auto& b : bytes) b = in.Byte();
  T value;
  std::memcpy(&value, bytes, sizeof(T));
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace zov;
  fuzz::FuzzInput in(data, size);
  auto value = Take<double>(in);
  auto amount = Take<int64_t>(in);
  std::string_view currency = in.Piece();
  std::string_view mask = in.Piece();
  fuzz::InMemorySettings settings(in.Rest());
  format::FormatState state;
  state.settings = &settings;
  format::SetCurrency(state, currency);

  fuzz::Check(format::FormatMask(state, mask, value).size() == mask.size());
  fuzz::Check(format::FormatMask(state, mask, static_cast<double>(amount)).size() == mask.size());
  fuzz::Check(format::FormatAmount(state, mask, static_cast<double>(amount)).size() == mask.size());
  return 0;
}
