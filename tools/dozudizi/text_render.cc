#include "tools/dozudizi/text_render.h"

namespace zov::tools {

std::string RenderText(const Cp850Text& cp, std::span<const Page> pages) {
  std::string out;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    if (p > 0) out += "\f\n";
    int next = 0;
    for (const Row& row : pages[p].rows) {
      for (; next < row.index; ++next) out += '\n';
      std::string text = ComposeRow(row).text;
      std::size_t end = text.find_last_not_of(' ');
      text.resize(end == std::string::npos ? 0 : end + 1);
      out += cp.ToUtf8(text);
      out += '\n';
      next = row.index + 1;
    }
  }
  return out;
}

}  // namespace zov::tools
