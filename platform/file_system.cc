#include "platform/file_system.h"

#include <atomic>
#include <random>

#include "platform/ascii.h"
#include "platform/text_lines.h"

namespace zov::platform {

Status ReadTextLines(FileSystem& fs, std::string_view name, std::vector<std::string>* lines) {
  lines->clear();
  std::string contents;
  Status s = fs.ReadFile(name, &contents);
  if (!s.ok()) return s;
  for (std::string_view line : SplitLines(contents)) lines->emplace_back(line);
  return Status::Ok();
}

bool IsAbsolutePath(std::string_view name) {
  auto separator = [](char c) { return c == '/' || c == '\\'; };
  if (!name.empty() && separator(name[0])) return true;
#ifdef _WIN32
  const bool letter = name.size() >= 3 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
  return letter && name[1] == ':' && separator(name[2]);
#else
  return false;
#endif
}

std::string DirectoryPart(std::string_view name) {
  std::size_t pos = name.find_last_of(":\\/");
  return pos == std::string_view::npos ? std::string() : std::string(name.substr(0, pos + 1));
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || AsciiUpper(pattern[p]) == AsciiUpper(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

Status FindFirstByListing(FileSystem& fs, std::string_view pattern, DirEntry* entry) {
  const std::string dir = DirectoryPart(pattern);
  const std::string_view last = pattern.substr(dir.size());
  std::vector<DirEntry> entries;
  Status s = fs.ListDirectory(dir, &entries);
  if (!s.ok()) return s;
  for (DirEntry& e : entries) {
    if (WildcardMatch(last, e.name)) {
      *entry = std::move(e);
      return Status::Ok();
    }
  }
  return Status::NotFound("no entry matches " + std::string(pattern));
}

std::string ResolveIgnoringCase(
    std::string_view name, const std::function<bool(const std::string& path)>& exists,
    const std::function<bool(const std::string& dir, std::string_view component, std::string* found)>& find_entry) {
  std::string path(name);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.empty() || exists(path)) return path;
  // A missing entry of a directory that exists as given (the usual case of
  // a file about to be created): only the last component is looked for,
  // without walking the directories from the root.
  const std::size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && slash + 1 < path.size() &&
      path.find("//") == std::string::npos) {
    const std::string_view last = std::string_view(path).substr(slash + 1);
    if (last != "." && last != ".." && exists(path.substr(0, slash))) {
      std::string found;
      if (find_entry(path.substr(0, slash + 1), last, &found)) return path.substr(0, slash + 1) + found;
      return path;
    }
  }
  std::string result;
  std::size_t pos = 0;
  if (path[0] == '/') {
    result = "/";
    pos = 1;
  }
  bool matching = true;
  while (pos <= path.size()) {
    std::size_t end = path.find('/', pos);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(pos, end - pos);
    const bool last = end == path.size();
    if (!component.empty()) {
      std::string candidate = result + component;
      if (matching && component != "." && component != ".." && !exists(candidate)) {
        std::string found;
        if (find_entry(result, component, &found)) {
          candidate = result + found;
        } else {
          matching = false;
        }
      }
      result = candidate;
      if (!last) result += '/';
    } else if (!last && !result.empty() && result.back() != '/') {
      result += '/';
    }
    pos = end + 1;
  }
  return result;
}

namespace {

// A 64-bit mixer (splitmix64's finaliser): inputs a few apart give outputs
// that share no visible pattern.
uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15u;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
  return x ^ (x >> 31);
}

class ByteFileAppender : public AppendFile {
 public:
  ByteFileAppender(std::unique_ptr<ByteFile> file, uint64_t offset) : file_(std::move(file)), offset_(offset) {}
  Status Append(std::string_view data) override {
    Status s = file_->Write(offset_, data);
    if (s.ok()) offset_ += data.size();
    return s;
  }
  Status Close() override { return file_->Close(); }

 private:
  std::unique_ptr<ByteFile> file_;
  uint64_t offset_;
};

}  // namespace

std::unique_ptr<AppendFile> AppendToByteFile(std::unique_ptr<ByteFile> file, uint64_t offset) {
  return std::make_unique<ByteFileAppender>(std::move(file), offset);
}

// The system's random source is read once per process (opening it costs
// more than a whole file name); every call then mixes a counter with it.
uint32_t RandomSeed() {
  static const uint64_t base = (uint64_t{std::random_device()()} << 32) | std::random_device()();
  static std::atomic<uint64_t> calls{0};
  return static_cast<uint32_t>(Mix(base + calls.fetch_add(1, std::memory_order_relaxed)));
}

Status CreateUniqueFile(FileSystem& fs, const RandomNameShape& shape, uint32_t seed, int attempts,
                        std::string* name, std::unique_ptr<ByteFile>* file, OpenMode mode) {
  // Each character from its own mix of the seed and its place, so that
  // seeds a few apart do not give names that start alike.
  uint64_t state = Mix(seed);
  const uint64_t letters = shape.alphabet.size();
  for (int attempt = 0; attempt < attempts; ++attempt) {
    *name = shape.head;
    for (std::size_t i = 0; i < shape.count; ++i) {
      state = Mix(state);
      *name += shape.alphabet[static_cast<std::size_t>(state % letters)];
    }
    *name += shape.tail;
    Status s = fs.OpenByteFile(*name, mode, file);
    if (!s.IsAlreadyExists()) return s;
  }
  name->clear();
  return Status::IoError("no free name beginning " + shape.head);
}

Status FileSystem::ReadFile(std::string_view name, std::string* contents) {
  contents->clear();
  std::unique_ptr<ByteFile> file;
  Status s = OpenByteFile(name, OpenMode::kReadOnly, &file);
  if (!s.ok()) return s;
  uint64_t size = 0;
  s = file->Size(&size);
  if (!s.ok()) return s;
  s = file->Read(0, static_cast<std::size_t>(size), contents);
  if (!s.ok()) return s;
  return file->Close();
}

Status FileSystem::WriteFile(std::string_view name, std::string_view data) {
  std::unique_ptr<ByteFile> file;
  Status s = OpenByteFile(name, OpenMode::kCreateTruncate, &file);
  if (!s.ok()) return s;
  s = file->Write(0, data);
  Status c = file->Close();
  return s.ok() ? c : s;
}

Status WriteFileAtomically(FileSystem& fs, std::string_view name, std::string_view data) {
  DirEntry old;
  Status s = fs.FindFirst(name, &old);
  const bool replacing = s.ok();
  if (!replacing && !s.IsNotFound()) return s;
  if (replacing && (old.attributes & kAttrReadOnly) != 0) {
    return Status::PermissionDenied("read-only file " + std::string(name) + " left unchanged");
  }
  std::string temp;
  std::unique_ptr<ByteFile> file;
  // A stale temporary file of an earlier run never gets in the way.
  // A replacement takes the old file's permissions before the rename; a new
  // settings file is readable by the installation's other users, as before.
  s = CreateUniqueFile(fs, RandomNameShape{DirectoryPart(name), "0123456789", 8, ".tmp"}, RandomSeed(), 1000, &temp,
                       &file, replacing ? OpenMode::kCreateNew : OpenMode::kCreateNewShared);
  if (!s.ok()) return s;
  s = file->Write(0, data);
  if (s.ok()) s = file->Sync();
  Status c = file->Close();
  if (s.ok()) s = c;
  if (s.ok() && replacing) s = fs.CopyPermissions(name, temp);
  if (s.ok()) s = fs.RenameFile(temp, name);
  if (!s.ok()) {
    fs.DeleteFile(temp).IgnoreError();
    return s;
  }
  fs.SyncDirectoryOf(name).IgnoreError();
  return Status::Ok();
}

}  // namespace zov::platform
