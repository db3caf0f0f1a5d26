// Pages as a PDF document: landscape A4, the standard Courier and
// Courier-Bold fonts (no font files needed), one grid cell per character.
//
//   std::string pdf;
//   platform::Status s = RenderPdf(cp, doc.pages, &pdf);
//
// A page's pitch is the largest that fits kPageColumns columns and
// kDefaultPageLines lines (or more, when the page is wider or longer) inside
// a margin of about 1 cm; the grid is centred across the sheet. With no
// pages the document holds one blank page. The bytes depend only on the
// pages (no dates or random identifiers in them).
#ifndef ZOV_TOOLS_DOZUDIZI_PDF_RENDER_H_
#define ZOV_TOOLS_DOZUDIZI_PDF_RENDER_H_

#include <span>
#include <string>

#include "platform/status.h"
#include "tools/dozudizi/cp850.h"
#include "tools/dozudizi/page_grid.h"

namespace zov::tools {

// Fills *pdf with the document; on failure *pdf is empty and the status
// names the PDF library's error number.
[[nodiscard]] platform::Status RenderPdf(const Cp850Text& cp, std::span<const Page> pages, std::string* pdf);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DOZUDIZI_PDF_RENDER_H_
