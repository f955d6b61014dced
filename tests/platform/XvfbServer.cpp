#include "XvfbServer.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "graphics/platform/HostFrameWindow.h"

extern char** environ;

namespace sorvano::test {

namespace {
bool ServerAnswers() { return x11::HostFrameWindow(1, 1, "probe").Ok(); }
}  // namespace

void XvfbServer::SetUp() {
  if (std::getenv("DISPLAY") && ServerAnswers()) return;
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  // -displayfd picks a free display and writes its number into the pipe.
  std::string fd = std::to_string(fds[1]);
  char program[] = "Xvfb";
  char displayFd[] = "-displayfd";
  char screen[] = "-screen";
  char zero[] = "0";
  char geometry[] = "1280x1024x24";
  char noTcp[] = "-nolisten";
  char tcp[] = "tcp";
  // Without it the server resets whenever its last client leaves, and a test
  // connecting during the reset is refused.
  char noReset[] = "-noreset";
  char* argv[] = {program, displayFd, fd.data(), screen, zero, geometry, noTcp, tcp, noReset, nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  const int spawned = posix_spawnp(&mServer, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  ASSERT_EQ(spawned, 0) << "Xvfb could not be started (install xvfb: scripts/setup.sh)";
  std::string number;
  char ch = 0;
  while (read(fds[0], &ch, 1) == 1 && ch != '\n') number.push_back(ch);
  close(fds[0]);
  ASSERT_FALSE(number.empty()) << "Xvfb did not report its display";
  setenv("DISPLAY", (":" + number).c_str(), 1);
  ASSERT_TRUE(ServerAnswers());
}

void XvfbServer::TearDown() {
  if (mServer < 0) return;
  kill(mServer, SIGTERM);
  waitpid(mServer, nullptr, 0);
  mServer = -1;
}

}  // namespace sorvano::test

// Registered before main runs: every window test has its server.
[[maybe_unused]] static ::testing::Environment* const gXvfb =
    ::testing::AddGlobalTestEnvironment(new sorvano::test::XvfbServer);
