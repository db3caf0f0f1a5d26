// A pseudo-terminal for console tests: the console gets the slave side, the
// test reads what it wrote and types keys on the master side.
#ifndef ZOV_TESTS_PLATFORM_PTY_HELPERS_H_
#define ZOV_TESTS_PLATFORM_PTY_HELPERS_H_

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace zov::platform {

class Pty {
 public:
  Pty(int rows = 25, int columns = 80) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    const char* name = ::ptsname(master_);
    if (name == nullptr) return;
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    struct winsize ws {};
    ws.ws_row = static_cast<unsigned short>(rows);
    ws.ws_col = static_cast<unsigned short>(columns);
    ::ioctl(slave_, TIOCSWINSZ, &ws);
  }
  ~Pty() {
    CloseMaster();
    if (slave_ >= 0) ::close(slave_);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool ok() const { return master_ >= 0 && slave_ >= 0; }
  int slave() const { return slave_; }
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  // Everything the slave side has written so far (waits briefly for it).
  std::string ReadOutput() {
    std::string out;
    for (;;) {
      struct pollfd p {master_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0 || (p.revents & POLLIN) == 0) break;
      char buf[4096];
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
  }

  // Types bytes as if keys were pressed.
  void Type(std::string_view bytes) {
    ssize_t n = ::write(master_, bytes.data(), bytes.size());
    (void)n;
    ::tcdrain(master_);
    ::usleep(20000);
  }

  bool SlaveIsRaw() const {
    struct termios t {};
    ::tcgetattr(slave_, &t);
    return (t.c_lflag & (ICANON | ECHO)) == 0;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
};

}  // namespace zov::platform

#endif  // ZOV_TESTS_PLATFORM_PTY_HELPERS_H_
