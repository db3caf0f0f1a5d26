// An in-memory record manager for the tests of the layers above: files by
// path, records kept in insertion order and read in key order, every call
// logged with the bytes it was handed, and scripted answers (locked opens,
// forced statuses) to drive the callers' failure paths.
//
// What it honours of the record manager's contract, checked against the
// engine by tests/platform/recman/record_manager_contract_test.cc: open (12
// for a missing file), close, reset, create (59 for an existing file; the
// key number is not looked at), insert (22 for a record of the wrong length,
// 5 for a value taken on a unique key, 6 for a key number the file lacks),
// stat (record count, no distinct-value counts), get equal, greater or equal,
// less or equal, next and previous, with the key buffer and the short data
// buffer (22) as the engine fills them. Keys compare as their bytes, so only
// files whose keys are plain strings are ordered as the engine orders them.
// Paths are compared exactly as handed. Every other operation answers 1.
#ifndef ZOV_PLATFORM_TESTING_FAKE_RECORD_MANAGER_H_
#define ZOV_PLATFORM_TESTING_FAKE_RECORD_MANAGER_H_

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/coding.h"
#include "platform/record_manager.h"
#include "platform/recman/file_spec.h"
#include "platform/recman/status.h"

namespace zov::platform {

struct FakeFile {
  FileSpec spec;
  // Stored bytes; a record may be longer than spec.record_length to show
  // what the caller does with more data than it asked for.
  std::vector<std::string> records;
};

struct LoggedCall {
  uint16_t operation;
  std::string data;  // the data buffer's first data_length bytes on the way in
  uint32_t data_length;
  std::string key;   // the key buffer's first key_length bytes on the way in
  uint8_t key_length;
  int8_t key_number;
  int16_t status;
};

class FakeRecordManager : public RecordManager {
 public:
  std::map<std::string, FakeFile> files;  // by path as handed to open
  int locked_opens = 0;                   // answer 85 to this many opens
  std::map<uint16_t, int16_t> forced;     // answer this status to an operation
  bool create_makes_file = true;          // false: create answers 0 but makes nothing
  // When set, reads (5, 9, 11) log this many key-buffer bytes whatever the
  // key length says, to show how the buffer was filled beyond the key.
  std::size_t read_key_capture = 0;
  std::vector<LoggedCall> calls;

  int CountOf(uint16_t operation) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [&](const LoggedCall& c) { return c.operation == operation; }));
  }

  int16_t Call(uint16_t operation, uint8_t* position_block, void* data, uint32_t* data_length, void* key,
               uint8_t key_length, int8_t key_number) override {
    std::size_t key_bytes = key_length;
    if (read_key_capture != 0 &&
        (operation == kOpGetEqual || operation == kOpGetGreaterOrEqual || operation == kOpGetLessOrEqual)) {
      key_bytes = read_key_capture;
    }
    LoggedCall log{operation,
                   std::string(static_cast<const char*>(data), *data_length),
                   *data_length,
                   std::string(static_cast<const char*>(key), key_bytes),
                   key_length,
                   key_number,
                   0};
    log.status = Dispatch(operation, position_block, static_cast<char*>(data), data_length,
                          static_cast<char*>(key), key_length, key_number);
    calls.push_back(log);
    return log.status;
  }

 private:
  struct Handle {
    std::string path;
    bool open = true;
    int key_number = 0;
    long position = -1;  // index into the key order
  };
  std::vector<Handle> handles_;

  static std::string KeyOf(const FakeFile& f, int key_number, const std::string& record) {
    std::string key;
    for (const KeySegment& s : f.spec.keys[static_cast<std::size_t>(key_number)]) {
      std::string part = record.substr(std::min<std::size_t>(s.position - 1u, record.size()), s.length);
      part.resize(s.length, '\0');
      key += part;
    }
    return key;
  }

  // Record indexes in key order (stable: equal keys keep insertion order).
  static std::vector<std::size_t> Order(const FakeFile& f, int key_number) {
    std::vector<std::size_t> order(f.records.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return KeyOf(f, key_number, f.records[a]) < KeyOf(f, key_number, f.records[b]);
    });
    return order;
  }

  Handle* HandleOf(const uint8_t* position_block) {
    const uint32_t id = DecodeFixed32(position_block);
    if (id == 0 || id > handles_.size() || !handles_[id - 1].open) return nullptr;
    return &handles_[id - 1];
  }

  static void CopyKey(const std::string& k, char* key, uint8_t key_length) {
    std::memcpy(key, k.data(), std::min<std::size_t>(k.size(), key_length));
  }

  int16_t Deliver(FakeFile& f, Handle& h, long position, char* data, uint32_t* data_length, char* key,
                  uint8_t key_length) {
    std::vector<std::size_t> order = Order(f, h.key_number);
    if (position < 0 || position >= static_cast<long>(order.size())) return kRmEndOfFile;
    h.position = position;
    const std::string& record = f.records[order[static_cast<std::size_t>(position)]];
    CopyKey(KeyOf(f, h.key_number, record), key, key_length);
    const uint32_t room = *data_length;
    if (record.size() > room) {
      std::memcpy(data, record.data(), room);
      return kRmDataBufferTooShort;
    }
    std::memcpy(data, record.data(), record.size());
    *data_length = static_cast<uint32_t>(record.size());
    return kRmOk;
  }

  int16_t Insert(FakeFile& f, Handle& h, const char* data, uint32_t data_length, char* key, uint8_t key_length,
                 int8_t key_number) {
    if (data_length != f.spec.record_length) return kRmDataBufferTooShort;
    if (key_number >= 0 && static_cast<std::size_t>(key_number) >= f.spec.keys.size()) return kRmInvalidKeyNumber;
    const std::string record(data, data_length);
    for (std::size_t k = 0; k < f.spec.keys.size(); ++k) {
      if (f.spec.keys[k].front().flags & kSegDuplicates) continue;
      const std::string value = KeyOf(f, static_cast<int>(k), record);
      for (const std::string& other : f.records) {
        if (KeyOf(f, static_cast<int>(k), other) == value) return kRmDuplicateKey;
      }
    }
    f.records.push_back(record);
    if (key_number < 0) return kRmOk;
    h.key_number = key_number;
    const std::vector<std::size_t> order = Order(f, key_number);
    h.position = static_cast<long>(std::find(order.begin(), order.end(), f.records.size() - 1) - order.begin());
    CopyKey(KeyOf(f, key_number, record), key, key_length);
    return kRmOk;
  }

  int16_t Dispatch(uint16_t operation, uint8_t* position_block, char* data, uint32_t* data_length,
                   char* key, uint8_t key_length, int8_t key_number) {
    auto forced_status = forced.find(operation);
    if (forced_status != forced.end()) return forced_status->second;
    switch (operation) {
      case kOpOpen: {
        std::string path(key, strnlen(key, key_length));
        if (!files.count(path)) return kRmFileNotFound;
        if (locked_opens > 0) {
          --locked_opens;
          return kRmFileLocked;
        }
        handles_.push_back(Handle{path});
        EncodeFixed32(position_block, static_cast<uint32_t>(handles_.size()));
        return kRmOk;
      }
      case kOpCreate: {
        std::string path(key, strnlen(key, key_length));
        if (files.count(path)) return kRmFileExists;
        if (create_makes_file) {
          files[path].spec =
              DecodeFileSpec(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(data), *data_length));
        }
        return kRmOk;
      }
      case kOpReset:
        for (Handle& h : handles_) h.open = false;
        return kRmOk;
      default:
        break;
    }
    Handle* h = HandleOf(position_block);
    if (h == nullptr) return kRmFileNotOpen;
    FakeFile& f = files[h->path];
    switch (operation) {
      case kOpClose:
        h->open = false;
        return kRmOk;
      case kOpInsert:
        return Insert(f, *h, data, *data_length, key, key_length, key_number);
      case kOpStat: {
        FileSpec spec = f.spec;
        spec.record_count = static_cast<uint32_t>(f.records.size());
        const std::string bytes = EncodeFileSpec(spec);
        const std::size_t n = std::min<std::size_t>(bytes.size(), *data_length);
        std::memcpy(data, bytes.data(), n);
        *data_length = static_cast<uint32_t>(n);
        return n < bytes.size() ? kRmDataBufferTooShort : kRmOk;
      }
      case kOpGetEqual:
      case kOpGetGreaterOrEqual:
      case kOpGetLessOrEqual: {
        if (key_number < 0 || static_cast<std::size_t>(key_number) >= f.spec.keys.size()) return kRmInvalidKeyNumber;
        h->key_number = key_number;
        const auto key_size = static_cast<std::size_t>(f.spec.KeyLength(key_number));
        const std::string wanted(key, std::min<std::size_t>(key_length, key_size));
        std::vector<std::size_t> order = Order(f, key_number);
        long found = -1;
        for (long i = 0; i < static_cast<long>(order.size()); ++i) {
          std::string k = KeyOf(f, key_number, f.records[order[static_cast<std::size_t>(i)]]);
          if (operation == kOpGetEqual && k == wanted) {
            found = i;
            break;
          }
          if (operation == kOpGetGreaterOrEqual && k >= wanted) {
            found = i;
            break;
          }
          if (operation == kOpGetLessOrEqual && k <= wanted) found = i;
        }
        if (found < 0) return operation == kOpGetEqual ? kRmKeyNotFound : kRmEndOfFile;
        return Deliver(f, *h, found, data, data_length, key, key_length);
      }
      case kOpGetNext:
        return Deliver(f, *h, h->position + 1, data, data_length, key, key_length);
      case kOpGetPrevious:
        return Deliver(f, *h, h->position - 1, data, data_length, key, key_length);
      default:
        return kRmInvalidOperation;
    }
  }
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_FAKE_RECORD_MANAGER_H_
