#include "tools/support/command_line.h"

#include <algorithm>
#include <ostream>

namespace zov::tools {
namespace {

constexpr std::size_t kHelpColumn = 28;

// "a", "a or b", "a, b or c".
std::string Alternatives(const std::vector<std::string>& choices) {
  std::string text;
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (i > 0) text += i + 1 == choices.size() ? " or " : ", ";
    text += choices[i];
  }
  return text;
}

// One line of a help list: the term, then its help from a fixed column.
std::string HelpLine(const std::string& term, const std::string& help) {
  std::string line = "  " + term;
  line += line.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - line.size(), ' ') : "\n" + std::string(kHelpColumn, ' ');
  return line + help + "\n";
}

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

}  // namespace

CommandLine::CommandLine(std::string program, std::string description)
    : program_(std::move(program)), description_(std::move(description)) {}

void CommandLine::AddOption(std::string name, std::string value_name, std::string help, std::string takes,
                            std::function<bool(std::string_view)> set) {
  options_.push_back(Option{std::move(name), std::move(value_name), std::move(help), std::move(takes), std::move(set)});
}

void CommandLine::Flag(std::string name, std::string help, bool* value) {
  AddOption(std::move(name), "", std::move(help), "", [value](std::string_view) {
    *value = true;
    return true;
  });
}

void CommandLine::Text(std::string name, std::string value_name, std::string help, std::string* value) {
  AddOption(std::move(name), std::move(value_name), std::move(help), "a value", [value](std::string_view text) {
    if (text.empty()) return false;
    *value = std::string(text);
    return true;
  });
}

void CommandLine::Choice(std::string name, std::vector<std::string> choices, std::string help, std::string* value) {
  std::string value_name;
  for (const std::string& c : choices) value_name += (value_name.empty() ? "" : "|") + c;
  std::string takes = Alternatives(choices);
  AddOption(std::move(name), std::move(value_name), std::move(help), std::move(takes),
            [choices = std::move(choices), value](std::string_view text) {
              if (std::find(choices.begin(), choices.end(), text) == choices.end()) return false;
              *value = std::string(text);
              return true;
            });
}

void CommandLine::Required() {
  if (!options_.empty()) options_.back().required = true;
}

void CommandLine::Argument(std::string name, std::string help, std::string* value, bool optional) {
  positionals_.push_back(Positional{std::move(name), std::move(help), value, optional});
}

void CommandLine::MoreArguments(std::string name, std::string help, std::vector<std::string>* values,
                                bool required) {
  more_name_ = std::move(name);
  more_help_ = std::move(help);
  more_ = values;
  more_required_ = required;
}

CommandLine::Option* CommandLine::FindOption(std::string_view name) {
  for (Option& o : options_) {
    if (o.name == name) return &o;
  }
  return nullptr;
}

bool CommandLine::Fail(std::string message) {
  error_ = std::move(message);
  return false;
}

bool CommandLine::ParseArgs(const std::vector<std::string>& args) {
  std::size_t next_positional = 0;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options_ended && arg == "--") {
      options_ended = true;
      continue;
    }
    if (!options_ended && arg.size() > 1 && arg[0] == '-') {
      const std::size_t eq = arg.find('=');
      const std::string name = arg.substr(0, eq);
      Option* option = FindOption(name);
      if (option == nullptr) return Fail("unknown option " + name);
      if (option->seen) return Fail(name + " is given twice");
      option->seen = true;
      std::string value;
      if (option->value_name.empty()) {
        if (eq != std::string::npos) return Fail(name + " takes no value");
      } else if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
      } else if (i + 1 < args.size() && !args[i + 1].starts_with("--")) {
        value = args[++i];
      } else {
        return Fail(name + " needs a value");
      }
      if (!option->set(value)) {
        if (value.empty()) return Fail(name + " needs a value");
        return Fail(name + " takes " + option->takes + ", not " + value);
      }
      continue;
    }
    if (next_positional < positionals_.size()) {
      *positionals_[next_positional++].value = arg;
    } else if (more_ != nullptr) {
      more_->push_back(arg);
    } else {
      return Fail("too many arguments: " + arg);
    }
  }
  if (next_positional < positionals_.size() && !positionals_[next_positional].optional) {
    return Fail(positionals_[next_positional].name + " is missing");
  }
  if (more_required_ && more_->empty()) return Fail(more_name_ + " is missing");
  for (const Option& o : options_) {
    if (o.required && !o.seen) return Fail(o.name + " is missing");
  }
  return true;
}

std::optional<int> CommandLine::Parse(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  error_.clear();
  for (Option& o : options_) o.seen = false;
  // Help wins over any mistake: "zovdata stat --help" needs no FILE.
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (IsHelp(arg)) {
      out << Help();
      return kExitDone;
    }
  }
  if (!ParseArgs(args)) return Misuse(err, error_);
  return std::nullopt;
}

int CommandLine::Misuse(std::ostream& err, std::string_view message) const {
  err << program_ << ": " << message << "; see \"" << program_ << " --help\"\n";
  return kExitUsage;
}

std::string CommandLine::UsageLine() const {
  std::string line = "Usage: " + program_;
  for (const Positional& p : positionals_) line += p.optional ? " [" + p.name + "]" : " " + p.name;
  if (more_ != nullptr) line += more_required_ ? " " + more_name_ + "..." : " [" + more_name_ + "...]";
  for (const Option& o : options_) {
    const std::string term = o.value_name.empty() ? o.name : o.name + " " + o.value_name;
    line += o.required ? " " + term : " [" + term + "]";
  }
  return line;
}

std::string CommandLine::Help() const {
  std::string text = UsageLine() + "\n";
  if (!description_.empty()) text += "\n" + description_ + (description_.back() == '\n' ? "" : "\n");
  if (!positionals_.empty() || more_ != nullptr) {
    text += "\nArguments:\n";
    for (const Positional& p : positionals_) text += HelpLine(p.name, p.help);
    if (more_ != nullptr) text += HelpLine(more_name_, more_help_);
  }
  text += "\nOptions:\n";
  for (const Option& o : options_) {
    text += HelpLine(o.value_name.empty() ? o.name : o.name + " " + o.value_name, o.help);
  }
  text += HelpLine("-h, --help", "show this help");
  if (!epilogue_.empty()) text += "\n" + epilogue_ + (epilogue_.back() == '\n' ? "" : "\n");
  return text;
}

}  // namespace zov::tools
