#include "tests/tools/HostTestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

extern char** environ;

namespace sorvano::testing {

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sorvano-host-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot create a temporary directory";
  mPath = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(mPath, ignored);
}

HostRun RunHost(const std::vector<std::string>& args, const TempDir& scratch,
                const std::map<std::string, std::string>& environment) {
  return RunProgram(HostBinary(), args, scratch, environment);
}

HostRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                   const TempDir& scratch, const std::map<std::string, std::string>& environment) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> argvPointers;
  for (auto& arg : argv) argvPointers.push_back(arg.data());
  argvPointers.push_back(nullptr);

  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    const auto at = text.find('=');
    if (at != std::string::npos) merged[text.substr(0, at)] = text.substr(at + 1);
  }
  for (const auto& [name, value] : environment) merged[name] = value;
  std::vector<std::string> envStrings;
  for (const auto& [name, value] : merged) envStrings.push_back(name + "=" + value);
  std::vector<char*> envPointers;
  for (auto& entry : envStrings) envPointers.push_back(entry.data());
  envPointers.push_back(nullptr);

  const std::string outPath = scratch.File("host.stdout");
  const std::string errPath = scratch.File("host.stderr");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

  HostRun run;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, argvPointers.data(), envPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return run;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadWhole(outPath);
  run.err = ReadWhole(errPath);
  return run;
}

std::string LineAfter(const std::string& text, const std::string& prefix) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
  }
  return "<missing>";
}

}  // namespace sorvano::testing
