// Description files (ddf*.xdf) and the statistics the record manager
// answers: any bytes decode without reading outside them, and what decodes
// encodes to bytes that decode the same again.
//
// Input: the description file's bytes (2-byte count, specification).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "datafiles/file_spec.h"
#include "fuzz/fuzz_input.h"

namespace {

bool SameKeys(const zov::datafiles::FileSpec& a, const zov::datafiles::FileSpec& b) {
  if (a.keys.size() != b.keys.size()) return false;
  for (std::size_t k = 0; k < a.keys.size(); ++k) {
    if (a.keys[k].size() != b.keys[k].size()) return false;
    for (std::size_t i = 0; i < a.keys[k].size(); ++i) {
      const auto& x = a.keys[k][i];
      const auto& y = b.keys[k][i];
      if (x.position != y.position || x.length != y.length || x.extended_type != y.extended_type) return false;
    }
  }
  return true;
}

void Decode(std::string_view bytes) {
  using namespace zov::datafiles;
  FileSpec spec = DecodeFileSpec(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  zov::fuzz::Check(spec.keys.size() <= spec.key_count);
  for (int k = -1; k <= spec.key_count; ++k) (void)spec.KeyLength(k);
  for (int c = 0; c < 256; ++c) (void)spec.Collate(static_cast<uint8_t>(c));

  std::string again = EncodeFileSpec(spec);
  FileSpec decoded = DecodeFileSpec(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(again.data()), again.size()));
  if (bytes.size() >= kSpecSegmentsOffset) {
    zov::fuzz::Check(decoded.record_length == spec.record_length && decoded.page_size == spec.page_size);
    zov::fuzz::Check(SameKeys(spec, decoded));
    zov::fuzz::Check(decoded.collating_sequence == spec.collating_sequence);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Decode(bytes);  // as statistics
  if (std::optional<std::string> spec = zov::datafiles::SpecificationOfDescription(bytes)) Decode(*spec);
  return 0;
}
