// `sorvano-host editor` on a plug-in whose editor opens through the window
// host, and on a third-party editor, under the tests' X server.

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "graphics/Surface.h"

namespace sorvano::test {
namespace {

constexpr const char* kThirdPartyPlugin = "/usr/lib/vst/lsp-plugins/comp-delay-stereo.so";

std::string RunHost(const std::string& arguments, int* status, const std::string& environment = "") {
  const std::string command = environment + SORVANO_HOST_BINARY + " " + arguments + " 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  std::array<char, 256> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe.get())) output += buffer.data();
  *status = pclose(pipe.release());
  return output;
}

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "/" + std::to_string(getpid()) + "-" + name;
}

// The picture of a PNG file, decoded.
std::unique_ptr<PixelSurface> ReadPng(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return std::unique_ptr<PixelSurface>(
      DecodePng(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), nullptr));
}

TEST(EditorCommandTest, GesturesAreReplayedAndTheScreenshotsShowTheEditor) {
  const std::string events = TempPath("events.txt");
  const std::string shot = TempPath("shot.png");
  const std::string final = TempPath("final.png");
  std::ofstream(events) << "# turn the knob up\npress 130 130\ndrag 130 120\ndrag 130 100\nrelease 130 100\n"
                        << "play 0.2\nshot " << shot << "\n";
  int status = 0;
  const std::string out = RunHost(std::string("editor ") + SORVANO_WINDOW_TEST_PLUGIN + " --events " + events +
                                  " --screenshot " + final + " --set level=0.1",
                              &status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find("editor: 320 x 240, first picture after"), std::string::npos) << out;
  EXPECT_NE(out.find("shot: " + shot), std::string::npos) << out;
  EXPECT_NE(out.find("cpu over"), std::string::npos) << out;
  const auto picture = ReadPng(shot);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Width(), 320);
  EXPECT_EQ(picture->Height(), 240);
  // The background colour away from the knob.
  EXPECT_EQ(picture->Bits()[10 * 320 + 10] & 0x00ffffffu, 0x1e466eu);
  EXPECT_TRUE(ReadPng(final));
}

TEST(EditorCommandTest, AThirdPartyEditorOpensAndIsPhotographed) {
  if (access(kThirdPartyPlugin, R_OK) != 0) {
    FAIL() << kThirdPartyPlugin << " is missing: install Debian's lsp-plugins-vst (scripts/setup.sh does)";
  }
  const std::string shot = TempPath("third-party.png");
  int status = 0;
  // That library is not built with our sanitizers and keeps allocations
  // until the process ends; leak reports about it say nothing about our code.
  const std::string out = RunHost(std::string("editor ") + kThirdPartyPlugin + " --seconds 1 --screenshot " + shot,
                                  &status, "ASAN_OPTIONS=detect_leaks=0 ");
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find("first picture after"), std::string::npos) << out;
  const auto picture = ReadPng(shot);
  ASSERT_TRUE(picture);
  int lit = 0;
  for (int i = 0; i < picture->Width() * picture->Height(); ++i) lit += (picture->Bits()[i] & 0x00ffffffu) != 0;
  EXPECT_GT(lit, picture->Width() * picture->Height() / 2);
}

TEST(EditorCommandTest, EventsThatCannotBeReadAreRefused) {
  const std::string events = TempPath("bad-events.txt");
  std::ofstream(events) << "press 10\n";
  int status = 0;
  const std::string out = RunHost(std::string("editor ") + SORVANO_WINDOW_TEST_PLUGIN + " --events " + events, &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("events line 1"), std::string::npos) << out;
}

}  // namespace
}  // namespace sorvano::test
