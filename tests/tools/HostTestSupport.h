#pragma once

#include <map>
#include <string>
#include <vector>

namespace sorvano::testing {

// A fresh directory under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return mPath + "/" + name; }

 private:
  std::string mPath;
};

struct HostRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the sorvano-host binary with `args` (no shell involved) and waits for
// it. `environment` adds or replaces variables of the test's own environment.
// stdout and stderr are collected through files in `scratch`.
HostRun RunHost(const std::vector<std::string>& args, const TempDir& scratch,
                const std::map<std::string, std::string>& environment = {});
// The same for any program given by its path.
HostRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                   const TempDir& scratch, const std::map<std::string, std::string>& environment = {});

// The whole content of a file; empty when it cannot be read.
std::string ReadWhole(const std::string& path);

// The first line of `text` that starts with `prefix`, without the prefix, or
// "<missing>".
std::string LineAfter(const std::string& text, const std::string& prefix);

// Paths of the binaries under test.
inline const char* HostBinary() { return SORVANO_HOST_BINARY; }
inline const char* SorvanoModule() { return SORVANO_MODULE_FILE; }
inline const char* TestPluginModule() { return SORVANO_HOST_TEST_PLUGIN; }
inline const char* RenderBinary() { return SORVANO_RENDER_BINARY; }

}  // namespace sorvano::testing
