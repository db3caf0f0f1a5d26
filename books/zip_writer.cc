#include "books/zip_writer.h"

#include <zlib.h>

#include <array>
#include <limits>

namespace zov::books {

namespace {

constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint16_t kVersion = 20;  // 2.0: deflate
constexpr uint16_t kDeflated = 8;
// Where a local header keeps its CRC-32 and sizes.
constexpr uint64_t kLocalCrcOffset = 14;
constexpr uint64_t kZip32Limit = std::numeric_limits<uint32_t>::max();
constexpr std::size_t kMaxEntries = 0xFFFF;
// Compressed bytes written a block at a time.
constexpr std::size_t kBlock = 64 * 1024;
// zlib takes at most this much input per call.
constexpr std::size_t kMaxInput = 1 << 30;

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint64_t v) {
  Put16(out, static_cast<uint32_t>(v & 0xFFFF));
  Put16(out, static_cast<uint32_t>((v >> 16) & 0xFFFF));
}

}  // namespace

ZipTimestamp ZipTimestamp::Of(const RunTime& t) {
  ZipTimestamp z;
  if (t.year < 1980) {
    z.date = (1 << 5) | 1;  // 1980-01-01 00:00:00
    return z;
  }
  if (t.year > 2107) {
    z.date = static_cast<uint16_t>((127 << 9) | (12 << 5) | 31);
    z.time = static_cast<uint16_t>((23 << 11) | (59 << 5) | 29);
    return z;
  }
  z.date = static_cast<uint16_t>(((t.year - 1980) << 9) | (t.month << 5) | t.day);
  z.time = static_cast<uint16_t>((t.hour << 11) | (t.minute << 5) | (t.second / 2));
  return z;
}

// zlib's raw deflate stream, made once and reset for each entry.
struct ZipWriter::Deflater {
  z_stream stream{};
  bool ready = false;
  uint32_t crc = 0;
  uint64_t compressed = 0;
  uint64_t uncompressed = 0;
  ~Deflater() {
    if (ready) deflateEnd(&stream);
  }
};

ZipWriter::ZipWriter(platform::ByteFile& file, std::string name, ZipTimestamp timestamp, int level)
    : file_(file), name_(std::move(name)), timestamp_(timestamp), deflater_(std::make_unique<Deflater>()) {
  // Raw deflate (no zlib header: the zip headers frame it), zlib's usual
  // window and memory.
  if (deflateInit2(&deflater_->stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    Fail("the compressor cannot be set up");
    return;
  }
  deflater_->ready = true;
  buffer_.reserve(kBlock + kBlock / 4);
}

ZipWriter::~ZipWriter() = default;

void ZipWriter::Fail(std::string_view what) {
  if (status_.ok()) status_ = platform::Status::IoError(name_ + ": " + std::string(what));
}

void ZipWriter::BeginEntry(std::string_view name) {
  if (!status_.ok()) return;
  if (in_entry_ || finished_) return Fail("an entry begun out of turn");
  if (entries_.size() == kMaxEntries) return Fail("more entries than a zip file can list");
  if (deflateReset(&deflater_->stream) != Z_OK) return Fail("the compressor cannot be reset");
  deflater_->crc = static_cast<uint32_t>(crc32(0, nullptr, 0));
  deflater_->compressed = deflater_->uncompressed = 0;
  entries_.push_back(Entry{std::string(name), 0, 0, 0, size()});
  in_entry_ = true;
  std::string header;
  Put32(header, kLocalHeaderSignature);
  Put16(header, kVersion);
  Put16(header, 0);  // flags: the sizes are in this header (no data descriptor); the name is ASCII
  Put16(header, kDeflated);
  Put16(header, timestamp_.time);
  Put16(header, timestamp_.date);
  Put32(header, 0);  // CRC-32, compressed and uncompressed size: written at EndEntry
  Put32(header, 0);
  Put32(header, 0);
  Put16(header, static_cast<uint32_t>(name.size()));
  Put16(header, 0);  // no extra field
  header += name;
  Emit(header);
}

void ZipWriter::Write(std::string_view data) {
  if (!status_.ok()) return;
  if (!in_entry_) return Fail("data outside an entry");
  if (!data.empty()) Deflate(data, false);
}

void ZipWriter::Deflate(std::string_view data, bool finish) {
  Deflater& d = *deflater_;
  std::array<char, 16 * 1024> out;
  do {
    const std::string_view piece = data.substr(0, kMaxInput);
    data.remove_prefix(piece.size());
    // (crc32 of no buffer at all is the initial value, not the running one.)
    if (!piece.empty()) {
      d.crc = static_cast<uint32_t>(
          crc32(d.crc, reinterpret_cast<const Bytef*>(piece.data()), static_cast<uInt>(piece.size())));
    }
    d.uncompressed += piece.size();
    d.stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
    d.stream.avail_in = static_cast<uInt>(piece.size());
    const int flush = finish && data.empty() ? Z_FINISH : Z_NO_FLUSH;
    int rc = Z_OK;
    do {
      d.stream.next_out = reinterpret_cast<Bytef*>(out.data());
      d.stream.avail_out = static_cast<uInt>(out.size());
      rc = deflate(&d.stream, flush);
      if (rc == Z_STREAM_ERROR) return Fail("the compressor failed");
      const std::size_t produced = out.size() - d.stream.avail_out;
      d.compressed += produced;
      Emit(std::string_view(out.data(), produced));
      if (!status_.ok()) return;  // a write failed: nothing more is kept
    } while (d.stream.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
  } while (!data.empty());
}

void ZipWriter::EndEntry() {
  if (!status_.ok()) return;
  if (!in_entry_) return Fail("an entry ended out of turn");
  Deflate({}, true);
  if (!status_.ok()) return;
  in_entry_ = false;
  Entry& e = entries_.back();
  e.crc = deflater_->crc;
  e.compressed = deflater_->compressed;
  e.uncompressed = deflater_->uncompressed;
  if (e.compressed > kZip32Limit || e.uncompressed > kZip32Limit)
    return Fail("the entry " + e.name + " is too large for a zip file without zip64");
  std::string sizes;
  Put32(sizes, e.crc);
  Put32(sizes, e.compressed);
  Put32(sizes, e.uncompressed);
  Patch(e.offset + kLocalCrcOffset, sizes);
}

void ZipWriter::Finish() {
  if (!status_.ok()) return;
  if (in_entry_ || finished_) return Fail("the archive finished out of turn");
  const uint64_t directory_offset = size();
  std::string directory;
  for (const Entry& e : entries_) {
    Put32(directory, kCentralHeaderSignature);
    Put16(directory, kVersion);  // made by: MS-DOS attributes, version 2.0
    Put16(directory, kVersion);
    Put16(directory, 0);
    Put16(directory, kDeflated);
    Put16(directory, timestamp_.time);
    Put16(directory, timestamp_.date);
    Put32(directory, e.crc);
    Put32(directory, e.compressed);
    Put32(directory, e.uncompressed);
    Put16(directory, static_cast<uint32_t>(e.name.size()));
    Put16(directory, 0);  // extra field
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, 0);  // external attributes
    Put32(directory, e.offset);
    directory += e.name;
  }
  const uint64_t directory_size = directory.size();
  if (directory_offset + directory_size > kZip32Limit) return Fail("too large for a zip file without zip64");
  Put32(directory, kEndSignature);
  Put16(directory, 0);  // this disk
  Put16(directory, 0);  // the directory's disk
  Put16(directory, static_cast<uint32_t>(entries_.size()));
  Put16(directory, static_cast<uint32_t>(entries_.size()));
  Put32(directory, directory_size);
  Put32(directory, directory_offset);
  Put16(directory, 0);  // no comment
  Emit(directory);
  Flush();
  finished_ = true;
}

void ZipWriter::Emit(std::string_view bytes) {
  buffer_ += bytes;
  if (buffer_.size() >= kBlock) Flush();
}

void ZipWriter::Flush() {
  if (buffer_.empty() || !status_.ok()) return;
  if (platform::Status s = file_.Write(buffer_start_, buffer_); !s.ok()) {
    status_ = s;
    return;
  }
  buffer_start_ += buffer_.size();
  buffer_.clear();
}

void ZipWriter::Patch(uint64_t offset, std::string_view bytes) {
  if (offset >= buffer_start_) {
    buffer_.replace(static_cast<std::size_t>(offset - buffer_start_), bytes.size(), bytes);
    return;
  }
  if (platform::Status s = file_.Write(offset, bytes); !s.ok()) status_ = s;
}

}  // namespace zov::books
