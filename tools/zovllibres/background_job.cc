#include "tools/zovllibres/background_job.h"

#include <utility>

namespace zov::books {

BackgroundJob::~BackgroundJob() {
  if (!thread_.joinable()) return;
  {
    std::unique_lock<std::mutex> lock(mu_);
    cv_.wait(lock, [this] { return !job_; });
    quit_ = true;
  }
  cv_.notify_all();
  thread_.join();
}

void BackgroundJob::Start(std::function<void()> job) {
  Wait();
  {
    std::lock_guard<std::mutex> lock(mu_);
    job_ = std::move(job);
  }
  if (!thread_.joinable()) {
    thread_ = std::thread([this] { Loop(); });
  } else {
    cv_.notify_all();
  }
}

void BackgroundJob::Wait() {
  std::unique_lock<std::mutex> lock(mu_);
  cv_.wait(lock, [this] { return !job_; });
}

void BackgroundJob::Loop() {
  std::unique_lock<std::mutex> lock(mu_);
  for (;;) {
    cv_.wait(lock, [this] { return job_ || quit_; });
    if (!job_) return;  // quit_ with nothing left to do
    lock.unlock();
    job_();
    lock.lock();
    job_ = nullptr;
    cv_.notify_all();
  }
}

}  // namespace zov::books
