// A zip archive written front to back through a platform::ByteFile as its
// entries come, for files that must obey the file system's rules (created
// new, owner-only, synced, renamed into place: the caller opens and closes
// the file). Each entry is a local header, then its data deflated as it is
// given; when the entry ends, its CRC-32 and sizes are written into its local
// header in place (the file is written at explicit positions), so no data
// descriptors follow the data. Finish adds the central directory and its end
// record. Memory stays flat: zlib's deflate state and one block of
// compressed bytes, whatever the length of an entry.
//
// Every entry carries the same modification time, the caller's (a run's
// time, so that the same run gives the same bytes). No zip64: an archive or
// entry past 4 GiB, or more than 65,535 entries, is an error.
//
// The writer keeps its first error; every later call does nothing, and the
// caller asks once, at the end, through status().
//
//   ZipWriter zip(*file, name, ZipTimestamp::Of(run_time), Z_BEST_SPEED);
//   zip.BeginEntry("[Content_Types].xml");
//   zip.Write(xml);
//   zip.EndEntry();
//   zip.Finish();
//   if (!zip.status().ok()) ...;   // zip.size(): the bytes written
#ifndef ZOV_BOOKS_ZIP_WRITER_H_
#define ZOV_BOOKS_ZIP_WRITER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "books/run_time.h"
#include "platform/file_system.h"
#include "platform/status.h"

namespace zov::books {

// The MS-DOS date and time that zip headers carry: local time by convention,
// here the run's time in UTC, to two seconds; before 1980 (where the field
// begins) it is 1 January 1980, after 2107 (where it ends) 31 December 2107.
struct ZipTimestamp {
  uint16_t date = 0;
  uint16_t time = 0;
  static ZipTimestamp Of(const RunTime& time);
};

class ZipWriter {
 public:
  // `name` is for messages. `level` is zlib's compression level.
  ZipWriter(platform::ByteFile& file, std::string name, ZipTimestamp timestamp, int level);
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Starts an entry (the previous one must have ended). `name` is ASCII.
  void BeginEntry(std::string_view name);
  // Adds to the current entry's data.
  void Write(std::string_view data);
  void EndEntry();
  // Writes the central directory and its end record: the archive is then
  // complete (and durable once the caller has synced the file).
  void Finish();

  const platform::Status& status() const { return status_; }
  // The archive's size so far, in bytes.
  uint64_t size() const { return buffer_start_ + buffer_.size(); }

 private:
  struct Entry {
    std::string name;
    uint32_t crc = 0;
    uint64_t compressed = 0;
    uint64_t uncompressed = 0;
    uint64_t offset = 0;  // of its local header
  };
  struct Deflater;

  void Fail(std::string_view what);
  void Deflate(std::string_view data, bool finish);
  // Appends to the archive (buffered; written a block at a time).
  void Emit(std::string_view bytes);
  void Flush();
  // Writes bytes over earlier ones at `offset` of the archive.
  void Patch(uint64_t offset, std::string_view bytes);

  platform::ByteFile& file_;
  std::string name_;
  ZipTimestamp timestamp_;
  std::unique_ptr<Deflater> deflater_;
  platform::Status status_;
  std::string buffer_;          // archive bytes not yet written
  uint64_t buffer_start_ = 0;   // the offset of buffer_'s first byte
  std::vector<Entry> entries_;
  bool in_entry_ = false;
  bool finished_ = false;
};

}  // namespace zov::books

#endif  // ZOV_BOOKS_ZIP_WRITER_H_
