#pragma once

// Folders of the host program and of the plug-in module, and the link
// opener. X-free. Any thread.

#include <string>

namespace sorvano::platform {

// The folder of a file path with its trailing "/": "/a/b/c.so" gives
// "/a/b/". Empty when the path has no "/" or nothing follows the last one.
std::string FolderOf(const std::string& path);
// Folder of the running program (/proc/self/exe), empty when unknown.
std::string HostFolder();
// Folder of the shared object that contains this code, empty when unknown.
std::string ModuleFolder();
// Starts `xdg-open address` through `setsid --fork` with posix_spawnp (no
// shell involved): setsid ends at once and is reaped here, xdg-open goes on
// as a child of init, so no zombie and no waiting is left behind. Answers
// whether it started.
bool OpenWithDesktop(const char* address);

}  // namespace sorvano::platform
