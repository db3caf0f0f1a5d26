#include "tools/dedado/opener.h"

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

OpenOutcome OpenDocument(const std::vector<std::string>& args, platform::Env& env) {
  platform::Environment& environment = *env.environment;
  platform::FileSystem& fs = *env.fs;
  OpenOutcome out;
  std::string document;
  for (const std::string& a : args) document += (document.empty() ? "" : " ") + a;
  if (document.empty()) {
    env.error_output->WriteLine("usage: dedado DOCUMENT");
    out.exit_code = kOpenExitUsage;
    return out;
  }
  const std::string native = fs.Resolve(document);
  const bool desktop = !environment.GetOrEmpty("DISPLAY").empty() || !environment.GetOrEmpty("WAYLAND_DISPLAY").empty();
  if (desktop) {
    std::string opener = FindOnPath(environment, fs, "xdg-open");
    if (!opener.empty()) {
      int code = 0;
      platform::Status s = env.processes->RunAndWait(opener, {native}, &code);
      if (s.ok() && code == 0) return out;
      env.error_output->WriteLine("dedado: " + (s.ok() ? "xdg-open ended with code " + std::to_string(code) : s.message()));
    }
  }
  out.printed = native + "\n";
  return out;
}

}  // namespace zov::tools
