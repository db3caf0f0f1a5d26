// A program started in the background, for the tests of runs at the same
// time and of runs killed at random moments (POSIX only): its environment
// given whole, standard input from /dev/null, standard output and error to
// files. One still running when destroyed is killed and waited for.
//
//   ChildProcess run(bin + "/zovllibres", {"--year", "2026"}, {"ZOVROOT=..."}, dir + "a.out", dir + "a.err");
//   run.Kill();
//   int code = run.Wait();   // 128 + 9 after the kill
#ifndef ZOV_PLATFORM_TESTING_CHILD_PROCESS_H_
#define ZOV_PLATFORM_TESTING_CHILD_PROCESS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace zov::platform {

class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment, const std::string& out_file,
               const std::string& err_file);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The process id; 0 when it could not be started.
  int64_t pid() const { return pid_; }
  // Sends SIGKILL.
  void Kill();
  // Waits for the end: the exit code, or 128 + the signal that ended it
  // (-1 when it never started). Again after the end: the same answer.
  int Wait();

 private:
  int64_t pid_ = 0;
  bool waited_ = false;
  int code_ = -1;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_CHILD_PROCESS_H_
