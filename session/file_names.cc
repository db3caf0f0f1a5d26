#include "session/file_names.h"

#include <memory>

#include "format/chars.h"

namespace zov::session {
namespace {

using platform::DirEntry;

constexpr std::string_view kNameCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::size_t kNameLength = 8;
constexpr int kMaxAttempts = 100000;
// Added to the unique name of a file while it is written.
constexpr std::string_view kTemporarySuffix = ".tmp";

}  // namespace

std::string FileNamePart(std::string_view name, std::size_t max_length) {
  std::string part;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) continue;
    if (part.size() == max_length) break;
    part += c;
  }
  while (!part.empty() && (part.back() == ' ' || part.back() == '.')) part.pop_back();
  const std::size_t first = part.find_first_not_of(' ');
  part.erase(0, first == std::string::npos ? part.size() : first);
  return part;
}

bool FileExists(platform::FileSystem& fs, std::string_view path) {
  DirEntry entry;
  if (!fs.FindFirst(path, &entry).ok()) return false;
  const uint32_t a = entry.attributes;
  const bool ordinary =
      (a & platform::kAttrArchive) != 0 ||
      (a & (platform::kAttrDirectory | platform::kAttrVolumeLabel | platform::kAttrArchive)) == 0;
  return ordinary && (a & (platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem)) == 0;
}

namespace {

// The shape of UniqueFile's names.
platform::RandomNameShape NameShape(std::string_view directory, std::string_view prefix, std::string_view extension) {
  directory = format::TrimBlanks(directory);
  prefix = format::TrimBlanks(prefix).substr(0, 3);
  extension = format::TrimBlanks(extension);
  if (!extension.empty() && extension[0] == '.') extension.remove_prefix(1);
  extension = extension.substr(0, 3);

  platform::RandomNameShape shape;
  shape.head = std::string(directory);
  if (!shape.head.empty() && !platform::EndsInSeparator(shape.head)) shape.head += '\\';
  shape.head += prefix;
  shape.alphabet = kNameCharacters;
  shape.count = kNameLength - prefix.size();
  if (!extension.empty()) shape.tail = "." + std::string(extension);
  return shape;
}

}  // namespace

std::string UniqueFile(platform::Env& env, std::string_view directory, std::string_view prefix,
                       std::string_view extension, std::unique_ptr<platform::ByteFile>* file) {
  // The file is created here, exclusively: a name is never handed to two
  // callers, in this process or another one sharing the directory. An error
  // other than "exists" returns the name tried, and the caller's open of it
  // reports the error.
  std::string name;
  if (!platform::CreateUniqueFile(*env.fs, NameShape(directory, prefix, extension), platform::RandomSeed(),
                                  kMaxAttempts, &name, file)
           .ok()) {
    file->reset();
  }
  return name;
}

std::string UniqueTemporaryFile(platform::Env& env, std::string_view directory, std::string_view prefix,
                                std::string_view extension, std::unique_ptr<platform::ByteFile>* file) {
  platform::RandomNameShape shape = NameShape(directory, prefix, extension);
  shape.tail += kTemporarySuffix;
  std::string name;
  if (!platform::CreateUniqueFile(*env.fs, shape, platform::RandomSeed(), kMaxAttempts, &name, file).ok()) {
    file->reset();
  }
  return name;
}

platform::Status PublishUniqueFile(platform::Env& env, const std::string& temporary, std::string_view directory,
                                   std::string_view prefix, std::string_view extension, std::string* name) {
  if (temporary.ends_with(kTemporarySuffix)) {
    *name = temporary.substr(0, temporary.size() - kTemporarySuffix.size());
    platform::Status s = env.fs->RenameNoReplace(temporary, *name);
    if (!s.IsAlreadyExists()) return s;
  }
  // Taken meanwhile (by another run sharing the directory): another name.
  return platform::RenameToUniqueName(*env.fs, temporary, NameShape(directory, prefix, extension),
                                      platform::RandomSeed(), kMaxAttempts, name);
}

std::string UniqueFileName(platform::Env& env, std::string_view directory, std::string_view prefix,
                           std::string_view extension) {
  std::unique_ptr<platform::ByteFile> file;
  std::string name = UniqueFile(env, directory, prefix, extension, &file);
  if (file) file->Close().IgnoreError();
  return name;
}

}  // namespace zov::session
