// A progress bar on one line of standard error, redrawn in place, for a
// person who watches: drawn only when told the stream is a terminal
// (platform::StandardErrorIsTerminal), so that logs and pipes get nothing
// but the run's messages.
//
//   ProgressBar bar(err, "dozudizi", platform::StandardErrorIsTerminal());
//   bar.Show(bytes_read, file_size);             // dozudizi [#####     ]  50 %
//   bar.Show(owners_done, owners, "owners");     // ... 50 %  12 of 24 owners
//   bar.Clear();                                 // before the summary line
#ifndef ZOV_TOOLS_SUPPORT_PROGRESS_BAR_H_
#define ZOV_TOOLS_SUPPORT_PROGRESS_BAR_H_

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace zov::tools {

class ProgressBar {
 public:
  ProgressBar(std::ostream& out, std::string label, bool on_terminal);
  // Clears the bar.
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // `done` of `total`; redrawn when the percentage (or, with `unit`, the
  // count) changes. With `unit`, the line adds "12 of 24 owners".
  void Show(uint64_t done, uint64_t total, std::string_view unit = {});
  // Blanks the bar's line, so that what follows starts clean.
  void Clear();

 private:
  std::ostream& out_;
  const std::string label_;
  const bool on_terminal_;
  std::string shown_;      // the line drawn last, empty when none
  std::size_t width_ = 0;  // the widest line drawn since the last Clear
};

}  // namespace zov::tools

#endif  // ZOV_TOOLS_SUPPORT_PROGRESS_BAR_H_
