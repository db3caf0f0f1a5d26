#include "platform/native_env.h"

#include <ostream>
#include <streambuf>

#include "platform/code_page.h"
#include "platform/recman/record_managers.h"

namespace zov::platform {
namespace {

constexpr std::string_view kSuiteVariables[] = {"ZOVROOT", "ZOVEXE", "ZOVTMP", "TEMP",
                                                "TMPDIR",  "COMSPEC", "ZOVRECMAN"};

// Holds what is written until a flush or a full buffer, and on a terminal
// or standard error until a line end, then hands it to WriteStandardText in
// one piece (as the C library buffers its streams).
class StandardTextBuffer : public std::streambuf {
 public:
  explicit StandardTextBuffer(StandardStream stream)
      : stream_(stream),
        by_line_(stream == StandardStream::kError || StandardStreamIsTerminal(stream)) {
    pending_.reserve(kLimit);
  }
  ~StandardTextBuffer() override { Flush(); }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    if (((by_line_ && pending_.back() == '\n') || pending_.size() >= kLimit) && !Flush()) return traits_type::eof();
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    const std::string_view text(s, static_cast<std::size_t>(n));
    pending_ += text;
    if (((by_line_ && text.find('\n') != std::string_view::npos) || pending_.size() >= kLimit) && !Flush()) return 0;
    return n;
  }
  int sync() override { return Flush() ? 0 : -1; }

 private:
  static constexpr std::size_t kLimit = 4096;
  // False when the stream did not take what was pending (it is dropped).
  bool Flush() {
    if (pending_.empty()) return true;
    const bool written = WriteStandardText(stream_, pending_);
    pending_.clear();
    return written;
  }
  const StandardStream stream_;
  const bool by_line_;
  std::string pending_;
};

class StandardTextStream : public std::ostream {
 public:
  explicit StandardTextStream(StandardStream stream) : std::ostream(nullptr), buffer_(stream) { rdbuf(&buffer_); }

 private:
  StandardTextBuffer buffer_;
};

class StandardErrorOutput : public ErrorOutput {
 public:
  void WriteLine(std::string_view line) override {
    // Nowhere left to say that standard error failed.
    (void)WriteStandardText(StandardStream::kError, OneLine(line));
  }
};

Status Load(const std::string& library, std::string description, RecordManagerChoice* choice) {
  if (Status s = NewLoadableRecordManager(library, &choice->record_manager); !s.ok()) return s;
  choice->description = std::move(description);
  return Status::Ok();
}

}  // namespace

Status CheckSuiteVariables(Environment& environment) {
  for (std::string_view name : kSuiteVariables) {
    std::optional<std::string> value;
    if (Status s = environment.Lookup(name, &value); !s.ok()) return s;
  }
  return Status::Ok();
}

Status ChooseRecordManager(Environment& environment, Clock* clock, RecordManagerChoice* choice) {
  *choice = RecordManagerChoice{};
  std::optional<std::string> library;
  if (Status s = environment.Lookup("ZOVRECMAN", &library); !s.ok()) return s;
  if (library && !library->empty()) return Load(*library, "ZOVRECMAN library " + *library, choice);
  // The suite's library where the system finds it. Found but unusable
  // (another architecture, a missing dependency) is an error: our engine
  // cannot read the suite's files in its place.
  std::string suite_library;
  const Status found = FindSuiteRecordManagerLibrary(&suite_library);
  if (found.ok()) return Load(suite_library, "wbtrv32.dll (" + suite_library + ")", choice);
  if (!found.IsNotFound()) return found;
  SqliteRecordManagerOptions options;
  options.clock = clock;
  choice->record_manager = NewSqliteRecordManager(options);
  choice->description = "our engine (SQLite data files)";
  return Status::Ok();
}

NativeEnv::NativeEnv() = default;

Status NativeEnv::Create(std::unique_ptr<NativeEnv>* env) {
  env->reset();
  std::unique_ptr<NativeEnv> p(new NativeEnv());
  p->environment_ = NewNativeEnvironment();
  if (Status s = CheckSuiteVariables(*p->environment_); !s.ok()) return s;
  p->fs_ = NewNativeFileSystem();
  p->clock_ = NewNativeClock();
  p->processes_ = NewNativeProcessRunner();
  p->error_output_ = std::make_unique<StandardErrorOutput>();
  if (Status s = ChooseRecordManager(*p->environment_, p->clock_.get(), &p->record_manager_); !s.ok()) return s;
  if (p->environment_->Get("ZOVDEBUG")) {
    p->error_output_->WriteLine("record manager: " + p->record_manager_.description);
  }
  p->console_ = NewNativeConsole();
  p->out_ = std::make_unique<StandardTextStream>(StandardStream::kOutput);
  p->err_ = std::make_unique<StandardTextStream>(StandardStream::kError);
  p->env_ = Env{p->fs_.get(),      p->clock_.get(),
                p->environment_.get(), p->processes_.get(),
                p->console_.get(), p->record_manager_.record_manager.get(),
                p->error_output_.get(), NativeConventions()};
  *env = std::move(p);
  return Status::Ok();
}

NativeEnv::~NativeEnv() {
  if (out_) out_->flush();
  if (err_) err_->flush();
  if (console_) console_->Restore();
}

}  // namespace zov::platform
