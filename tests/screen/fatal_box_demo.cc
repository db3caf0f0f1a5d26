// Shows the fatal-failure box on the real terminal over a line of text, then
// ends with exit code 1 as the program does after such a failure. The tmux
// test drives it.
//
//   fatal_box_demo <temporary directory, ending in "/">
#include <cstdio>
#include <memory>
#include <string>

#include "platform/native_env.h"
#include "screen/message_box.h"
#include "screen/screen_state.h"
#include "session/session.h"

int main(int argc, char** argv) {
  using namespace zov;
  if (argc != 2) {
    std::fprintf(stderr, "usage: fatal_box_demo TEMPDIR/\n");
    return 2;
  }
  std::unique_ptr<platform::NativeEnv> native;
  if (platform::Status s = platform::NativeEnv::Create(&native); !s.ok()) {
    std::fprintf(stderr, "%s\n", s.message().c_str());
    return 2;
  }
  platform::Env& env = native->env();
  session::Session session;
  session.temp_dir = argv[1];
  session.colours = {session::ColourPair{15, 0}, session::ColourPair{7, 0}, session::ColourPair{0, 7},
                     session::ColourPair{0, 7}, session::ColourPair{0, 7}};
  screen::ScreenState state;

  env.console->HideCursor();
  env.console->MoveCursor(10, 1);
  env.console->WriteText("BACKGROUND LINE UNDER THE BOX");
  // "NON SE PÒT ACCEDIR ATH FICHÈR "
  screen::ShowFatalMessage(env, session, state, "NON SE P\xE3T ACCEDIR ATH FICH\xD4R DADES\\VCobros (94)");
  return 1;
}
