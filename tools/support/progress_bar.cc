#include "tools/support/progress_bar.h"

#include <algorithm>
#include <ostream>

namespace zov::tools {
namespace {

constexpr std::size_t kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(std::ostream& out, std::string label, bool on_terminal)
    : out_(out), label_(std::move(label)), on_terminal_(on_terminal) {}

ProgressBar::~ProgressBar() { Clear(); }

void ProgressBar::Show(uint64_t done, uint64_t total, std::string_view unit) {
  if (!on_terminal_) return;
  if (done > total) done = total;
  const uint64_t percent = total == 0 ? 100 : done * 100 / total;
  const auto filled = static_cast<std::size_t>(total == 0 ? kBarWidth : done * kBarWidth / total);
  std::string line = label_ + " [" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') + "] " +
                     (percent < 10 ? "  " : percent < 100 ? " " : "") + std::to_string(percent) + " %";
  if (!unit.empty()) line += "  " + std::to_string(done) + " of " + std::to_string(total) + " " + std::string(unit);
  if (line == shown_) return;
  // A shorter line than the widest drawn would leave its end behind.
  width_ = std::max(width_, line.size());
  out_ << '\r' << line << std::string(width_ - line.size(), ' ') << std::flush;
  shown_ = std::move(line);
}

void ProgressBar::Clear() {
  if (width_ == 0) return;
  out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
  shown_.clear();
  width_ = 0;
}

}  // namespace zov::tools
