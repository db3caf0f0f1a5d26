// The agency's file of owners' NIFs: any contents either read whole, with
// every owner under a 4-digit code and a NIF that holds no separator, or
// refused with a message that names the line.
//
// Input: the file's contents.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "books/nif_file.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace zov;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  books::OwnerNifs nifs;
  const platform::Status s = books::ParseOwnerNifs(text, "owners-nif.csv", &nifs);
  if (!s.ok()) {
    fuzz::Check(s.message().starts_with("owners-nif.csv, line "));
    return 0;
  }
  for (const auto& [owner, nif] : nifs.nif_of) {
    fuzz::Check(owner.size() == 4);
    for (char c : owner) fuzz::Check(c >= '0' && c <= '9');
    fuzz::Check(!nif.empty() && nif.find(';') == std::string::npos && nif.find('\n') == std::string::npos);
  }
  for (const auto& [owner, other] : nifs.shared_with) {
    fuzz::Check(owner != other && nifs.nif_of.contains(owner) && nifs.nif_of.contains(other));
    fuzz::Check(nifs.nif_of.at(owner) == nifs.nif_of.at(other));
  }
  return 0;
}
