// The fields of the reports the tools write beside their outputs (the
// books' manifest.csv and validation.csv, the spooler's outbox manifest):
// ";"-separated lines of code page 850 text that people open in a
// spreadsheet, holding values that come from data (owner names, NIF-file
// values) and so may be hostile. One rule for every field of every such
// report:
//
//   - a value longer than kReportFieldLimit bytes keeps its first bytes and
//     ends in kCutMark, kReportFieldLimit bytes of value in all (the limit
//     holds any e-mail address and any file name whole);
//   - control bytes (below 32, and DEL) other than tab, CR and LF become
//     blanks;
//   - a text field starting with "=", "+", "-", "@", a tab or a CR gets a
//     leading "'", so that no spreadsheet takes it for a formula; a number
//     the program composes itself (ReportField::Number) never does, so a
//     negative total stays a number;
//   - a field holding ";", a double quote, a CR or an LF is enclosed in
//     double quotes, its own double quotes doubled.
//
// The register's CSV export keeps the suite's older rule
// (output_slots.h AppendFieldValue), which the suite's readers expect.
//
//   std::string line;
//   AppendReportLine(line, {"0001", owner_name, ReportField::Number("-12,50")});
//   // line: "0001;'=HYPERLINK(...);-12,50\r\n"
#ifndef ZOV_OUTPUT_REPORT_FIELDS_H_
#define ZOV_OUTPUT_REPORT_FIELDS_H_

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zov::output {

inline constexpr std::size_t kReportFieldLimit = 256;
inline constexpr std::string_view kCutMark = "[...]";

// A field's value and whether the program composed it as a number. The
// value is only viewed: it must outlive the call that writes it.
struct ReportField {
  ReportField(std::string_view text) : value(text) {}         // NOLINT: text is the usual field
  ReportField(const std::string& text) : value(text) {}       // NOLINT
  ReportField(const char* text) : value(text) {}              // NOLINT
  static ReportField Number(std::string_view digits) {
    ReportField f(digits);
    f.number = true;
    return f;
  }
  std::string_view value;
  bool number = false;
};

// Appends one field, as the rule above writes it.
void AppendReportField(std::string& line, const ReportField& field);

// Appends the fields joined by ";" and a CR LF.
void AppendReportLine(std::string& line, std::span<const ReportField> fields);
inline void AppendReportLine(std::string& line, std::initializer_list<ReportField> fields) {
  AppendReportLine(line, std::span(fields.begin(), fields.size()));
}

// The records of a report, each as its fields with the quoting undone (a
// quoted field may hold line ends). Lines end in CR LF or LF; a last line
// without an end counts. The formula guard and cuts are not undone: a
// field reads as it was written.
std::vector<std::vector<std::string>> ReadReportRecords(std::string_view text);

}  // namespace zov::output

#endif  // ZOV_OUTPUT_REPORT_FIELDS_H_
