// Pages as a PDF document, written out while they come so that memory holds
// one page whatever the document's length: landscape A4, the standard
// Courier and Courier-Bold fonts (no font files needed), one grid cell per
// character.
//
//   PdfWriter pdf([&](std::string_view bytes) { return file->Append(bytes); });
//   PdfPage page;
//   EncodePage(cp, grid, &page);          // once, for every document it goes to
//   s = pdf.AddPage(page); ... s = pdf.Finish();
//
// A page's pitch is the largest that fits kPageColumns columns and
// kDefaultPageLines lines (or more, when the page is wider or longer) inside
// a margin of about 1 cm; the grid is centred across the sheet. A document
// without pages holds one blank page. The bytes depend only on the pages (no
// dates or random identifiers in them), and the page count has no limit.
#ifndef ZOV_TOOLS_DOZUDIZI_PDF_WRITER_H_
#define ZOV_TOOLS_DOZUDIZI_PDF_WRITER_H_

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "tools/dozudizi/cp850.h"
#include "tools/dozudizi/page_grid.h"

namespace zov::tools {

// A page's drawing, compressed: the same bytes serve every document the
// page goes to (the register and its owner's PDF).
struct PdfPage {
  std::string content;  // the page's content stream, deflated
};

[[nodiscard]] platform::Status EncodePage(const Cp850Text& cp, const Page& grid, PdfPage* out);

class PdfWriter {
 public:
  // `write` receives the document's bytes in order, in pieces of any size;
  // its first failure ends the document and is returned from then on.
  explicit PdfWriter(std::function<platform::Status(std::string_view)> write);

  [[nodiscard]] platform::Status AddPage(const PdfPage& page);
  // Writes the page tree and the cross-reference table; nothing may follow.
  [[nodiscard]] platform::Status Finish();

  uint64_t pages() const { return pages_; }

 private:
  platform::Status Emit(std::string_view bytes);
  platform::Status Flush();
  void BeginObject(uint64_t number);

  std::function<platform::Status(std::string_view)> write_;
  platform::Status status_;
  std::string buffer_;           // bytes not yet handed to write_
  uint64_t offset_ = 0;          // bytes of the document so far
  std::vector<uint64_t> object_offsets_;  // by object number - 1
  uint64_t pages_ = 0;
};

// The whole document in a string, for small documents and tests.
[[nodiscard]] platform::Status RenderPdf(const Cp850Text& cp, std::span<const Page> pages, std::string* pdf);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DOZUDIZI_PDF_WRITER_H_
