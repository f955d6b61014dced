#include "graphics/platform/PlatformPaths.h"

#include <gtest/gtest.h>

namespace sorvano::test {
namespace {

TEST(PlatformPathsTest, FolderKeepsItsTrailingSeparator) {
  EXPECT_EQ(platform::FolderOf("/usr/lib/vst/x.so"), "/usr/lib/vst/");
  EXPECT_EQ(platform::FolderOf("x.so"), "");
  EXPECT_EQ(platform::FolderOf("/usr/lib/"), "");
}

TEST(PlatformPathsTest, HostAndModuleFoldersAreAbsolute) {
  const std::string host = platform::HostFolder();
  ASSERT_FALSE(host.empty());
  EXPECT_EQ(host.front(), '/');
  EXPECT_EQ(host.back(), '/');
  // This test program contains the code, so it is the "module" here.
  EXPECT_EQ(platform::ModuleFolder(), host);
}

}  // namespace
}  // namespace sorvano::test
