// Pages as plain UTF-8 text, for terminals, text files and tests.
//
// Each page is written from its first line to its last line with text, one
// text line per grid line with the trailing blanks removed; a line holding a
// single form feed separates two pages. Bold has no form in plain text.
#ifndef ZOV_TOOLS_DOZUDIZI_TEXT_RENDER_H_
#define ZOV_TOOLS_DOZUDIZI_TEXT_RENDER_H_

#include <span>
#include <string>

#include "tools/dozudizi/cp850.h"
#include "tools/dozudizi/page_grid.h"

namespace zov::tools {

std::string RenderText(const Cp850Text& cp, std::span<const Page> pages);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DOZUDIZI_TEXT_RENDER_H_
