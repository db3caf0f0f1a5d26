#include "platform/file_system.h"

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>

#include "platform/ascii.h"
#include "platform/system_file_lock.h"
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

std::string AbsoluteName(FileSystem& fs, std::string_view name) {
  const bool drive = name.size() >= 2 && name[1] == ':';
  std::string current;
  if (name.empty() || drive || IsAbsolutePath(name) || !fs.GetCurrentDirectory(&current).ok() || current.empty()) {
    return std::string(name);
  }
  if (!EndsInSeparator(current)) current += current.find('\\') != std::string::npos ? '\\' : '/';
  return current + std::string(name);
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

// The names of a RandomNameShape, one after the other, from a seed.
class RandomNames {
 public:
  RandomNames(const RandomNameShape& shape, uint32_t seed) : shape_(shape), state_(Mix(seed)) {}
  // Each character from its own mix of the seed and its place, so that
  // seeds a few apart do not give names that start alike.
  std::string Next() {
    std::string name = shape_.head;
    const uint64_t letters = shape_.alphabet.size();
    for (std::size_t i = 0; i < shape_.count; ++i) {
      state_ = Mix(state_);
      name += shape_.alphabet[static_cast<std::size_t>(state_ % letters)];
    }
    return name + shape_.tail;
  }

 private:
  const RandomNameShape& shape_;
  uint64_t state_;
};

class SystemLock : public FileLock {
 public:
  explicit SystemLock(std::unique_ptr<SystemFileLock> lock) : lock_(std::move(lock)) {}

 private:
  std::unique_ptr<SystemFileLock> lock_;
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
  RandomNames names(shape, seed);
  for (int attempt = 0; attempt < attempts; ++attempt) {
    *name = names.Next();
    Status s = fs.OpenByteFile(*name, mode, file);
    if (!s.IsAlreadyExists()) return s;
  }
  name->clear();
  return Status::IoError("no free name beginning " + shape.head);
}

Status RenameToUniqueName(FileSystem& fs, std::string_view from, const RandomNameShape& shape, uint32_t seed,
                          int attempts, std::string* name) {
  RandomNames names(shape, seed);
  for (int attempt = 0; attempt < attempts; ++attempt) {
    *name = names.Next();
    Status s = fs.RenameNoReplace(from, *name);
    if (!s.IsAlreadyExists()) return s;
  }
  name->clear();
  return Status::IoError("no free name beginning " + shape.head);
}

std::string LockHolderLine(std::string_view note) {
  std::string line = "process " + std::to_string(CurrentProcessId());
  if (!note.empty()) line += ", " + std::string(note);
  return line;
}

std::string LockStartNote(Clock& clock) {
  const CivilDate d = clock.Today();
  const int32_t seconds = clock.HundredthsSinceMidnight() / 100;
  auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
  return "started " + std::to_string(d.year) + "-" + two(d.month) + "-" + two(d.day) + " " + two(seconds / 3600) +
         ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
}

std::string ReadLockHolder(FileSystem& fs, std::string_view name) {
  constexpr std::size_t kMaxHolderBytes = 200;
  std::unique_ptr<ByteFile> file;
  std::string text;
  if (!fs.OpenByteFile(name, OpenMode::kReadOnly, &file).ok() || !file->Read(0, kMaxHolderBytes, &text).ok()) {
    return std::string();
  }
  text = text.substr(0, text.find_first_of("\r\n"));
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

Status WaitForFileLock(FileSystem& fs, Clock& clock, std::string_view name, std::string_view note,
                       const LockWait& wait, std::unique_ptr<FileLock>* lock, std::string* holder) {
  // The holder writes its line right after it took the lock: a refusal
  // that finds none yet waits this long for it before saying who waits.
  constexpr int64_t kHolderLineGraceMillis = 1000;
  const int64_t start = clock.MonotonicMicros();
  bool told = false;
  for (;;) {
    Status s = fs.TryLockFile(name, note, lock);
    if (!s.IsBusy()) return s;
    const std::string held_by = ReadLockHolder(fs, name);
    if (holder != nullptr) *holder = held_by;
    const int64_t waited = (clock.MonotonicMicros() - start) / 1000;
    if (waited >= wait.wait_millis) return s;
    if (!told && (!held_by.empty() || waited >= kHolderLineGraceMillis)) {
      told = true;
      if (wait.waiting) wait.waiting(held_by);
    }
    clock.SleepMillis(static_cast<int32_t>(std::min<int64_t>(std::max(wait.poll_millis, 1), wait.wait_millis - waited)));
  }
}

Status TrySystemFileLock(const std::string& path, std::string_view name, std::string_view note,
                         std::unique_ptr<FileLock>* lock) {
  SystemFileLock::Options options;
  options.mode = SystemFileLock::Mode::kExclusive;
  options.holder_file = true;
  std::unique_ptr<SystemFileLock> held;
  std::string error;
  switch (SystemFileLock::Acquire(path, options, &held, &error)) {
    case SystemFileLock::Result::kOk: break;
    case SystemFileLock::Result::kLocked: return Status::Busy(std::string(name) + ": locked by another run");
    case SystemFileLock::Result::kNotFound: return Status::NotFound(error);
    case SystemFileLock::Result::kAccessDenied: return Status::PermissionDenied(error);
    case SystemFileLock::Result::kNotAFile:
      return Status::InvalidArgument(error + "; a lock file is never opened through a link");
    default: return Status::IoError(error);
  }
  // The line only informs those who wait: a lock whose line could not be
  // written (a full disk) is held all the same.
  (void)held->WriteHolder(LockHolderLine(note));
  *lock = std::make_unique<SystemLock>(std::move(held));
  return Status::Ok();
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

Status FileSystem::SyncFiles(const std::vector<std::string>& names) {
  Status first;
  for (const std::string& name : names) {
    std::unique_ptr<ByteFile> file;
    Status s = OpenByteFile(name, OpenMode::kReadOnly, &file);
    if (s.ok()) s = file->Sync();
    if (file) {
      const Status closed = file->Close();
      if (s.ok()) s = closed;
    }
    if (first.ok() && !s.ok()) first = s;
  }
  return first;
}

Status SyncInParallel(const std::vector<std::string>& names,
                      const std::function<Status(const std::string& name)>& sync_one) {
  // The syncs mostly wait for the disk: a few at once let the system gather
  // them into one write, and more than a few gain little.
  constexpr std::size_t kThreads = 8;
  std::vector<Status> results(names.size());
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < names.size();) results[i] = sync_one(names[i]);
  };
  std::vector<std::thread> threads;
  const std::size_t extra = std::min(kThreads, names.size()) - (names.empty() ? 0 : 1);
  for (std::size_t t = 0; t < extra; ++t) threads.emplace_back(work);
  work();
  for (std::thread& t : threads) t.join();
  for (const Status& s : results) {
    if (!s.ok()) return s;
  }
  return Status::Ok();
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
