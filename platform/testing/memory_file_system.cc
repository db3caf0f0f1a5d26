#include "platform/testing/memory_file_system.h"

#include <map>
#include <mutex>
#include <set>

#include "platform/ascii.h"

namespace zov::platform {

struct MemoryFileSystem::State {
  struct Node {
    bool directory = false;
    bool read_only = false;
    // A file's bytes, shared with the files open on it; null for a directory.
    std::shared_ptr<std::string> data;
  };

  std::mutex mu;
  // Every entry by its absolute path without a trailing "/"; "/" is the root.
  std::map<std::string, Node> nodes;
  std::string current = "/";
  // The absolute paths of the files locked now (TryLockFile).
  std::set<std::string> locked;

  std::string Absolute(const std::string& path) const;
  Node* Find(const std::string& absolute);
  bool IsDirectory(const std::string& absolute);
  std::vector<std::pair<std::string, Node*>> Children(const std::string& dir);
};

namespace {

using Node = MemoryFileSystem::State::Node;

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The directory holding an absolute path ("/" for the root's entries).
std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

uint32_t AttributesOf(const Node& node, const std::string& name) {
  uint32_t attributes = node.directory ? kAttrDirectory : kAttrArchive;
  if (node.read_only) attributes |= kAttrReadOnly;
  if (!name.empty() && name[0] == '.') attributes |= kAttrHidden;
  return attributes;
}

Status NoEntry(const char* call, const std::string& path) {
  return Status::NotFound(std::string(call) + " " + path + ": No such file or directory");
}

}  // namespace

// The absolute form of a native path: from the current directory unless it
// starts with "/", with "." and ".." applied and empty components dropped.
std::string MemoryFileSystem::State::Absolute(const std::string& path) const {
  std::string full = !path.empty() && path[0] == '/' ? path : current + "/" + path;
  std::vector<std::string> parts;
  std::size_t pos = 0;
  while (pos <= full.size()) {
    std::size_t end = full.find('/', pos);
    if (end == std::string::npos) end = full.size();
    const std::string part = full.substr(pos, end - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = end + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  return out.empty() ? "/" : out;
}

Node* MemoryFileSystem::State::Find(const std::string& absolute) {
  auto it = nodes.find(absolute);
  return it == nodes.end() ? nullptr : &it->second;
}

bool MemoryFileSystem::State::IsDirectory(const std::string& absolute) {
  Node* node = Find(absolute);
  return node != nullptr && node->directory;
}

// The entries directly inside a directory, by name.
std::vector<std::pair<std::string, Node*>> MemoryFileSystem::State::Children(const std::string& dir) {
  const std::string prefix = dir == "/" ? "/" : dir + "/";
  std::vector<std::pair<std::string, Node*>> out;
  for (auto it = nodes.lower_bound(prefix); it != nodes.end() && it->first.compare(0, prefix.size(), prefix) == 0;
       ++it) {
    if (it->first.size() > prefix.size() && it->first.find('/', prefix.size()) == std::string::npos) {
      out.emplace_back(it->first.substr(prefix.size()), &it->second);
    }
  }
  return out;
}

namespace {

// A byte file open on a file's shared bytes.
class MemoryByteFile : public ByteFile {
 public:
  MemoryByteFile(std::shared_ptr<MemoryFileSystem::State> state, std::shared_ptr<std::string> data, std::string path,
                 bool writable)
      : state_(std::move(state)), data_(std::move(data)), path_(std::move(path)), writable_(writable) {}

  Status Read(uint64_t offset, std::size_t n, std::string* out) override {
    std::lock_guard<std::mutex> lock(state_->mu);
    out->clear();
    if (!data_) return Closed("read");
    if (offset < data_->size()) *out = data_->substr(static_cast<std::size_t>(offset), n);
    return Status::Ok();
  }
  Status Write(uint64_t offset, std::string_view data) override {
    std::lock_guard<std::mutex> lock(state_->mu);
    if (!data_) return Closed("write");
    if (!writable_) return Status::IoError("write " + path_ + ": Bad file descriptor");
    const auto at = static_cast<std::size_t>(offset);
    if (data_->size() < at + data.size()) data_->resize(at + data.size(), '\0');
    data_->replace(at, data.size(), data);
    return Status::Ok();
  }
  Status Size(uint64_t* size) override {
    std::lock_guard<std::mutex> lock(state_->mu);
    if (!data_) return Closed("fstat");
    *size = data_->size();
    return Status::Ok();
  }
  Status Sync() override {
    std::lock_guard<std::mutex> lock(state_->mu);
    return data_ ? Status::Ok() : Closed("fsync");
  }
  Status Close() override {
    std::lock_guard<std::mutex> lock(state_->mu);
    data_.reset();
    return Status::Ok();
  }

 private:
  Status Closed(const char* call) const { return Status::IoError(std::string(call) + " " + path_ + ": file closed"); }

  std::shared_ptr<MemoryFileSystem::State> state_;
  std::shared_ptr<std::string> data_;  // null once closed
  std::string path_;
  bool writable_;
};

// Held while it lives; its destruction takes the path off the locked set.
class MemoryFileLock : public FileLock {
 public:
  MemoryFileLock(std::shared_ptr<MemoryFileSystem::State> state, std::string absolute)
      : state_(std::move(state)), absolute_(std::move(absolute)) {}
  ~MemoryFileLock() override {
    std::lock_guard<std::mutex> lock(state_->mu);
    state_->locked.erase(absolute_);
  }

 private:
  std::shared_ptr<MemoryFileSystem::State> state_;
  std::string absolute_;
};

class MemoryAppendFile : public AppendFile {
 public:
  explicit MemoryAppendFile(std::unique_ptr<ByteFile> file) : file_(std::move(file)) {}
  Status Append(std::string_view data) override {
    uint64_t size = 0;
    Status s = file_->Size(&size);
    return s.ok() ? file_->Write(size, data) : s;
  }
  Status Close() override { return file_->Close(); }

 private:
  std::unique_ptr<ByteFile> file_;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem() : state_(std::make_shared<State>()) {
  state_->nodes["/"].directory = true;
}

MemoryFileSystem::~MemoryFileSystem() = default;

std::string MemoryFileSystem::Resolve(std::string_view name) {
  std::lock_guard<std::mutex> lock(state_->mu);
  State& s = *state_;
  return ResolveIgnoringCase(
      name, [&s](const std::string& path) { return s.Find(s.Absolute(path)) != nullptr; },
      [&s](const std::string& dir, std::string_view component, std::string* found) {
        for (const auto& [child, node] : s.Children(s.Absolute(dir))) {
          if (EqualsIgnoringAsciiCase(child, component)) {
            *found = child;
            return true;
          }
        }
        return false;
      });
}

Status MemoryFileSystem::OpenByteFile(std::string_view name, OpenMode mode, std::unique_ptr<ByteFile>* file) {
  // A new name is taken as given; only its directory is matched by case.
  // (The store keeps no permissions: both kinds of new file are alike.)
  const bool create_new = mode == OpenMode::kCreateNew || mode == OpenMode::kCreateNewShared;
  const std::string dir = DirectoryPart(name);
  const std::string path = !create_new  ? Resolve(name)
                           : dir.empty() ? std::string(name)
                                         : Resolve(dir) + "/" + std::string(name.substr(dir.size()));
  std::lock_guard<std::mutex> lock(state_->mu);
  const std::string absolute = state_->Absolute(path);
  if (!state_->IsDirectory(ParentOf(absolute))) return NoEntry("open", path);
  Node* node = state_->Find(absolute);
  if (node != nullptr && create_new) {
    return Status::AlreadyExists("open " + path + ": File exists");
  }
  if (node == nullptr) {
    if (mode == OpenMode::kReadOnly) return NoEntry("open", path);
    node = &state_->nodes[absolute];
    node->data = std::make_shared<std::string>();
  } else if (node->directory) {
    return Status::InvalidArgument("open " + path + ": not a regular file");
  } else if (node->read_only && mode != OpenMode::kReadOnly) {
    return Status::PermissionDenied("open " + path + ": Permission denied");
  } else if (mode == OpenMode::kCreateTruncate) {
    node->data->clear();
  }
  *file = std::make_unique<MemoryByteFile>(state_, node->data, path, mode != OpenMode::kReadOnly);
  return Status::Ok();
}

Status MemoryFileSystem::OpenAppendFile(std::string_view name, std::unique_ptr<AppendFile>* file) {
  std::unique_ptr<ByteFile> bytes;
  Status s = OpenByteFile(name, OpenMode::kReadWriteCreate, &bytes);
  if (s.ok()) *file = std::make_unique<MemoryAppendFile>(std::move(bytes));
  return s;
}

Status MemoryFileSystem::DeleteFile(std::string_view name) {
  const std::string path = Resolve(name);
  std::lock_guard<std::mutex> lock(state_->mu);
  const std::string absolute = state_->Absolute(path);
  Node* node = state_->Find(absolute);
  if (node == nullptr) return NoEntry("unlink", path);
  if (node->directory) return Status::IoError("unlink " + path + ": Is a directory");
  state_->nodes.erase(absolute);
  return Status::Ok();
}

namespace {

// Renames native path a to b with the store's lock held; with `replace`
// false, an entry at b is AlreadyExists.
Status Move(MemoryFileSystem::State& state, const std::string& a, const std::string& b, bool replace) {
  const std::string source = state.Absolute(a);
  const std::string target = state.Absolute(b);
  const std::string what = a + " -> " + b;
  Node* node = state.Find(source);
  if (node == nullptr || !state.IsDirectory(ParentOf(target))) return NoEntry("rename", what);
  if (Node* old = state.Find(target); old != nullptr && !replace) {
    return Status::AlreadyExists("rename " + what + ": File exists");
  }
  if (source == target) return Status::Ok();
  if (target.compare(0, source.size() + 1, source + "/") == 0) {
    return Status::InvalidArgument("rename " + what + ": Invalid argument");
  }
  if (Node* old = state.Find(target); old != nullptr) {
    if (old->directory != node->directory || (old->directory && !state.Children(target).empty())) {
      return Status::IoError("rename " + what + ": cannot replace " + (old->directory ? "a directory" : "a file"));
    }
  }
  // The entry and, for a directory, everything under it.
  std::vector<std::pair<std::string, Node>> moved;
  const std::string prefix = source + "/";
  for (auto it = state.nodes.begin(); it != state.nodes.end();) {
    if (it->first == source || it->first.compare(0, prefix.size(), prefix) == 0) {
      moved.emplace_back(target + it->first.substr(source.size()), std::move(it->second));
      it = state.nodes.erase(it);
    } else {
      ++it;
    }
  }
  for (auto& [path, moved_node] : moved) state.nodes[path] = std::move(moved_node);
  return Status::Ok();
}

}  // namespace

Status MemoryFileSystem::RenameFile(std::string_view from, std::string_view to) {
  const std::string a = Resolve(from);
  const std::string b = Resolve(to);
  std::lock_guard<std::mutex> lock(state_->mu);
  return Move(*state_, a, b, true);
}

// The new name is taken as given; only its directory is matched by case.
Status MemoryFileSystem::RenameNoReplace(std::string_view from, std::string_view to) {
  const std::string a = Resolve(from);
  const std::string dir = DirectoryPart(to);
  const std::string b = dir.empty() ? std::string(to) : Resolve(dir) + "/" + std::string(to.substr(dir.size()));
  std::lock_guard<std::mutex> lock(state_->mu);
  return Move(*state_, a, b, false);
}

Status MemoryFileSystem::TryLockFile(std::string_view name, std::string_view note, std::unique_ptr<FileLock>* lock) {
  const std::string path = Resolve(name);
  std::lock_guard<std::mutex> guard(state_->mu);
  const std::string absolute = state_->Absolute(path);
  if (!state_->IsDirectory(ParentOf(absolute))) return NoEntry("open", path);
  Node* node = state_->Find(absolute);
  if (node != nullptr && node->directory) return Status::InvalidArgument("open " + path + ": not a regular file");
  if (state_->locked.count(absolute) != 0) return Status::Busy(path + ": locked by another run");
  if (node == nullptr) {
    node = &state_->nodes[absolute];
    node->data = std::make_shared<std::string>();
  }
  *node->data = LockHolderLine(note);
  state_->locked.insert(absolute);
  *lock = std::make_unique<MemoryFileLock>(state_, absolute);
  return Status::Ok();
}

Status MemoryFileSystem::FindFirst(std::string_view pattern, DirEntry* entry) {
  const std::string dir = DirectoryPart(pattern);
  const std::string_view last = pattern.substr(dir.size());
  if (last.find_first_of("*?") == std::string_view::npos) {
    const std::string path = Resolve(pattern);
    std::lock_guard<std::mutex> lock(state_->mu);
    const Node* node = state_->Find(state_->Absolute(path));
    if (node == nullptr) return NoEntry("stat", path);
    entry->name = BaseName(path);
    entry->attributes = AttributesOf(*node, entry->name);
    entry->size = node->data ? node->data->size() : 0;
    return Status::Ok();
  }
  return FindFirstByListing(*this, pattern, entry);
}

Status MemoryFileSystem::ListDirectory(std::string_view dir, std::vector<DirEntry>* entries) {
  entries->clear();
  const std::string path = dir.empty() ? std::string(".") : Resolve(dir);
  std::lock_guard<std::mutex> lock(state_->mu);
  const std::string absolute = state_->Absolute(path);
  if (!state_->IsDirectory(absolute)) return NoEntry("opendir", path);
  for (const auto& [name, node] : state_->Children(absolute)) {
    entries->push_back(DirEntry{name, AttributesOf(*node, name), node->data ? node->data->size() : 0});
  }
  return Status::Ok();
}

Status MemoryFileSystem::GetCurrentDirectory(std::string* dir) {
  std::lock_guard<std::mutex> lock(state_->mu);
  *dir = state_->current;
  return Status::Ok();
}

Status MemoryFileSystem::SetCurrentDirectory(std::string_view dir) {
  const std::string path = Resolve(dir);
  std::lock_guard<std::mutex> lock(state_->mu);
  const std::string absolute = state_->Absolute(path);
  if (!state_->IsDirectory(absolute)) return NoEntry("chdir", path);
  state_->current = absolute;
  return Status::Ok();
}

Status MemoryFileSystem::CreateDirectory(std::string_view dir) {
  const std::string path = Resolve(dir);
  std::lock_guard<std::mutex> lock(state_->mu);
  const std::string absolute = state_->Absolute(path);
  if (state_->Find(absolute) != nullptr) return Status::AlreadyExists("mkdir " + path + ": File exists");
  if (!state_->IsDirectory(ParentOf(absolute))) return NoEntry("mkdir", path);
  state_->nodes[absolute].directory = true;
  return Status::Ok();
}

Status MemoryFileSystem::RemoveDirectory(std::string_view dir) {
  const std::string path = Resolve(dir);
  std::lock_guard<std::mutex> lock(state_->mu);
  const std::string absolute = state_->Absolute(path);
  Node* node = state_->Find(absolute);
  if (node == nullptr) return NoEntry("rmdir", path);
  if (!node->directory) return Status::IoError("rmdir " + path + ": Not a directory");
  if (!state_->Children(absolute).empty()) return Status::IoError("rmdir " + path + ": Directory not empty");
  state_->nodes.erase(absolute);
  return Status::Ok();
}

Status MemoryFileSystem::SyncDirectoryOf(std::string_view name) {
  const std::string path = Resolve(name);
  std::lock_guard<std::mutex> lock(state_->mu);
  const std::string dir = ParentOf(state_->Absolute(path));
  return state_->IsDirectory(dir) ? Status::Ok() : NoEntry("open", dir);
}

Status MemoryFileSystem::CopyPermissions(std::string_view from, std::string_view to) {
  const std::string a = Resolve(from);
  const std::string b = Resolve(to);
  std::lock_guard<std::mutex> lock(state_->mu);
  const Node* source = state_->Find(state_->Absolute(a));
  Node* target = state_->Find(state_->Absolute(b));
  if (source == nullptr) return NoEntry("stat", a);
  if (target == nullptr) return NoEntry("chmod", b);
  target->read_only = source->read_only;
  return Status::Ok();
}

Status MemoryFileSystem::SetReadOnly(std::string_view name, bool read_only) {
  const std::string path = Resolve(name);
  std::lock_guard<std::mutex> lock(state_->mu);
  Node* node = state_->Find(state_->Absolute(path));
  if (node == nullptr) return NoEntry("chmod", path);
  node->read_only = read_only;
  return Status::Ok();
}

}  // namespace zov::platform
