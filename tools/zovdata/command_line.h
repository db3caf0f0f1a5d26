// zovdata's command line: the commands of zovdata.h and the demo builder
// (tools/demo/demo.h) behind one dispatcher, with a help text per command.
//
//   std::vector<std::string> args(argv + 1, argv + argc);
//   return tools::RunZovdata(env, args, std::cout, std::cerr);
#ifndef ZOV_TOOLS_ZOVDATA_COMMAND_LINE_H_
#define ZOV_TOOLS_ZOVDATA_COMMAND_LINE_H_

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/env.h"

namespace zov::tools {

// The whole command line after the program name. Writes results to `out`,
// errors as "zovdata: ..." lines to `err`. Returns the exit code: 0 done,
// 1 failed, 2 misused (unknown command or option, missing argument).
int RunZovdata(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_ZOVDATA_COMMAND_LINE_H_
