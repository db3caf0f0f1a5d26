// Reads a zip file as a strict reader does, for the tests of the books'
// writer (it runs wherever the tests do, unlike the XLSX reader): the end
// record, the central directory, and for each entry its local header, which
// must agree with the directory, then its data inflated and its CRC-32
// checked.
//
//   std::vector<ZipEntryRead> entries;
//   EXPECT_EQ(ReadZip(bytes, &entries), "");   // else the first problem
#ifndef ZOV_TESTS_BOOKS_ZIP_READER_H_
#define ZOV_TESTS_BOOKS_ZIP_READER_H_

#include <zlib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zov::books {

struct ZipEntryRead {
  std::string name;
  std::string data;
  uint16_t date = 0, time = 0;
};

inline uint32_t ZipField(std::string_view bytes, std::size_t at, int size) {
  uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i)
    v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return v;
}

inline std::string Inflate(std::string_view compressed, std::size_t size, std::string* out) {
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return "inflateInit2 failed";
  out->assign(size, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  z.avail_in = static_cast<uInt>(compressed.size());
  z.next_out = reinterpret_cast<Bytef*>(out->data());
  z.avail_out = static_cast<uInt>(size);
  const int rc = inflate(&z, Z_FINISH);
  const bool whole = rc == Z_STREAM_END && z.avail_in == 0 && z.avail_out == 0;
  inflateEnd(&z);
  return whole ? "" : "the data does not inflate to its size";
}

inline std::string ReadZip(std::string_view bytes, std::vector<ZipEntryRead>* entries) {
  entries->clear();
  if (bytes.size() < 22) return "shorter than an end record";
  const std::size_t end = bytes.size() - 22;  // no archive comment
  if (ZipField(bytes, end, 4) != 0x06054b50) return "no end record at the end";
  const uint32_t count = ZipField(bytes, end + 10, 2);
  const uint32_t directory_size = ZipField(bytes, end + 12, 4);
  std::size_t at = ZipField(bytes, end + 16, 4);
  if (ZipField(bytes, end + 8, 2) != count || at + directory_size != end) return "the end record is inconsistent";
  for (uint32_t i = 0; i < count; ++i) {
    if (at + 46 > end || ZipField(bytes, at, 4) != 0x02014b50) return "a directory entry is damaged";
    const uint32_t method = ZipField(bytes, at + 10, 2);
    const uint32_t crc = ZipField(bytes, at + 16, 4);
    const uint32_t compressed = ZipField(bytes, at + 20, 4);
    const uint32_t size = ZipField(bytes, at + 24, 4);
    const uint32_t name_length = ZipField(bytes, at + 28, 2);
    const uint32_t skip = ZipField(bytes, at + 30, 2) + ZipField(bytes, at + 32, 2);
    const std::size_t local = ZipField(bytes, at + 42, 4);
    ZipEntryRead e;
    e.name = std::string(bytes.substr(at + 46, name_length));
    e.time = static_cast<uint16_t>(ZipField(bytes, at + 12, 2));
    e.date = static_cast<uint16_t>(ZipField(bytes, at + 14, 2));
    at += 46 + name_length + skip;
    if (method != 8) return e.name + ": not deflated";
    // The local header says the same, with its sizes in place.
    if (local + 30 > end || ZipField(bytes, local, 4) != 0x04034b50) return e.name + ": no local header";
    if (ZipField(bytes, local + 6, 2) != 0 || ZipField(bytes, local + 8, 2) != method ||
        ZipField(bytes, local + 10, 2) != e.time || ZipField(bytes, local + 12, 2) != e.date ||
        ZipField(bytes, local + 14, 4) != crc || ZipField(bytes, local + 18, 4) != compressed ||
        ZipField(bytes, local + 22, 4) != size || ZipField(bytes, local + 26, 2) != name_length ||
        bytes.substr(local + 30, name_length) != e.name)
      return e.name + ": the local header disagrees with the directory";
    const std::size_t data = local + 30 + name_length + ZipField(bytes, local + 28, 2);
    if (data + compressed > end) return e.name + ": the data runs past the directory";
    if (std::string problem = Inflate(bytes.substr(data, compressed), size, &e.data); !problem.empty())
      return e.name + ": " + problem;
    const auto actual = crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size()));
    if (actual != crc) return e.name + ": wrong CRC-32";
    entries->push_back(std::move(e));
  }
  return "";
}

}  // namespace zov::books

#endif  // ZOV_TESTS_BOOKS_ZIP_READER_H_
