// sorvano-host: a command-line host for Linux VST 2.x plug-ins.

#include <iostream>
#include <string>
#include <vector>

#include "tools/vsthost/CommandLine.h"
#include "tools/vsthost/HostApp.h"

int main(int argc, char** argv) {
  constexpr int kUsageFailure = 1;
  constexpr int kWorkFailure = 2;
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  try {
    const sorvano::HostOptions options = sorvano::CommandLine::Parse(args);
    sorvano::HostApp(std::cout).Run(options);
  } catch (const sorvano::UsageError& error) {
    std::cerr << "sorvano-host: " << error.what() << "\nRun 'sorvano-host --help' for the commands.\n";
    return kUsageFailure;
  } catch (const std::exception& error) {
    std::cerr << "sorvano-host: error: " << error.what() << "\n";
    return kWorkFailure;
  }
  return 0;
}
