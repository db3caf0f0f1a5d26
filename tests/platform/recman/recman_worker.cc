// A second process for the record-manager tests. Prints the status of its
// first call on stdout and, for the hold commands, keeps the file until its
// stdin is closed.
//
//   recman_worker open PATH MODE           exit code = status of the open
//   recman_worker hold PATH MODE           open, print status, wait, close
//   recman_worker insert PATH FIRST COUNT  insert records FIRST.. one by one
//   recman_worker hold-transaction PATH    open, begin, insert 999999, print
//                                          status, wait, abort
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/recman/record_managers.h"
#include "tests/platform/recman/recman_test_util.h"

namespace {

using zov::platform::test::Rec;
using zov::platform::RecordFile;

void WaitForStdinToClose() {
  while (std::getchar() != EOF) {
  }
}

int Report(int status) {
  std::printf("%d\n", status);
  std::fflush(stdout);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 100;
  const std::string command = argv[1], path = argv[2];
  std::unique_ptr<zov::platform::RecordManager> rm = zov::platform::NewSqliteRecordManager();
  RecordFile f(*rm);
  if (command == "open" && argc == 4) {
    return Report(f.Open(path, static_cast<int8_t>(std::atoi(argv[3]))));
  }
  if (command == "hold" && argc == 4) {
    const int status = Report(f.Open(path, static_cast<int8_t>(std::atoi(argv[3]))));
    WaitForStdinToClose();
    return status;
  }
  if (command == "insert" && argc == 5) {
    int status = f.Open(path);
    const long first = std::atol(argv[3]), count = std::atol(argv[4]);
    for (long i = first; status == 0 && i < first + count; ++i) {
      status = f.Insert(Rec(static_cast<uint32_t>(i), "W" + std::to_string(i % 7)));
    }
    return Report(status);
  }
  if (command == "hold-transaction" && argc == 3) {
    int status = f.Open(path);
    if (status == 0) status = zov::platform::BeginTransaction(*rm);
    if (status == 0) status = f.Insert(Rec(999999, "T"));
    Report(status);
    WaitForStdinToClose();
    return zov::platform::AbortTransaction(*rm);
  }
  return 100;
}
