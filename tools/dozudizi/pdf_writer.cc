#include "tools/dozudizi/pdf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>

namespace zov::tools {
namespace {

// Landscape A4 in points.
constexpr float kSheetWidth = 841.89F;
constexpr float kSheetHeight = 595.28F;
constexpr float kMargin = 28.0F;         // left and right, points: about 1 cm
constexpr float kMarginV = 22.0F;        // top and bottom
constexpr float kCourierAdvance = 0.6F;  // every Courier glyph is 600/1000 em wide
constexpr float kLineToFont = 1.08F;     // font size per line pitch; Courier's glyphs fit in 0.8 em

// Objects 1 to 4 are fixed; page n (from 0) is object 5 + 2n, its content
// stream the next one.
constexpr uint64_t kCatalogObject = 1;
constexpr uint64_t kPagesObject = 2;
constexpr uint64_t kFirstPageObject = 5;
constexpr std::size_t kFlushSize = 1 << 18;

constexpr std::string_view kHeader = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";

void AppendNumber(std::string* out, float value) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  if (ec != std::errc()) return;
  out->append(buffer, end);
}

void AppendNumber(std::string* out, uint64_t value) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec == std::errc()) out->append(buffer, end);
}

// A PDF literal string: "(", ")" and "\" escaped; control characters never
// reach here (the grid holds none).
void AppendLiteral(std::string* out, std::string_view text) {
  out->push_back('(');
  for (char c : text) {
    if (c == '(' || c == ')' || c == '\\') out->push_back('\\');
    out->push_back(c);
  }
  out->push_back(')');
}

// Draws one page's grid as text operators.
class ContentBuilder {
 public:
  ContentBuilder(const Cp850Text& cp, std::string* out) : cp_(cp), out_(*out) {}

  void Write(const Page& grid) {
    const auto columns = static_cast<float>(std::max(kPageColumns, PageWidth(grid)));
    const auto lines = static_cast<float>(std::max(kDefaultPageLines, grid.length));
    const float pitch = (kSheetHeight - 2 * kMarginV) / lines;
    size_ = std::min(pitch * kLineToFont, (kSheetWidth - 2 * kMargin) / (columns * kCourierAdvance));
    cell_ = size_ * kCourierAdvance;
    const float left = (kSheetWidth - columns * cell_) / 2;
    // Baselines sit a fifth of a pitch above each line's bottom.
    const float top = kSheetHeight - kMarginV;

    out_ += "BT\n";
    for (const Row& row : grid.rows) {
      const float y = top - (static_cast<float>(row.index) + 0.8F) * pitch;
      ComposedLine line = ComposeRow(row);
      std::size_t i = 0;
      while (i < line.text.size()) {
        std::size_t j = i;
        while (j < line.text.size() && line.bold[j] == line.bold[i]) ++j;
        WriteRun(std::string_view(line.text).substr(i, j - i), line.bold[i], left + static_cast<float>(i) * cell_, y);
        i = j;
      }
    }
    out_ += "ET\n";
  }

 private:
  void WriteRun(std::string_view text, bool bold, float x, float y) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return;
    std::size_t e = text.find_last_not_of(' ');
    int font = bold ? 2 : 1;
    if (font != font_) {
      out_ += bold ? "/F2 " : "/F1 ";
      AppendNumber(&out_, size_);
      out_ += " Tf\n";
      font_ = font;
    }
    out_ += "1 0 0 1 ";
    AppendNumber(&out_, x + static_cast<float>(b) * cell_);
    out_ += ' ';
    AppendNumber(&out_, y);
    out_ += " Tm ";
    AppendLiteral(&out_, cp_.ToWinAnsi(text.substr(b, e - b + 1)));
    out_ += " Tj\n";
  }

  const Cp850Text& cp_;
  std::string& out_;
  int font_ = 0;
  float size_ = 10;
  float cell_ = 6;
};

}  // namespace

platform::Status EncodePage(const Cp850Text& cp, const Page& grid, PdfPage* out) {
  std::string plain;
  ContentBuilder(cp, &plain).Write(grid);
  uLongf size = compressBound(static_cast<uLong>(plain.size()));
  out->content.resize(size);
  int rc = compress2(reinterpret_cast<Bytef*>(out->content.data()), &size,
                     reinterpret_cast<const Bytef*>(plain.data()), static_cast<uLong>(plain.size()), 6);
  if (rc != Z_OK) {
    out->content.clear();
    return platform::Status::IoError("cannot compress a PDF page (zlib error " + std::to_string(rc) + ")");
  }
  out->content.resize(size);
  return platform::Status::Ok();
}

PdfWriter::PdfWriter(std::function<platform::Status(std::string_view)> write) : write_(std::move(write)) {}

platform::Status PdfWriter::Flush() {
  if (status_.ok() && !buffer_.empty()) status_ = write_(buffer_);
  buffer_.clear();
  return status_;
}

platform::Status PdfWriter::Emit(std::string_view bytes) {
  buffer_ += bytes;
  offset_ += bytes.size();
  return buffer_.size() >= kFlushSize ? Flush() : status_;
}

void PdfWriter::BeginObject(uint64_t number) {
  if (object_offsets_.size() < number) object_offsets_.resize(number);
  object_offsets_[number - 1] = offset_;
  std::string head;
  AppendNumber(&head, number);
  head += " 0 obj\n";
  Emit(head).IgnoreError();
}

platform::Status PdfWriter::AddPage(const PdfPage& page) {
  if (!status_.ok()) return status_;
  if (offset_ == 0) {
    Emit(kHeader).IgnoreError();
    BeginObject(kCatalogObject);
    Emit("<<\n/Type /Catalog\n/Pages 2 0 R\n>>\nendobj\n").IgnoreError();
    BeginObject(3);
    Emit("<<\n/Type /Font\n/Subtype /Type1\n/BaseFont /Courier\n/Encoding /WinAnsiEncoding\n>>\nendobj\n").IgnoreError();
    BeginObject(4);
    Emit("<<\n/Type /Font\n/Subtype /Type1\n/BaseFont /Courier-Bold\n/Encoding /WinAnsiEncoding\n>>\nendobj\n")
        .IgnoreError();
  }
  const uint64_t number = kFirstPageObject + 2 * pages_;
  std::string text;
  text += "<<\n/Type /Page\n/Parent 2 0 R\n/MediaBox [0 0 ";
  AppendNumber(&text, kSheetWidth);
  text += ' ';
  AppendNumber(&text, kSheetHeight);
  text += "]\n/Resources << /Font << /F1 3 0 R /F2 4 0 R >> >>\n/Contents ";
  AppendNumber(&text, number + 1);
  text += " 0 R\n>>\nendobj\n";
  BeginObject(number);
  Emit(text).IgnoreError();
  text = "<<\n/Length ";
  AppendNumber(&text, static_cast<uint64_t>(page.content.size()));
  text += "\n/Filter /FlateDecode\n>>\nstream\n";
  BeginObject(number + 1);
  Emit(text).IgnoreError();
  Emit(page.content).IgnoreError();
  ++pages_;
  return Emit("\nendstream\nendobj\n");
}

platform::Status PdfWriter::Finish() {
  if (pages_ == 0) {
    PdfPage blank;
    if (platform::Status s = EncodePage(Cp850Text(), Page{}, &blank); !s.ok()) return s;
    if (platform::Status s = AddPage(blank); !s.ok()) return s;
  }
  if (!status_.ok()) return status_;
  BeginObject(kPagesObject);
  std::string text = "<<\n/Type /Pages\n/Count ";
  AppendNumber(&text, pages_);
  text += "\n/Kids [";
  for (uint64_t i = 0; i < pages_; ++i) {
    if (i % 8 == 0) text += '\n';
    AppendNumber(&text, kFirstPageObject + 2 * i);
    text += " 0 R ";
    if (text.size() >= kFlushSize) {
      Emit(text).IgnoreError();
      text.clear();
    }
  }
  text += "\n]\n>>\nendobj\n";
  Emit(text).IgnoreError();

  const uint64_t xref = offset_;
  text = "xref\n0 ";
  AppendNumber(&text, static_cast<uint64_t>(object_offsets_.size() + 1));
  text += "\n0000000000 65535 f \n";
  for (uint64_t at : object_offsets_) {
    std::string digits;
    AppendNumber(&digits, at);
    text.append(10 - std::min<std::size_t>(digits.size(), 10), '0');
    text += digits;
    text += " 00000 n \n";
    if (text.size() >= kFlushSize) {
      Emit(text).IgnoreError();
      text.clear();
    }
  }
  text += "trailer\n<<\n/Size ";
  AppendNumber(&text, static_cast<uint64_t>(object_offsets_.size() + 1));
  text += "\n/Root 1 0 R\n>>\nstartxref\n";
  AppendNumber(&text, xref);
  text += "\n%%EOF\n";
  Emit(text).IgnoreError();
  return Flush();
}

platform::Status RenderPdf(const Cp850Text& cp, std::span<const Page> pages, std::string* pdf) {
  pdf->clear();
  std::string out;
  PdfWriter writer([&](std::string_view bytes) {
    out += bytes;
    return platform::Status::Ok();
  });
  PdfPage page;
  for (const Page& grid : pages) {
    if (platform::Status s = EncodePage(cp, grid, &page); !s.ok()) return s;
    if (platform::Status s = writer.AddPage(page); !s.ok()) return s;
  }
  if (platform::Status s = writer.Finish(); !s.ok()) return s;
  *pdf = std::move(out);
  return platform::Status::Ok();
}

}  // namespace zov::tools
