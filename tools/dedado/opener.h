// dedado: the suite's document opener. Given a document's path, it opens
// the document in the desktop's application for it when a desktop session
// is there, and otherwise prints the path for the user.
//
//   return RunDedado(args, env, native->out(), native->err());
//
// A desktop session is there when DISPLAY or WAYLAND_DISPLAY is set (not
// empty) and xdg-open is found in a directory of PATH. When xdg-open cannot
// be started or reports a failure, the path is printed after all.
#ifndef ZOV_TOOLS_DEDADO_OPENER_H_
#define ZOV_TOOLS_DEDADO_OPENER_H_

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"

namespace zov::tools {

// The full path of `program` in the directories of PATH, or "" when none
// holds it (an empty PATH entry is the current directory).
std::string FindOnPath(platform::Environment& environment, platform::FileSystem& fs, const std::string& program);

// Opens `document` or prints its path (and a line end) to `out`. Uses
// env.environment, env.fs, env.processes and env.error_output.
void OpenDocument(std::string_view document, platform::Env& env, std::ostream& out);

// The command line after the program name: the path, normally one
// argument; several are joined with blanks, since a command interpreter in
// between splits a path with blanks into pieces. Returns the exit code: 0
// opened or printed, 2 no path (wrong usage).
int RunDedado(const std::vector<std::string>& args, platform::Env& env, std::ostream& out, std::ostream& err);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DEDADO_OPENER_H_
