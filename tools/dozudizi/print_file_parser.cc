#include "tools/dozudizi/print_file_parser.h"

#include <string>

#include "format/chars.h"
#include "platform/ascii.h"
#include "platform/text_lines.h"

namespace zov::tools {
namespace {

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Replaces control characters by blanks and says how many there were. The
// writer never leaves them in a line; a stray one must not reach a device.
int BlankControlCharacters(std::string* line) {
  int count = 0;
  for (char& c : *line) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) {
      c = ' ';
      ++count;
    }
  }
  return count;
}

// One line's parse, into the caller's output and device flag.
class Parser {
 public:
  Parser(ParsedPrintFile& out, bool& device_seen) : out_(out), device_seen_(device_seen) {}

  void Report(int line, std::string message) { out_.diagnostics.push_back(Diagnostic{line, std::move(message)}); }

  void ParseLine(int line, std::string text) {
    if (int n = BlankControlCharacters(&text); n > 0) {
      Report(line, std::to_string(n) + " control character(s) replaced by blanks");
    }
    std::string_view v = text;
    Command c;
    c.line = line;
    if (StartsWith(v, kDevicePrefix)) {
      if (device_seen_) {
        Report(line, "second DEVICE line skipped");
        return;
      }
      if (line != 1) Report(line, "the DEVICE line is not the first line");
      device_seen_ = true;
      c.kind = CommandKind::kDevice;
      c.text = std::string(format::TrimBlanks(v.substr(kDevicePrefix.size())));
      Emit(std::move(c));
    } else if (StartsWith(v, kPagePrefix)) {
      c.kind = CommandKind::kPage;
      if (!ParseNumber(v.substr(kPagePrefix.size()), &c.number)) {
        Report(line, "PAGE line without a readable page length skipped");
        return;
      }
      Emit(std::move(c));
    } else if (StartsWith(v, kJustifyPrefix)) {
      c.kind = CommandKind::kJustify;
      if (!ParseJustification(v.substr(kJustifyPrefix.size()), &c.justify)) {
        Report(line, "unknown justification; left justification used");
      }
      Emit(std::move(c));
    } else if (StartsWith(v, kControlPrefix)) {
      c.kind = CommandKind::kControl;
      c.text = std::string(format::TrimBlanks(v.substr(kControlPrefix.size())));
      if (c.text.empty()) {
        Report(line, "control line without a code skipped");
        return;
      }
      Emit(std::move(c));
    } else if (StartsWith(v, kSendPrefix)) {
      c.kind = CommandKind::kSend;
      c.text = std::string(v.substr(kSendPrefix.size()));
      Emit(std::move(c));
    } else {
      ParseItem(line, v, std::move(c));
    }
  }


 private:
  void Emit(Command c) { out_.commands.push_back(std::move(c)); }

  // A column item: column, ",", text, ",", advance. The text may hold commas
  // of its own, so it runs from the first comma to the last one.
  void ParseItem(int line, std::string_view v, Command c) {
    std::size_t first = v.find(',');
    std::size_t last = v.rfind(',');
    if (first == std::string_view::npos || first == last) {
      Report(line, v.empty() ? "empty line skipped" : "not a print-file line (no DEVICE, PAGE, JUS, *, SEND or two commas); skipped");
      return;
    }
    if (!ParseNumber(v.substr(0, first), &c.number)) {
      Report(line, "column item without a readable column skipped");
      return;
    }
    if (!ParseNumber(v.substr(last + 1), &c.advance)) {
      Report(line, "column item without a readable line advance skipped");
      return;
    }
    c.kind = CommandKind::kItem;
    c.text = std::string(v.substr(first + 1, last - first - 1));
    Emit(std::move(c));
  }

  ParsedPrintFile& out_;
  bool& device_seen_;
};

}  // namespace

void PrintFileParser::ParseLine(std::string_view line, ParsedPrintFile* out) {
  Parser(*out, device_seen_).ParseLine(++line_, std::string(line));
}

void PrintFileParser::Finish(bool cut_short, ParsedPrintFile* out) {
  Parser p(*out, device_seen_);
  if (!device_seen_) p.Report(line_ == 0 ? 0 : 1, "no DEVICE line; the default device is used");
  if (cut_short) {
    p.Report(line_, "the last line has no line end: the print file may have been cut short (its end may be missing)");
  }
}

ParsedPrintFile ParsePrintFile(std::string_view bytes) {
  ParsedPrintFile out;
  PrintFileParser parser;
  for (std::string_view line : platform::SplitLines(bytes)) parser.ParseLine(line, &out);
  parser.Finish(!bytes.empty() && bytes.back() != '\n', &out);
  return out;
}

bool ParseNumber(std::string_view text, int64_t* value) {
  std::string_view t = format::TrimBlanks(text);
  bool negative = false;
  if (!t.empty() && t.front() == '-') {
    negative = true;
    t.remove_prefix(1);
  }
  if (t.empty()) return false;
  int64_t v = 0;
  for (char ch : t) {
    if (ch < '0' || ch > '9') return false;
    v = v * 10 + (ch - '0');
    if (v > kNumberLimit) v = kNumberLimit;
  }
  *value = negative ? -v : v;
  return true;
}

bool ParseJustification(std::string_view spec, Justification* out) {
  *out = Justification{};
  std::string_view t = format::TrimBlanks(spec);
  if (t.empty()) return false;
  switch (platform::AsciiUpper(t.front())) {
    case 'E':
    case 'L':
      return true;
    case 'D':
    case 'R':
      out->kind = Justify::kRight;
      return true;
    case 'C':
      out->kind = Justify::kCentre;
      return true;
    case 'A':
    case 'B':
      out->kind = Justify::kBoth;
      return true;
    case 'N':
      break;
    default:
      return false;
  }
  // "N", the alignment column, a blank, then the character between two "\".
  out->kind = Justify::kDecimal;
  std::string_view rest = t.substr(1);
  std::size_t slash = rest.find('\\');
  std::string_view digits = format::TrimBlanks(rest.substr(0, slash));
  if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
  std::size_t n = 0;
  while (n < digits.size() && digits[n] >= '0' && digits[n] <= '9') ++n;
  int64_t column = 0;
  if (n > 0 && ParseNumber(digits.substr(0, n), &column)) out->column = column;
  if (slash != std::string_view::npos && slash + 1 < rest.size() && rest[slash + 1] != '\\') {
    out->align_char = rest[slash + 1];
  }
  return true;
}

}  // namespace zov::tools
