// dozudizi: the suite's spooler. Started without arguments after the
// register has closed its print file; see spooler.h for what it does.
// Exit code 0 when everything was printed, 1 when the print file could not
// be read or an output not written, 2 when lines of the print file had to be
// skipped or changed (each is listed on standard error).
//
// On a terminal, standard error shows a progress bar while the print file is
// read; at the end one summary line says how many pages went where.
#include <cstdio>
#include <memory>
#include <string>

#include "platform/env.h"
#include "platform/posix_env.h"
#include "platform/posix_file_system.h"
#include "platform/standard_streams.h"
#include "tools/dozudizi/spooler.h"

namespace {

constexpr int kBarWidth = 40;

// Redraws the bar in place when the percentage changes.
class ProgressBar {
 public:
  void Show(uint64_t done, uint64_t total) {
    const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
    if (percent == shown_) return;
    shown_ = percent;
    const int filled = percent * kBarWidth / 100;
    std::string bar = "\rdozudizi [" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] " +
                      std::to_string(percent) + "%";
    std::fputs(bar.c_str(), stderr);
    std::fflush(stderr);
  }
  // Clears the bar's line, so the messages after it start clean.
  void Clear() {
    if (shown_ < 0) return;
    std::fprintf(stderr, "\r%*s\r", kBarWidth + 16, "");
    std::fflush(stderr);
  }

 private:
  int shown_ = -1;
};

}  // namespace

int main() {
  using namespace zov;
  std::unique_ptr<platform::FileSystem> fs = platform::NewPosixFileSystem();
  std::unique_ptr<platform::Environment> environment = platform::NewPosixEnvironment();
  std::unique_ptr<platform::ErrorOutput> error_output = platform::NewPosixErrorOutput();
  platform::Env env;
  env.fs = fs.get();
  env.environment = environment.get();
  env.error_output = error_output.get();

  tools::Cp850Text cp;
  if (platform::Status s = cp.Init(); !s.ok()) {
    error_output->WriteLine("dozudizi: " + s.message());
    return tools::kExitFailed;
  }
  tools::SpoolRequest request = tools::ReadSpoolRequest(env);
  ProgressBar bar;
  if (platform::StandardErrorIsTerminal()) {
    request.progress = [&bar](uint64_t done, uint64_t total) { bar.Show(done, total); };
  }
  tools::SpoolOutcome out = tools::Spool(*fs, cp, request);
  bar.Clear();
  if (!out.screen.empty()) std::fwrite(out.screen.data(), 1, out.screen.size(), stdout);
  for (const std::string& line : out.messages) error_output->WriteLine(line);
  // With the pages on standard output, the summary goes beside them.
  std::FILE* notes = out.screen.empty() ? stdout : stderr;
  std::fprintf(notes, "%s\n", tools::Summary(*fs, out).c_str());
  return out.exit_code;
}
