// One job at a time on a thread of its own, so that the run can go on with
// the next owner while the last owner's book is packed and compressed.
//
//   BackgroundJob packer;
//   packer.Start([&book] { book.status = book.xlsx->Finish(); });
//   ...                      // the next owner's rows, on this thread
//   packer.Wait();           // the job has ended; its results may be read
//
// Start waits for the job before it. Whatever a job touches belongs to it
// from Start until Wait returns.
#ifndef ZOV_TOOLS_ZOVLLIBRES_BACKGROUND_JOB_H_
#define ZOV_TOOLS_ZOVLLIBRES_BACKGROUND_JOB_H_

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace zov::books {

class BackgroundJob {
 public:
  BackgroundJob() = default;
  // Waits for a job that is still running.
  ~BackgroundJob();

  void Start(std::function<void()> job);
  void Wait();

  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

 private:
  void Loop();

  std::mutex mu_;
  std::condition_variable cv_;
  std::function<void()> job_;  // set while a job waits or runs
  bool quit_ = false;
  std::thread thread_;  // started with the first job
};

}  // namespace zov::books

#endif  // ZOV_TOOLS_ZOVLLIBRES_BACKGROUND_JOB_H_
