#include "tools/dozudizi/outbox.h"

namespace zov::tools {
namespace {

constexpr std::size_t kNamePartLength = 40;

std::string CsvField(std::string_view field) {
  if (field.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(field);
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace

std::string OutboxFileName(const Cp850Text& cp, int number, std::string_view owner_name) {
  std::string digits = std::to_string(number);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  std::string name = cp.ToFileNamePart(owner_name, kNamePartLength);
  return digits + (name.empty() ? "" : "-" + name) + ".pdf";
}

std::string ManifestCsv(const std::vector<OutboxEntry>& entries) {
  std::string out = "address;name;file\r\n";
  for (const OutboxEntry& e : entries) {
    out += CsvField(e.address) + ";" + CsvField(e.name) + ";" + CsvField(e.file) + "\r\n";
  }
  return out;
}

}  // namespace zov::tools
