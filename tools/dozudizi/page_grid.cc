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

class Layouter {
 public:
  explicit Layouter(const ParsedPrintFile& parsed) { doc_.diagnostics = parsed.diagnostics; }

  Document Run(const std::vector<Command>& commands) {
    for (const Command& c : commands) {
      switch (c.kind) {
        case CommandKind::kDevice:
          doc_.has_device = true;
          doc_.device = c.text;
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
    Finish();
    return std::move(doc_);
  }

 private:
  void Report(int line, std::string message) { doc_.diagnostics.push_back(Diagnostic{line, std::move(message)}); }

  bool HavePage() const { return !doc_.pages.empty(); }
  Page& Current() { return doc_.pages.back(); }
  // A page with nothing on it and no line advanced can still take a new
  // length or a new owner instead of leaving a blank sheet behind.
  bool CurrentUntouched() const { return HavePage() && !closed_ && doc_.pages.back().rows.empty() && row_ == 0; }

  void StartPage(int length) {
    if (CurrentUntouched()) {
      Current().length = length;
    } else {
      doc_.pages.push_back(Page{length, {}});
    }
    closed_ = false;
    row_ = 0;
    NewLine();
  }

  void NewLine() {
    pos_ = 0;
    justify_ = Justification{};
  }

  void PageLine(const Command& c) {
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

  void Control(const Command& c) {
    if (c.text == "@e" || c.text == "e") {
      bold_ = true;
    } else if (c.text == "q") {
      bold_ = false;
    } else {
      Report(c.line, "control code \"" + Printable(c.text) + "\" not known; ignored");
    }
  }

  void Send(const Command& c) {
    std::string_view text = c.text;
    std::size_t sep = text.find(kSendSeparator);
    Part part;
    part.line = c.line;
    part.address = std::string(format::TrimBlanks(text.substr(0, sep)));
    if (sep != std::string_view::npos) part.name = std::string(format::TrimBlanks(text.substr(sep + kSendSeparator.size())));
    // Each owner's pages are a document of their own: never share a sheet.
    if (CurrentUntouched()) {
      part.first_page = doc_.pages.size() - 1;
    } else {
      part.first_page = doc_.pages.size();
      closed_ = HavePage();
    }
    doc_.parts.push_back(std::move(part));
  }

  void Item(const Command& c) {
    if (!HavePage() || closed_ || row_ >= Current().length) {
      StartPage(HavePage() ? Current().length : kDefaultPageLines);
    }
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
      if (length > 0) Report(c.line, "text at column " + std::to_string(start + 1) + " lies beyond column " + std::to_string(kMaxLineWidth) + "; not printed");
      placed = 0;
      start = kMaxLineWidth;
    } else if (start + length > kMaxLineWidth) {
      placed = kMaxLineWidth - start;
      Report(c.line, "text cut at column " + std::to_string(kMaxLineWidth) + " (" + std::to_string(length - placed) + " characters lost)");
    }
    if (placed > 0) {
      Page& page = Current();
      if (page.rows.empty() || page.rows.back().index != row_) page.rows.push_back(Row{row_, {}});
      page.rows.back().segments.push_back(
          Segment{static_cast<int>(start), c.text.substr(0, static_cast<std::size_t>(placed)), bold_});
    }
    pos_ = static_cast<int>(start + placed);

    int64_t advance = c.advance;
    if (advance < 0) {
      Report(c.line, "negative line advance " + std::to_string(advance) + " read as 0");
      advance = 0;
    } else if (advance > Current().length) {
      Report(c.line, "line advance " + std::to_string(advance) + " is longer than the page; the page ends here");
    }
    if (advance > 0) {
      row_ = static_cast<int>(std::min<int64_t>(row_ + advance, Current().length));
      NewLine();
    }
  }

  void Finish() {
    if (HavePage() && doc_.pages.back().rows.empty() && row_ == 0) doc_.pages.pop_back();
    const std::size_t total = doc_.pages.size();
    std::vector<Part> parts;
    std::size_t first_owned = doc_.parts.empty() ? total : doc_.parts.front().first_page;
    if (first_owned > 0) parts.push_back(Part{"", "", 0, std::min(first_owned, total), 0});
    for (std::size_t i = 0; i < doc_.parts.size(); ++i) {
      Part p = std::move(doc_.parts[i]);
      std::size_t end = i + 1 < doc_.parts.size() ? doc_.parts[i + 1].first_page : total;
      p.first_page = std::min(p.first_page, total);
      p.page_count = std::min(end, total) - p.first_page;
      if (p.page_count == 0) {
        Report(p.line, "SEND line without pages after it; nothing to send");
        continue;
      }
      parts.push_back(std::move(p));
    }
    doc_.parts = std::move(parts);
  }

  Document doc_;
  int row_ = 0;
  int pos_ = 0;
  bool bold_ = false;
  bool closed_ = false;
  Justification justify_;
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

Document LayOut(const ParsedPrintFile& parsed) { return Layouter(parsed).Run(parsed.commands); }

}  // namespace zov::tools
