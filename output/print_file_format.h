// The print file that the spooler reads (dozudizi.tmp in TempDir): code page
// 850 text, every line ended by CR LF. Line kinds:
//   DEVICE<device>            first line: the output device
//   PAGE<n>                   a page of n lines begins
//   JUS<justification>        justification of the following column items
//   *<code>                   a control code passed to the spooler
//   SEND<addressee>           mail the following pages
//   <column>,<text>,<advance> a column item: text at a 1-based column (0 =
//                             the current position), then advance lines
// Numbers (<n>, <column>, <advance>) are in number text form: " " or "-",
// the digits, " ". The text of a column item is everything between the
// first and the last comma of its line.
#ifndef ZOV_OUTPUT_PRINT_FILE_FORMAT_H_
#define ZOV_OUTPUT_PRINT_FILE_FORMAT_H_

#include <string_view>

namespace zov::output {

inline constexpr std::string_view kPrintFileName = "dozudizi.tmp";
inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kDeviceTag = "DEVICE";
inline constexpr std::string_view kPageTag = "PAGE";
inline constexpr std::string_view kJustificationTag = "JUS";
inline constexpr std::string_view kControlTag = "*";
inline constexpr std::string_view kSendTag = "SEND";
inline constexpr char kItemSeparator = ',';

}  // namespace zov::output

#endif  // ZOV_OUTPUT_PRINT_FILE_FORMAT_H_
