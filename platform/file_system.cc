#include "platform/file_system.h"

#include <random>

namespace zov::platform {

Status ReadTextLines(FileSystem& fs, std::string_view name, std::vector<std::string>* lines) {
  lines->clear();
  std::string contents;
  Status s = fs.ReadFile(name, &contents);
  if (!s.ok()) return s;
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    std::size_t next = end == std::string::npos ? contents.size() : end + 1;
    if (end == std::string::npos) end = contents.size();
    std::size_t stop = end;
    if (stop > start && contents[stop - 1] == '\r') --stop;
    lines->emplace_back(contents, start, stop - start);
    start = next;
  }
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

Status WriteFileAtomically(FileSystem& fs, std::string_view name, std::string_view data) {
  std::random_device device;
  std::string temp;
  std::unique_ptr<ByteFile> file;
  // A fresh name each try, so a stale temporary file never gets in the way.
  for (int attempt = 0;; ++attempt) {
    temp = DirectoryPart(name) + "~zov" + std::to_string(device() % 100000000u) + ".tmp";
    DirEntry entry;
    if (fs.FindFirst(temp, &entry).code() == Status::Code::kNotFound) break;
    if (attempt == 100) return Status::IoError("no free temporary name beside " + std::string(name));
  }
  Status s = fs.OpenByteFile(temp, OpenMode::kCreateTruncate, &file);
  if (s.ok()) s = file->Write(0, data);
  if (s.ok()) s = file->Sync();
  if (file) {
    Status c = file->Close();
    if (s.ok()) s = c;
  }
  if (s.ok()) s = fs.RenameFile(temp, name);
  if (!s.ok()) {
    fs.DeleteFile(temp).IgnoreError();
    return s;
  }
  fs.SyncDirectoryOf(name).IgnoreError();
  return Status::Ok();
}

}  // namespace zov::platform
