// dedado: the suite's document opener. Given a document's path, it opens
// the document in the desktop's application for it when a desktop session
// is there, and otherwise prints the path for the user.
//
//   OpenOutcome out = OpenDocument(args, env);
//   std::fputs(out.printed.c_str(), stdout); return out.exit_code;
//
// A desktop session is there when DISPLAY or WAYLAND_DISPLAY is set (not
// empty) and xdg-open is found in a directory of PATH. When xdg-open cannot
// be started or reports a failure, the path is printed after all.
#ifndef ZOV_TOOLS_DEDADO_OPENER_H_
#define ZOV_TOOLS_DEDADO_OPENER_H_

#include <string>
#include <vector>

#include "platform/env.h"

namespace zov::tools {

inline constexpr int kOpenExitOk = 0;
inline constexpr int kOpenExitUsage = 2;

struct OpenOutcome {
  int exit_code = kOpenExitOk;
  std::string printed;  // for standard output: the path and a line end, or nothing
};

// The full path of `program` in the directories of PATH, or "" when none
// holds it (an empty PATH entry is the current directory).
std::string FindOnPath(platform::Environment& environment, platform::FileSystem& fs, const std::string& program);

// `args` are the arguments after the program name. The path is normally one
// argument; several are joined with blanks, since a command interpreter in
// between splits a path with blanks into pieces. Uses env.environment,
// env.fs, env.processes and env.error_output.
OpenOutcome OpenDocument(const std::vector<std::string>& args, platform::Env& env);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DEDADO_OPENER_H_
