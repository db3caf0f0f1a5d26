#include "tools/dedado/opener.h"

#include <ostream>

#include "tools/support/command_line.h"

namespace zov::tools {

std::string FindOnPath(platform::Environment& environment, platform::FileSystem& fs, const std::string& program) {
  const std::string path = environment.GetOrEmpty("PATH");
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string dir = path.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string candidate = dir + (dir.back() == '/' ? "" : "/") + program;
    platform::DirEntry entry;
    if (fs.FindFirst(candidate, &entry).ok() && (entry.attributes & platform::kAttrDirectory) == 0 &&
        entry.name == program) {
      return candidate;
    }
    start = end + 1;
  }
  return "";
}

void OpenDocument(std::string_view document, platform::Env& env, std::ostream& out) {
  platform::Environment& environment = *env.environment;
  platform::FileSystem& fs = *env.fs;
  const std::string native = fs.Resolve(document);
  const bool desktop = !environment.GetOrEmpty("DISPLAY").empty() || !environment.GetOrEmpty("WAYLAND_DISPLAY").empty();
  if (desktop) {
    std::string opener = FindOnPath(environment, fs, "xdg-open");
    if (!opener.empty()) {
      int code = 0;
      platform::Status s = env.processes->RunAndWait(opener, {native}, &code);
      if (s.ok() && code == 0) return;
      env.error_output->WriteLine("dedado: " +
                                  (s.ok() ? "xdg-open ended with code " + std::to_string(code) : s.message()));
    }
  }
  out << native << "\n";
}

int RunDedado(const std::vector<std::string>& args, platform::Env& env, std::ostream& out, std::ostream& err) {
  CommandLine line("dedado",
                   "Opens DOCUMENT in the desktop's application for it (xdg-open, when DISPLAY or\n"
                   "WAYLAND_DISPLAY is set and xdg-open is on PATH); otherwise, or when that\n"
                   "fails, prints its path.");
  std::vector<std::string> pieces;
  line.MoreArguments("DOCUMENT", "the document's path; pieces split at blanks are joined again", &pieces, true);
  line.Epilogue("Exit codes: 0 opened or printed; 2 wrong usage (no DOCUMENT).\n");
  if (std::optional<int> stop = line.Parse(args, out, err)) return *stop;
  std::string document;
  for (const std::string& piece : pieces) document += (document.empty() ? "" : " ") + piece;
  OpenDocument(document, env, out);
  return kExitDone;
}

}  // namespace zov::tools
