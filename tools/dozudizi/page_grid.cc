#include "tools/dozudizi/page_grid.h"

#include <algorithm>
#include <string>
#include <utility>

#include "format/chars.h"

namespace zov::tools {
namespace {

// A control code as ASCII for a message: other bytes as \xNN.
std::string Printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text.substr(0, 40)) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F) {
      out += c;
    } else {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    }
  }
  return out;
}

// Gathers the layout's output into a Document.
class DocumentSink : public PageSink {
 public:
  explicit DocumentSink(Document* doc) : doc_(*doc) {}
  void BeginPart(const Part& part) override {
    doc_.parts.push_back(part);
    doc_.parts.back().first_page = doc_.pages.size();
  }
  void AddPage(const Page& page) override {
    if (doc_.parts.empty()) doc_.parts.push_back(Part{"", "", 0, 0, 0});
    doc_.pages.push_back(page);
    ++doc_.parts.back().page_count;
  }

 private:
  Document& doc_;
};

}  // namespace

ComposedLine ComposeRow(const Row& row) {
  std::size_t width = 0;
  for (const Segment& s : row.segments) width = std::max(width, static_cast<std::size_t>(s.start) + s.text.size());
  ComposedLine line{std::string(width, ' '), std::vector<bool>(width, false)};
  for (const Segment& s : row.segments) {
    std::copy(s.text.begin(), s.text.end(), line.text.begin() + s.start);
    std::fill_n(line.bold.begin() + s.start, s.text.size(), s.bold);
  }
  return line;
}

int PageWidth(const Page& page) {
  int width = 0;
  for (const Row& row : page.rows) {
    for (const Segment& s : row.segments) width = std::max(width, s.start + static_cast<int>(s.text.size()));
  }
  return width;
}

void PageLayout::Report(int line, std::string message) {
  diagnostics_.push_back(Diagnostic{line, std::move(message)});
}

// A page with nothing on it and no line advanced can still take a new length
// or a new owner instead of leaving a blank sheet behind.
bool PageLayout::Untouched() const { return open_ && page_.rows.empty() && row_ == 0; }

void PageLayout::Emit() {
  if (part_pending_) {
    pending_.first_page = pages_;
    sink_.BeginPart(pending_);
    part_pending_ = false;
  }
  sink_.AddPage(page_);
  ++pages_;
  open_ = false;
}

void PageLayout::Feed(const Command& c) {
  switch (c.kind) {
    case CommandKind::kDevice:
      has_device_ = true;
      device_ = c.text;
      break;
    case CommandKind::kPage:
      PageLine(c);
      break;
    case CommandKind::kJustify:
      justify_ = c.justify;
      break;
    case CommandKind::kControl:
      Control(c);
      break;
    case CommandKind::kSend:
      Send(c);
      break;
    case CommandKind::kItem:
      Item(c);
      break;
  }
}

void PageLayout::StartPage(int length) {
  if (!Untouched()) {
    if (open_) Emit();
    page_.rows.clear();
  }
  page_.length = length;
  open_ = true;
  any_page_ = true;
  row_ = 0;
  NewLine();
}

void PageLayout::NewLine() {
  pos_ = 0;
  justify_ = Justification{};
}

void PageLayout::PageLine(const Command& c) {
  int length = kDefaultPageLines;
  if (c.number < 1) {
    Report(c.line, "page length " + std::to_string(c.number) + " read as " + std::to_string(kDefaultPageLines));
  } else if (c.number > kMaxPageLines) {
    Report(c.line, "page length " + std::to_string(c.number) + " cut to " + std::to_string(kMaxPageLines));
    length = kMaxPageLines;
  } else {
    length = static_cast<int>(c.number);
  }
  StartPage(length);
}

void PageLayout::Control(const Command& c) {
  if (c.text == "@e" || c.text == "e") {
    bold_ = true;
  } else if (c.text == "q") {
    bold_ = false;
  } else {
    Report(c.line, "control code \"" + Printable(c.text) + "\" not known; ignored");
  }
}

void PageLayout::DropPendingPart() {
  if (part_pending_) Report(pending_.line, "SEND line without pages after it; nothing to send");
  part_pending_ = false;
}

void PageLayout::Send(const Command& c) {
  std::string_view text = c.text;
  std::size_t sep = text.find(kSendSeparator);
  // Each owner's pages are a document of their own: never share a sheet. An
  // untouched page goes to the new owner.
  if (open_ && !Untouched()) Emit();
  DropPendingPart();
  pending_ = Part{};
  pending_.line = c.line;
  pending_.address = std::string(format::TrimBlanks(text.substr(0, sep)));
  if (sep != std::string_view::npos) {
    pending_.name = std::string(format::TrimBlanks(text.substr(sep + kSendSeparator.size())));
  }
  part_pending_ = true;
}

void PageLayout::Item(const Command& c) {
  if (!open_ || row_ >= page_.length) StartPage(any_page_ ? page_.length : kDefaultPageLines);
  const int64_t anchor = c.number >= 1 ? c.number - 1 : pos_;
  const auto length = static_cast<int64_t>(c.text.size());
  int64_t start = anchor;
  if (justify_.kind == Justify::kCentre) {
    start = anchor - length / 2;
  } else if (justify_.kind == Justify::kDecimal) {
    int64_t at = justify_.column >= 1 ? justify_.column - 1 : anchor;
    std::size_t mark = justify_.align_char == 0 ? std::string::npos : c.text.find(justify_.align_char);
    start = at - (mark == std::string::npos ? length : static_cast<int64_t>(mark));
  }
  start = std::max<int64_t>(start, 0);

  int64_t placed = length;
  if (start >= kMaxLineWidth) {
    if (length > 0) {
      Report(c.line, "text at column " + std::to_string(start + 1) + " lies beyond column " +
                         std::to_string(kMaxLineWidth) + "; not printed");
    }
    placed = 0;
    start = kMaxLineWidth;
  } else if (start + length > kMaxLineWidth) {
    placed = kMaxLineWidth - start;
    Report(c.line, "text cut at column " + std::to_string(kMaxLineWidth) + " (" + std::to_string(length - placed) +
                       " characters lost)");
  }
  if (placed > 0) {
    if (page_.rows.empty() || page_.rows.back().index != row_) page_.rows.push_back(Row{row_, {}});
    page_.rows.back().segments.push_back(
        Segment{static_cast<int>(start), c.text.substr(0, static_cast<std::size_t>(placed)), bold_});
  }
  pos_ = static_cast<int>(start + placed);

  int64_t advance = c.advance;
  if (advance < 0) {
    Report(c.line, "negative line advance " + std::to_string(advance) + " read as 0");
    advance = 0;
  } else if (advance > page_.length) {
    Report(c.line, "line advance " + std::to_string(advance) + " is longer than the page; the page ends here");
  }
  if (advance > 0) {
    row_ = static_cast<int>(std::min<int64_t>(row_ + advance, page_.length));
    NewLine();
  }
}

void PageLayout::Finish() {
  if (open_ && !Untouched()) Emit();
  open_ = false;
  DropPendingPart();
}

Document LayOut(const ParsedPrintFile& parsed) {
  Document doc;
  doc.diagnostics = parsed.diagnostics;
  DocumentSink sink(&doc);
  PageLayout layout(sink, &doc.diagnostics);
  for (const Command& c : parsed.commands) layout.Feed(c);
  layout.Finish();
  doc.has_device = layout.has_device();
  doc.device = layout.device();
  return doc;
}

}  // namespace zov::tools
