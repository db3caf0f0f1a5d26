// The tools' command lines: options and arguments declared once, with their
// help, parsed into the caller's variables; a mistake is one line naming
// it, `--help` the text made from the declarations. Arguments are code page
// 850 text, as platform::ProgramArguments gives them.
//
//   CommandLine line("zovdata dump", "Prints every record of FILE ...");
//   std::string file;
//   int key = 0;
//   line.Argument("FILE", "the data file", &file);
//   line.Number("--key", "N", "the key whose order the records follow", 0, 127, &key);
//   if (std::optional<int> stop = line.Parse(args, out, err)) return *stop;
//
// Options take their value as the next argument or after "=" (--key 2,
// --key=2); a next argument that starts with "--" is never taken as a
// value. "--" ends the options. Every tool ends with one of the exit codes
// below.
#ifndef ZOV_TOOLS_SUPPORT_COMMAND_LINE_H_
#define ZOV_TOOLS_SUPPORT_COMMAND_LINE_H_

#include <charconv>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zov::tools {

// Done: everything was done.
inline constexpr int kExitDone = 0;
// Done with problems the user must see (lines skipped, books invalid), or
// failed; the reasons are on standard error.
inline constexpr int kExitProblems = 1;
// The command line was wrong; nothing was done.
inline constexpr int kExitUsage = 2;

// The exit codes as a tool's help lists them.
inline constexpr std::string_view kExitCodesHelp =
    "Exit codes: 0 done; 1 done with problems shown on standard error, or\n"
    "failed; 2 wrong usage (nothing done).\n";

// Whether `text` is a whole number from low to high, written in decimal
// digits with an optional leading "-"; *value holds it when true.
template <typename T>
bool ParseWholeNumber(std::string_view text, T low, T high, T* value) {
  T n{};
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, n);
  if (text.empty() || ec != std::errc() || ptr != end || n < low || n > high) return false;
  *value = n;
  return true;
}

class CommandLine {
 public:
  // `program` names the command in messages and in the help's usage line
  // ("zovdata demo"); `description` follows the usage line in the help.
  CommandLine(std::string program, std::string description);

  // An option without a value: *value becomes true when it is given.
  void Flag(std::string name, std::string help, bool* value);
  // An option with a text value, which must not be empty.
  void Text(std::string name, std::string value_name, std::string help, std::string* value);
  // An option with one of `choices`.
  void Choice(std::string name, std::vector<std::string> choices, std::string help, std::string* value);
  // An option with a whole number from low to high.
  template <typename T>
  void Number(std::string name, std::string value_name, std::string help, T low, T high, T* value) {
    std::string takes = low == std::numeric_limits<T>::min() && high == std::numeric_limits<T>::max()
                            ? "a whole number"
                            : std::to_string(low) + " to " + std::to_string(high);
    AddOption(std::move(name), std::move(value_name), std::move(help), std::move(takes),
              [low, high, value](std::string_view text) { return ParseWholeNumber(text, low, high, value); });
  }
  // The option declared last must be given.
  void Required();

  // A positional argument, in the order declared; it must be given unless
  // `optional`.
  void Argument(std::string name, std::string help, std::string* value, bool optional = false);
  // Every further positional argument; at least one when `required`.
  void MoreArguments(std::string name, std::string help, std::vector<std::string>* values, bool required = false);

  // Text after the lists in the help (the exit codes, an example).
  void Epilogue(std::string text) { epilogue_ = std::move(text); }

  // Parses `args` (those after the program's and command's names) into the
  // declared variables. nullopt: go on and run. Otherwise the exit code to
  // end with: kExitDone after writing the help to `out` ("--help", "-h"),
  // kExitUsage after writing one line to `err`, e.g.
  //   zovdata dump: --key takes 0 to 127, not 128; see "zovdata dump --help"
  [[nodiscard]] std::optional<int> Parse(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

  // A mistake the caller finds after Parse (options that go together), said
  // as Parse says its own; returns kExitUsage.
  int Misuse(std::ostream& err, std::string_view message) const;

  // The mistake of the last Parse, e.g. "--quarter takes 1 to 4, not 7";
  // empty when there was none.
  const std::string& error() const { return error_; }
  // The help: usage line, description, arguments, options, epilogue.
  std::string Help() const;
  // "Usage: zovdata demo DIR [--owners N] ..."
  std::string UsageLine() const;

 private:
  struct Option {
    std::string name;
    std::string value_name;  // empty for a flag
    std::string help;
    std::string takes;  // what a bad value is told it takes
    std::function<bool(std::string_view)> set;
    bool required = false;
    bool seen = false;
  };
  struct Positional {
    std::string name;
    std::string help;
    std::string* value;
    bool optional;
  };

  void AddOption(std::string name, std::string value_name, std::string help, std::string takes,
                 std::function<bool(std::string_view)> set);
  Option* FindOption(std::string_view name);
  // Fills error_ and returns false at the first mistake.
  bool ParseArgs(const std::vector<std::string>& args);
  bool Fail(std::string message);

  std::string program_;
  std::string description_;
  std::vector<Option> options_;
  std::vector<Positional> positionals_;
  std::string more_name_;
  std::string more_help_;
  std::vector<std::string>* more_ = nullptr;
  bool more_required_ = false;
  std::string epilogue_;
  std::string error_;
};

}  // namespace zov::tools

#endif  // ZOV_TOOLS_SUPPORT_COMMAND_LINE_H_
