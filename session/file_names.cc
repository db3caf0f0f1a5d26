#include "session/file_names.h"

#include <random>

#include "format/chars.h"

namespace zov::session {
namespace {

using platform::DirEntry;
using platform::Status;

constexpr std::string_view kNameCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::size_t kNameLength = 8;
constexpr int kMaxAttempts = 100000;

bool EndsInSeparator(std::string_view directory) {
  char last = directory.back();
  return last == ':' || last == '\\' || last == '/';
}

}  // namespace

bool FileExists(platform::FileSystem& fs, std::string_view path) {
  DirEntry entry;
  if (!fs.FindFirst(path, &entry).ok()) return false;
  const uint32_t a = entry.attributes;
  const bool ordinary =
      (a & platform::kAttrArchive) != 0 ||
      (a & (platform::kAttrDirectory | platform::kAttrVolumeLabel | platform::kAttrArchive)) == 0;
  return ordinary && (a & (platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem)) == 0;
}

std::string UniqueFileName(platform::Env& env, std::string_view directory, std::string_view prefix,
                           std::string_view extension) {
  directory = format::TrimBlanks(directory);
  prefix = format::TrimBlanks(prefix).substr(0, 3);
  extension = format::TrimBlanks(extension);
  if (!extension.empty() && extension[0] == '.') extension.remove_prefix(1);
  extension = extension.substr(0, 3);

  std::string start(directory);
  if (!start.empty() && !EndsInSeparator(start)) start += '\\';
  start += prefix;

  // Seeds a few hundredths apart must not give names that start alike.
  std::seed_seq seed{env.clock->HundredthsSinceMidnight()};
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::size_t> pick(0, kNameCharacters.size() - 1);
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    std::string name = start;
    for (std::size_t i = prefix.size(); i < kNameLength; ++i) name += kNameCharacters[pick(random)];
    if (!extension.empty()) name.append(".").append(extension);
    // Any entry of that name takes it, whatever its attributes: the caller
    // is about to create the file. An error other than "no such entry"
    // cannot be told apart from a free name; the caller's create reports it.
    DirEntry entry;
    if (!env.fs->FindFirst(name, &entry).ok()) return name;
  }
  return std::string();
}

}  // namespace zov::session
