#include "tools/dozudizi/pdf_render.h"

#include <hpdf.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace zov::tools {
namespace {

constexpr HPDF_REAL kMargin = 28.0F;         // left and right, points: about 1 cm
constexpr HPDF_REAL kMarginV = 22.0F;        // top and bottom
constexpr HPDF_REAL kCourierAdvance = 0.6F;  // every Courier glyph is 600/1000 em wide
constexpr HPDF_REAL kLineToFont = 1.08F;     // font size per line pitch; Courier's glyphs fit in 0.8 em

// The library reports errors through this handler; the first one is kept
// and every call after it is treated as failed.
struct PdfError {
  HPDF_STATUS error = HPDF_OK;
  HPDF_STATUS detail = 0;
};

void OnPdfError(HPDF_STATUS error, HPDF_STATUS detail, void* user_data) {
  auto* e = static_cast<PdfError*>(user_data);
  if (e->error == HPDF_OK) {
    e->error = error;
    e->detail = detail;
  }
}

struct DocDeleter {
  void operator()(HPDF_Doc doc) const { HPDF_Free(doc); }
};
using DocPtr = std::unique_ptr<std::remove_pointer_t<HPDF_Doc>, DocDeleter>;

platform::Status Failed(const PdfError& e, const char* what) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "PDF library error 0x%04X (detail %u) while %s", static_cast<unsigned>(e.error),
                static_cast<unsigned>(e.detail), what);
  return platform::Status::IoError(buffer);
}

class PageWriter {
 public:
  PageWriter(const Cp850Text& cp, HPDF_Page page, HPDF_Font regular, HPDF_Font bold)
      : cp_(cp), page_(page), regular_(regular), bold_(bold) {}

  void Write(const Page& grid) {
    const HPDF_REAL width = HPDF_Page_GetWidth(page_);
    const HPDF_REAL height = HPDF_Page_GetHeight(page_);
    const auto columns = static_cast<HPDF_REAL>(std::max(kPageColumns, PageWidth(grid)));
    const auto lines = static_cast<HPDF_REAL>(std::max(kDefaultPageLines, grid.length));
    const HPDF_REAL pitch = (height - 2 * kMarginV) / lines;
    size_ = std::min(pitch * kLineToFont, (width - 2 * kMargin) / (columns * kCourierAdvance));
    cell_ = size_ * kCourierAdvance;
    const HPDF_REAL left = (width - columns * cell_) / 2;
    // Baselines sit a fifth of a pitch above each line's bottom.
    const HPDF_REAL top = height - kMarginV;

    HPDF_Page_BeginText(page_);
    for (const Row& row : grid.rows) {
      const HPDF_REAL y = top - (static_cast<HPDF_REAL>(row.index) + 0.8F) * pitch;
      ComposedLine line = ComposeRow(row);
      std::size_t i = 0;
      while (i < line.text.size()) {
        std::size_t j = i;
        while (j < line.text.size() && line.bold[j] == line.bold[i]) ++j;
        WriteRun(line.text.substr(i, j - i), line.bold[i], left + static_cast<HPDF_REAL>(i) * cell_, y);
        i = j;
      }
    }
    HPDF_Page_EndText(page_);
  }

 private:
  void WriteRun(std::string_view text, bool bold, HPDF_REAL x, HPDF_REAL y) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return;
    std::size_t e = text.find_last_not_of(' ');
    HPDF_Font font = bold ? bold_ : regular_;
    if (font != current_) {
      HPDF_Page_SetFontAndSize(page_, font, size_);
      current_ = font;
    }
    std::string ansi = cp_.ToWinAnsi(text.substr(b, e - b + 1));
    HPDF_Page_TextOut(page_, x + static_cast<HPDF_REAL>(b) * cell_, y, ansi.c_str());
  }

  const Cp850Text& cp_;
  HPDF_Page page_;
  HPDF_Font regular_;
  HPDF_Font bold_;
  HPDF_Font current_ = nullptr;
  HPDF_REAL size_ = 10;
  HPDF_REAL cell_ = 6;
};

}  // namespace

platform::Status RenderPdf(const Cp850Text& cp, std::span<const Page> pages, std::string* pdf) {
  pdf->clear();
  PdfError error;
  DocPtr doc(HPDF_New(OnPdfError, &error));
  if (!doc) return platform::Status::IoError("PDF library: cannot create a document (out of memory)");
  HPDF_SetCompressionMode(doc.get(), HPDF_COMP_ALL);
  HPDF_Font regular = HPDF_GetFont(doc.get(), "Courier", "WinAnsiEncoding");
  HPDF_Font bold = HPDF_GetFont(doc.get(), "Courier-Bold", "WinAnsiEncoding");
  if (error.error != HPDF_OK) return Failed(error, "loading the Courier fonts");

  const Page blank;
  std::span<const Page> grids = pages.empty() ? std::span<const Page>(&blank, 1) : pages;
  for (const Page& grid : grids) {
    HPDF_Page page = HPDF_AddPage(doc.get());
    if (error.error != HPDF_OK) return Failed(error, "adding a page");
    HPDF_Page_SetSize(page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_LANDSCAPE);
    PageWriter(cp, page, regular, bold).Write(grid);
    if (error.error != HPDF_OK) return Failed(error, "writing a page");
  }

  HPDF_SaveToStream(doc.get());
  if (error.error != HPDF_OK) return Failed(error, "saving the document");
  std::string out(HPDF_GetStreamSize(doc.get()), '\0');
  HPDF_ResetStream(doc.get());
  std::size_t filled = 0;
  while (filled < out.size()) {
    auto chunk = static_cast<HPDF_UINT32>(std::min<std::size_t>(out.size() - filled, 1u << 20));
    HPDF_STATUS rc = HPDF_ReadFromStream(doc.get(), reinterpret_cast<HPDF_BYTE*>(out.data() + filled), &chunk);
    filled += chunk;
    if (rc == HPDF_STREAM_EOF || chunk == 0) break;
    if (rc != HPDF_OK) return Failed(error, "reading the saved document");
  }
  if (filled != out.size()) return platform::Status::IoError("PDF library: saved document shorter than announced");
  *pdf = std::move(out);
  return platform::Status::Ok();
}

}  // namespace zov::tools
