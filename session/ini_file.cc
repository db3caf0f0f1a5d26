#include "session/ini_file.h"

#include <vector>

#include "format/chars.h"
#include "platform/text_lines.h"
#include "session/cp850_case.h"

namespace zov::session {
namespace {

using platform::Status;

// The part of a line before its first ";".
std::string_view Content(std::string_view line) { return line.substr(0, line.find(';')); }

bool IsEmptyContent(std::string_view content) { return content.find_first_not_of(' ') == std::string_view::npos; }

std::string_view TrimLeading(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// Whether the content is a section header, and its name.
bool SectionHeader(std::string_view content, std::string_view* name) {
  std::string_view rest = TrimLeading(content);
  if (rest.empty() || rest[0] != '[') return false;
  rest.remove_prefix(1);
  *name = format::TrimBlanks(rest.substr(0, rest.find(']')));
  return true;
}

// Whether the content is a setting, its key and the offset of its "=".
bool Setting(std::string_view content, std::string_view* key, std::size_t* equals) {
  std::size_t pos = content.find('=');
  if (pos == std::string_view::npos) return false;
  *key = format::TrimBlanks(content.substr(0, pos));
  *equals = pos;
  return true;
}

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return std::string(value);
}

constexpr std::string_view kCrLf = "\r\n";

void AppendLine(std::string& out, std::string_view line) {
  out.append(line);
  out.append(kCrLf);
}

}  // namespace

std::string FindIniValue(std::string_view contents, std::string_view section, std::string_view key) {
  section = format::TrimBlanks(section);
  key = format::TrimBlanks(key);
  bool found = false;
  for (std::string_view line : platform::SplitLines(contents)) {
    std::string_view content = Content(line);
    if (IsEmptyContent(content)) continue;
    std::string_view name;
    if (SectionHeader(content, &name)) {
      if (found) return std::string();  // the next section: the key is missing
      found = EqualsIgnoringCase(name, section);
      continue;
    }
    std::string_view line_key;
    std::size_t equals = 0;
    if (found && Setting(content, &line_key, &equals) && EqualsIgnoringCase(line_key, key)) {
      return Unquote(content.substr(equals + 1));
    }
  }
  return std::string();
}

std::string ReadIniValue(platform::FileSystem& fs, std::string_view path, std::string_view section,
                         std::string_view key) {
  std::string contents;
  if (!fs.ReadFile(path, &contents).ok()) return std::string();
  return FindIniValue(contents, section, key);
}

std::string SetIniValue(std::string_view contents, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::string_view wanted_section = format::TrimBlanks(section);
  const std::string_view wanted_key = format::TrimBlanks(key);
  std::string new_line;
  new_line.append(key).append("=").append(value);

  std::string out;
  out.reserve(contents.size() + new_line.size() + section.size() + 8);
  bool in_section = false;
  bool section_seen = false;
  bool written = false;
  std::vector<std::string_view> held;  // empty lines waiting for the next non-empty one
  auto copy_held = [&] {
    for (std::string_view h : held) AppendLine(out, h);
    held.clear();
  };

  for (std::string_view line : platform::SplitLines(contents)) {
    std::string_view content = Content(line);
    if (IsEmptyContent(content)) {
      held.push_back(line);
      continue;
    }
    std::string_view name;
    if (SectionHeader(content, &name)) {
      if (in_section && !written) {
        // The key goes after the section's last setting, before the empty
        // lines and comments that lead to the next header.
        AppendLine(out, new_line);
        written = true;
      }
      in_section = EqualsIgnoringCase(name, wanted_section);
      section_seen = section_seen || in_section;
      copy_held();
      AppendLine(out, line);
      continue;
    }
    copy_held();
    std::string_view line_key;
    std::size_t equals = 0;
    if (in_section && Setting(content, &line_key, &equals) && EqualsIgnoringCase(line_key, wanted_key)) {
      out.append(line.substr(0, equals + 1)).append(value).append(kCrLf);
      written = true;
      continue;
    }
    AppendLine(out, line);
  }
  if (!written) {
    if (!section_seen) {
      out.append("[").append(section).append("]").append(kCrLf);
    }
    AppendLine(out, new_line);
  }
  copy_held();
  return out;
}

Status WriteIniValue(platform::Env& env, std::string_view path, std::string_view section, std::string_view key,
                     std::string_view value) {
  platform::FileSystem& fs = *env.fs;
  std::string old_contents;
  Status s = fs.ReadFile(path, &old_contents);
  if (!s.ok() && !s.IsNotFound()) return s;  // never rewrite from a partial reading
  // A read-only settings file is not replaced (PermissionDenied): the
  // suite's other programs cannot replace it either.
  return platform::WriteFileAtomically(fs, path, SetIniValue(old_contents, section, key, value));
}

}  // namespace zov::session
