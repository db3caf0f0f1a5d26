#include "register/consumer_thread.h"

#include <cstring>
#include <utility>

namespace zov::reg {

namespace {

// A batch is handed over when it holds this many events or bytes; at most
// kMaxBatches exist, one being filled, the others waiting or being replayed.
constexpr std::size_t kBatchEvents = 1024;
constexpr std::size_t kBatchBytes = 256 * 1024;
constexpr int kMaxBatches = 4;

}  // namespace

ConsumerThread::ConsumerThread(RecordVariables& replica, std::span<WalkConsumer* const> consumers)
    : replica_(replica), consumers_(consumers.begin(), consumers.end()), thread_([this] { Loop(); }) {}

ConsumerThread::~ConsumerThread() { Finish(); }

void ConsumerThread::OwnerStart(const RecordVariables& records) { Add(Kind::kOwnerStart, records, {}, true); }
void ConsumerThread::GroupStart(const RecordVariables& records) { Add(Kind::kGroupStart, records, {}, true); }
void ConsumerThread::PropertyStart(const RecordVariables& records) { Add(Kind::kPropertyStart, records, {}, true); }
void ConsumerThread::Line(const RecordVariables& records, const LineAmounts& amounts) {
  Add(Kind::kLine, records, amounts, false);
}
void ConsumerThread::OwnerEnd(const RecordVariables& records) { Add(Kind::kOwnerEnd, records, {}, true); }

void ConsumerThread::Add(Kind kind, const RecordVariables& records, const LineAmounts& amounts, bool all_records) {
  if (filling_ == nullptr) {
    std::unique_lock<std::mutex> lock(mu_);
    changed_.wait(lock, [this] { return !free_.empty() || batches_ < kMaxBatches; });
    if (!free_.empty()) {
      filling_ = std::move(free_.back());
      free_.pop_back();
    } else {
      filling_ = std::make_unique<Batch>();
      ++batches_;
    }
  }
  Batch& batch = *filling_;
  batch.events.push_back(Event{kind, amounts});
  const auto append = [&batch](std::span<const char> bytes) {
    batch.bytes.insert(batch.bytes.end(), bytes.begin(), bytes.end());
  };
  if (all_records) {
    for (int16_t number : kWalkFiles) append(records.ForFile(number));
  } else {
    append(records.ForFile(kFileVCobros));
  }
  if (batch.events.size() >= kBatchEvents || batch.bytes.size() >= kBatchBytes) Hand(std::move(filling_));
}

void ConsumerThread::Hand(std::unique_ptr<Batch> batch) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    full_.push_back(std::move(batch));
  }
  changed_.notify_all();
}

void ConsumerThread::Finish() {
  if (!thread_.joinable()) return;
  if (filling_ != nullptr && !filling_->events.empty()) Hand(std::move(filling_));
  {
    std::lock_guard<std::mutex> lock(mu_);
    finishing_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ConsumerThread::Loop() {
  std::unique_lock<std::mutex> lock(mu_);
  for (;;) {
    changed_.wait(lock, [this] { return !full_.empty() || finishing_; });
    if (full_.empty()) return;  // finishing, and every batch replayed
    std::unique_ptr<Batch> batch = std::move(full_.front());
    full_.pop_front();
    lock.unlock();
    Replay(*batch);
    batch->events.clear();
    batch->bytes.clear();
    lock.lock();
    free_.push_back(std::move(batch));
    changed_.notify_all();
  }
}

// Restores each event's record variables in the replica, then hands the
// event to every consumer.
void ConsumerThread::Replay(const Batch& batch) {
  const char* p = batch.bytes.data();
  const auto restore = [&p](std::span<char> record) {
    std::memcpy(record.data(), p, record.size());
    p += record.size();
  };
  for (const Event& event : batch.events) {
    if (event.kind == Kind::kLine) {
      restore(replica_.ForFile(kFileVCobros));
    } else {
      for (int16_t number : kWalkFiles) restore(replica_.ForFile(number));
    }
    for (WalkConsumer* c : consumers_) {
      switch (event.kind) {
        case Kind::kOwnerStart: c->OwnerStart(replica_); break;
        case Kind::kGroupStart: c->GroupStart(replica_); break;
        case Kind::kPropertyStart: c->PropertyStart(replica_); break;
        case Kind::kLine: c->Line(replica_, event.amounts); break;
        case Kind::kOwnerEnd: c->OwnerEnd(replica_); break;
      }
    }
  }
}

}  // namespace zov::reg
