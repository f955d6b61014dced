#include "graphics/platform/PlatformPaths.h"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

extern char** environ;

namespace sorvano::platform {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash + 1 >= path.size()) return std::string();
  return path.substr(0, slash + 1);
}

std::string HostFolder() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return std::string();
  return FolderOf(std::string(path, static_cast<std::size_t>(n)));
}

std::string ModuleFolder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) || !info.dli_fname) return std::string();
  char resolved[PATH_MAX];
  // Hosts may load the module through a relative path or a link.
  if (realpath(info.dli_fname, resolved)) return FolderOf(resolved);
  return FolderOf(info.dli_fname);
}

bool OpenWithDesktop(const char* address) {
  if (!address || !*address) return false;
  static char kSetsid[] = "setsid";
  static char kFork[] = "--fork";
  static char kOpener[] = "xdg-open";
  std::string argument(address);
  char* argv[] = {kSetsid, kFork, kOpener, argument.data(), nullptr};
  pid_t child = -1;
  if (posix_spawnp(&child, kSetsid, nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace sorvano::platform
