// Code page 850 text converted for the output edges: UTF-8 for terminals and
// text files, the PDF standard fonts' WinAnsi (code page 1252) encoding for
// PDF pages.
//
//   Cp850Text cp;
//   if (Status s = cp.Init(); !s.ok()) ...;
//   std::string utf8 = cp.ToUtf8("RETENCI\xE0 ");   // "RETENCIÓ "
//
// The tables are built once (UTF-8 from the platform's code page table,
// WinAnsi through the system's iconv); every byte has an
// entry, so conversion never fails afterwards. Control characters become
// blanks, and a character the target lacks becomes its nearest look-alike
// or "?".
#ifndef ZOV_TOOLS_DOZUDIZI_CP850_H_
#define ZOV_TOOLS_DOZUDIZI_CP850_H_

#include <array>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace zov::tools {

class Cp850Text {
 public:
  // Builds the tables. Fails, saying why, when iconv lacks one of the code
  // pages; the object must then not be used.
  platform::Status Init();

  std::string ToUtf8(std::string_view cp850) const;
  std::string ToWinAnsi(std::string_view cp850) const;
  // How many characters of `cp850` ToWinAnsi shows as "?" though they are
  // not "?" (box drawing, blocks: what the PDF fonts lack).
  std::size_t CountNotInWinAnsi(std::string_view cp850) const;

 private:
  std::array<std::string, 256> utf8_;
  std::array<char, 256> win_ansi_{};
};

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DOZUDIZI_CP850_H_
