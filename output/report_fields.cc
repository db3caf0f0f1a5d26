#include "output/report_fields.h"

namespace zov::output {
namespace {

bool IsBlanked(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b < 32 && c != '\t' && c != '\r' && c != '\n') || b == 127;
}

bool StartsFormula(std::string_view text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

}  // namespace

void AppendReportField(std::string& line, const ReportField& field) {
  std::string_view value = field.value;
  const bool cut = value.size() > kReportFieldLimit;
  if (cut) value = value.substr(0, kReportFieldLimit - kCutMark.size());
  const bool quoted = value.find_first_of(";\"\r\n") != std::string_view::npos;
  if (quoted) line += '"';
  if (!field.number && StartsFormula(value)) line += '\'';
  for (char c : value) {
    if (c == '"') line += '"';
    line += IsBlanked(c) ? ' ' : c;
  }
  if (cut) line += kCutMark;
  if (quoted) line += '"';
}

void AppendReportLine(std::string& line, std::span<const ReportField> fields) {
  bool first = true;
  for (const ReportField& f : fields) {
    if (!first) line += ';';
    first = false;
    AppendReportField(line, f);
  }
  line += "\r\n";
}

std::vector<std::vector<std::string>> ReadReportRecords(std::string_view text) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> fields;
  std::string field;
  bool in_quotes = false;
  bool any = false;  // the record has begun
  auto end_record = [&] {
    fields.push_back(std::move(field));
    records.push_back(std::move(fields));
    fields.clear();
    field.clear();
    any = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_quotes) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        in_quotes = false;
      }
      continue;
    }
    any = true;
    if (c == '"') {
      in_quotes = true;
    } else if (c == ';') {
      fields.push_back(std::move(field));
      field.clear();
    } else if (c == '\n') {
      end_record();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      // The CR of a CR LF: the LF ends the record.
    } else {
      field += c;
    }
  }
  if (any || in_quotes) end_record();
  return records;
}

}  // namespace zov::output
