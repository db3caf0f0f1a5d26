#include "datafiles/description_file.h"

#include "platform/coding.h"

namespace zov::datafiles {

namespace {

constexpr std::size_t kCountSize = 2;  // the count before the specification

}  // namespace

std::string EncodeDescription(const platform::FileSpec& spec) {
  const std::string body = platform::EncodeFileSpec(spec);
  std::string out(kCountSize, '\0');
  platform::EncodeFixed16(out.data(), static_cast<uint16_t>(body.size()));
  return out + body;
}

std::optional<std::string> SpecificationOfDescription(std::string_view description) {
  if (description.size() < kCountSize) return std::nullopt;
  const uint16_t count = platform::DecodeFixed16(description.data());
  if (count == 0 || description.size() - kCountSize < count) return std::nullopt;
  return std::string(description.substr(kCountSize, count));
}

}  // namespace zov::datafiles
