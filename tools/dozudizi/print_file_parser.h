// The print file the register leaves for the spooler (dozudizi.tmp): its line
// kinds and a parser that turns its bytes into commands.
//
//   ParsedPrintFile p = ParsePrintFile(bytes);
//   for (const Diagnostic& d : p.diagnostics) ... report "line d.line: ..."
//
// Lines end in CRLF (a bare LF is accepted too); bytes are code page 850.
// A complete file ends with a line end. The parser never fails: a line it
// cannot read is reported in `diagnostics` with its 1-based line number and
// left out of `commands`.
#ifndef ZOV_TOOLS_DOZUDIZI_PRINT_FILE_PARSER_H_
#define ZOV_TOOLS_DOZUDIZI_PRINT_FILE_PARSER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/print_file_format.h"

namespace zov::tools {

// Line prefixes. A column item has none: it begins with its column number.
inline constexpr std::string_view kDevicePrefix = output::kDeviceTag;
inline constexpr std::string_view kPagePrefix = output::kPageTag;
inline constexpr std::string_view kJustifyPrefix = output::kJustificationTag;
inline constexpr std::string_view kControlPrefix = output::kControlTag;
inline constexpr std::string_view kSendPrefix = output::kSendTag;
// The separator between the e-mail address and the owner's name in SEND.
inline constexpr std::string_view kSendSeparator = ",,";

// Numbers larger than this in magnitude read as this (then the layout clamps).
inline constexpr int64_t kNumberLimit = 1'000'000'000;

struct Diagnostic {
  int line = 0;         // 1-based line of the print file; 0 for the file as a whole
  std::string message;  // ASCII, without the line number
};

enum class Justify { kLeft, kRight, kCentre, kBoth, kDecimal };

struct Justification {
  Justify kind = Justify::kLeft;
  int64_t column = 0;   // kDecimal: the column its character aligns on
  char align_char = 0;  // kDecimal: the character; 0 when the justification names none
};

enum class CommandKind { kDevice, kPage, kJustify, kControl, kSend, kItem };

struct Command {
  CommandKind kind = CommandKind::kItem;
  int line = 0;               // 1-based line number in the print file
  std::string text;           // device name, control code, SEND text or item text
  int64_t number = 0;         // kPage: page length; kItem: column
  int64_t advance = 0;        // kItem: lines to advance after the item
  Justification justify;      // kJustify
};

struct ParsedPrintFile {
  std::vector<Command> commands;
  std::vector<Diagnostic> diagnostics;
};

// The whole file at once. A file whose last line has no line end is reported:
// the register ends every line, so the file was cut short.
ParsedPrintFile ParsePrintFile(std::string_view bytes);

// The same, a line at a time, for files too large to hold at once.
class PrintFileParser {
 public:
  // Parses one line, given without its line end; its command and problems
  // are appended to *out.
  void ParseLine(std::string_view line, ParsedPrintFile* out);
  // After the last line; `cut_short` when that line had no line end.
  void Finish(bool cut_short, ParsedPrintFile* out);

 private:
  int line_ = 0;
  bool device_seen_ = false;
};

// Reads a number in the print file's number form: optional blanks, an
// optional "-", decimal digits, optional blanks. Magnitudes beyond
// kNumberLimit saturate. False when the text is anything else.
bool ParseNumber(std::string_view text, int64_t* value);

// Reads the text of a JUS line (the part after "JUS"). False when its letter
// is not one the writer produces; *out is then left-justified.
bool ParseJustification(std::string_view spec, Justification* out);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DOZUDIZI_PRINT_FILE_PARSER_H_
