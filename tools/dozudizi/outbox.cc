#include "tools/dozudizi/outbox.h"

#include "output/report_fields.h"
#include "session/file_names.h"

namespace zov::tools {
namespace {

constexpr std::size_t kNamePartLength = 40;

constexpr std::size_t kMaxAddressLength = 254;
constexpr std::size_t kMaxLocalLength = 64;
constexpr std::size_t kMaxLabelLength = 63;

bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

}  // namespace

std::string OutboxFileName(int number, std::string_view owner_name) {
  std::string digits = std::to_string(number);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  const std::string name = session::FileNamePart(owner_name, kNamePartLength);
  return digits + (name.empty() ? "" : "-" + name) + ".pdf";
}

bool IsPlausibleAddress(std::string_view address) {
  if (address.size() > kMaxAddressLength) return false;
  std::size_t at = address.find('@');
  if (at == std::string_view::npos || address.find('@', at + 1) != std::string_view::npos) return false;
  std::string_view local = address.substr(0, at);
  std::string_view domain = address.substr(at + 1);
  if (local.empty() || local.size() > kMaxLocalLength || !IsAsciiAlnum(local.front()) || local.back() == '.') {
    return false;
  }
  for (std::size_t i = 0; i < local.size(); ++i) {
    char c = local[i];
    if (c == '.' && i > 0 && local[i - 1] == '.') return false;
    if (!IsAsciiAlnum(c) && std::string_view("._%+-").find(c) == std::string_view::npos) return false;
  }
  int labels = 0;
  std::size_t start = 0;
  while (start <= domain.size()) {
    std::size_t end = domain.find('.', start);
    if (end == std::string_view::npos) end = domain.size();
    std::string_view label = domain.substr(start, end - start);
    if (label.empty() || label.size() > kMaxLabelLength || label.front() == '-') return false;
    for (char c : label) {
      if (!IsAsciiAlnum(c) && c != '-') return false;
    }
    ++labels;
    start = end + 1;
  }
  return labels >= 2;
}

std::string ManifestCsv(const std::vector<OutboxEntry>& entries) {
  std::string out = "address;name;file\r\n";
  for (const OutboxEntry& e : entries) output::AppendReportLine(out, {e.address, e.name, e.file});
  return out;
}

}  // namespace zov::tools
