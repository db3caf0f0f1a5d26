// Lays the print file's commands out on pages of a fixed-pitch grid.
//
//   ParsedPrintFile parsed = ParsePrintFile(bytes);
//   Document doc = LayOut(parsed);     // doc.pages, doc.parts
//
// or, for a file of any length, one page in memory at a time:
//   PageLayout layout(sink, &diagnostics);
//   for (const Command& c : commands) layout.Feed(c);
//   layout.Finish();                   // sink got every page and part
//
// The grid: "PAGE n" starts a page of n lines; a column item is placed at its
// 1-based column of the current line (column 0 or below: where the previous
// item on the line ended), then the line advances by the item's advance. An
// item placed when the page is full begins a new page of the same length.
// Later items overwrite the cells of earlier ones they cover, blanks
// included. "*@e" and "*e" switch to bold, "*q" back to regular; the setting
// holds across pages until changed.
//
// Justification applies to the items that follow on the same print line and
// falls back to left at the next line or page:
//   left ("E"), right ("D") and both ("A"): the text is placed at its column
//     as it stands; the register pads its amounts to their width, so their
//     right edges already line up;
//   centred ("C"): the middle of the text stands on the item's column;
//   decimal ("N n \c\"): the text's first c stands on column n (its end
//     just before column n when it holds no c; the item's column when n is 0).
//
// Limits, so that no input makes memory or time run away: a page holds at
// most kMaxPageLines lines and a line at most kMaxLineWidth columns. Text
// beyond the widest line is cut and reported; a line may still grow past the
// nominal kPageColumns, and renderers then make that page's pitch smaller.
// Every clamp and cut is reported in `diagnostics`.
#ifndef ZOV_TOOLS_DOZUDIZI_PAGE_GRID_H_
#define ZOV_TOOLS_DOZUDIZI_PAGE_GRID_H_

#include <cstddef>
#include <string>
#include <vector>

#include "tools/dozudizi/print_file_parser.h"

namespace zov::tools {

// The register's page: 66 lines; its rightmost character (the sign of the
// withholding amount at column 122, 14 wide) stands in column 135.
inline constexpr int kDefaultPageLines = 66;
inline constexpr int kPageColumns = 136;
inline constexpr int kMaxPageLines = 250;
inline constexpr int kMaxLineWidth = 512;

// A run of text placed on a line; `start` is 0-based.
struct Segment {
  int start = 0;
  std::string text;  // code page 850, no control characters
  bool bold = false;
};

struct Row {
  int index = 0;  // 0-based line of the page
  std::vector<Segment> segments;  // in placing order; later ones win
};

struct Page {
  int length = kDefaultPageLines;
  std::vector<Row> rows;  // only lines with something placed, by rising index
};

// One line as it will be shown: a character and a bold flag per cell.
struct ComposedLine {
  std::string text;
  std::vector<bool> bold;
};
ComposedLine ComposeRow(const Row& row);

// The widest composed line of a page, in columns.
int PageWidth(const Page& page);

// The pages begun after one SEND line (or before the first one).
struct Part {
  std::string address;      // e-mail address, blanks trimmed; may be empty
  std::string name;         // owner's name, blanks trimmed
  std::size_t first_page = 0;
  std::size_t page_count = 0;
  int line = 0;             // the SEND line; 0 for pages before any SEND
};

struct Document {
  bool has_device = false;
  std::string device;       // as named by the DEVICE line, blanks trimmed
  std::vector<Page> pages;
  std::vector<Part> parts;  // parts without pages are left out
  std::vector<Diagnostic> diagnostics;  // the parser's, then the layout's
};

Document LayOut(const ParsedPrintFile& parsed);

// Receives the pages as the layout finishes them, in order.
class PageSink {
 public:
  virtual ~PageSink() = default;
  // The pages that follow belong to this SEND line's part; told just before
  // its first page (first_page counts the pages before it; page_count is 0).
  // A part without pages is reported instead.
  virtual void BeginPart(const Part& part) = 0;
  virtual void AddPage(const Page& page) = 0;
};

class PageLayout {
 public:
  // Problems are appended to *diagnostics, which must outlive the layout.
  PageLayout(PageSink& sink, std::vector<Diagnostic>* diagnostics) : sink_(sink), diagnostics_(*diagnostics) {}

  void Feed(const Command& c);
  // Hands on the last page; nothing may be fed afterwards.
  void Finish();

  bool has_device() const { return has_device_; }
  const std::string& device() const { return device_; }
  std::size_t pages() const { return pages_; }

 private:
  void Report(int line, std::string message);
  bool Untouched() const;
  void Emit();
  void StartPage(int length);
  void NewLine();
  void PageLine(const Command& c);
  void Control(const Command& c);
  void Send(const Command& c);
  void Item(const Command& c);
  void DropPendingPart();

  PageSink& sink_;
  std::vector<Diagnostic>& diagnostics_;
  bool has_device_ = false;
  std::string device_;
  Page page_;               // the page being filled, when open_
  bool open_ = false;
  bool any_page_ = false;   // a page was begun (page_.length is the last length)
  std::size_t pages_ = 0;   // pages handed on
  bool part_pending_ = false;
  Part pending_;            // the part whose first page has not come yet
  int row_ = 0;
  int pos_ = 0;
  bool bold_ = false;
  Justification justify_;
};

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DOZUDIZI_PAGE_GRID_H_
