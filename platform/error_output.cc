#include "platform/error_output.h"

namespace zov::platform {

std::string OneLine(std::string_view line) {
  std::string text(line);
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = '\xF4';
  }
  text += '\n';
  return text;
}

}  // namespace zov::platform
