// The walk's consumers on a thread of their own. The walk reads the data
// files on the calling thread while the consumers format and write what it
// found on a second one, so the reading and the writing of a register run
// side by side on two processors.
//
//   RecordVariables replica = ctx.records;   // what the consumers read
//   ConsumerThread thread(replica, consumers);
//   WalkConsumer* walk_consumers[] = {&thread};
//   WalkFailure failure = WalkRegister(env, files, ctx.records, params, walk_consumers);
//   thread.Finish();   // every event has reached every consumer
//
// Each event is queued with a copy of the record variables it may have
// changed: a line, the receipt (the walk reads only receipts between two
// lines of one property); every other event, all the records the walk reads.
// The consumers get the events in the walk's order, each with the replica,
// which then holds what the walk's record variables held at the event; they
// never see the walk's own. A consumer that reads record variables other
// than the event's argument must read the replica.
//
// Between the first event and Finish the consumers, and whatever they touch,
// belong to the second thread; the walk must not use them. Events wait in a
// few bounded batches, so a slow consumer holds the walk back rather than
// letting the queue grow.
#ifndef ZOV_REGISTER_CONSUMER_THREAD_H_
#define ZOV_REGISTER_CONSUMER_THREAD_H_

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "register/line.h"
#include "register/records.h"
#include "register/walk_events.h"

namespace zov::reg {

class ConsumerThread final : public WalkConsumer {
 public:
  // `replica` (usually a copy of the walk's record variables, so that those
  // the walk does not read keep their values) belongs to the consumer
  // thread until Finish.
  ConsumerThread(RecordVariables& replica, std::span<WalkConsumer* const> consumers);
  // Finishes when Finish was not called.
  ~ConsumerThread() override;

  ConsumerThread(const ConsumerThread&) = delete;
  ConsumerThread& operator=(const ConsumerThread&) = delete;

  void OwnerStart(const RecordVariables& records) override;
  void GroupStart(const RecordVariables& records) override;
  void PropertyStart(const RecordVariables& records) override;
  void Line(const RecordVariables& records, const LineAmounts& amounts) override;
  void OwnerEnd(const RecordVariables& records) override;

  // Hands over the events still held and waits until the consumers have had
  // every one. Afterwards the consumers belong to the caller again.
  void Finish();

 private:
  enum class Kind : uint8_t { kOwnerStart, kGroupStart, kPropertyStart, kLine, kOwnerEnd };
  struct Event {
    Kind kind;
    LineAmounts amounts;
  };
  // Events in order and the record bytes they carry, one after the other.
  struct Batch {
    std::vector<Event> events;
    std::vector<char> bytes;
  };

  void Add(Kind kind, const RecordVariables& records, const LineAmounts& amounts, bool all_records);
  void Hand(std::unique_ptr<Batch> batch);
  void Loop();
  void Replay(const Batch& batch);

  RecordVariables& replica_;
  std::vector<WalkConsumer*> consumers_;
  std::unique_ptr<Batch> filling_;  // the walk's side

  std::mutex mu_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<Batch>> full_;   // waiting for the consumers
  std::vector<std::unique_ptr<Batch>> free_;  // emptied, to be filled again
  int batches_ = 0;                           // made so far, at most kMaxBatches
  bool finishing_ = false;
  std::thread thread_;
};

}  // namespace zov::reg

#endif  // ZOV_REGISTER_CONSUMER_THREAD_H_
