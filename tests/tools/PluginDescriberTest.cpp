#include "tools/vsthost/PluginDescriber.h"

#include <gtest/gtest.h>

#include "framework/vst/VstAbi.h"

namespace sorvano {
namespace {

TEST(PluginDescriber, QuotesPluginTextsSoTheyCannotBreakTheLines) {
  EXPECT_EQ(PluginDescriber::Quote(""), "\"\"");
  EXPECT_EQ(PluginDescriber::Quote("Sorvano (No SSE2)"), "\"Sorvano (No SSE2)\"");
  EXPECT_EQ(PluginDescriber::Quote("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(PluginDescriber::Quote(std::string("x\ny\x7f", 4)), "\"x\\x0Ay\\x7F\"");
  EXPECT_EQ(PluginDescriber::Quote("°C"), "\"°C\"") << "UTF-8 passes unchanged";
}

TEST(PluginDescriber, DecodesCodesAndFlags) {
  EXPECT_EQ(PluginDescriber::FourCharacters(892680503), "5597");
  EXPECT_EQ(PluginDescriber::FourCharacters(vst::FourCC('T', 's', 't', 'H')), "TstH");
  EXPECT_EQ(PluginDescriber::FourCharacters(1), "");
  EXPECT_EQ(PluginDescriber::FourCharacters(-1), "");

  EXPECT_EQ(PluginDescriber::FlagNames(0x1039), "HasEditor CanMono CanReplacing ProgramChunks CanDoubleReplacing");
  EXPECT_EQ(PluginDescriber::FlagNames(0), "");
  EXPECT_EQ(PluginDescriber::FlagNames(0x10 | 0x40000), "CanReplacing 0x00040000");
  EXPECT_EQ(PluginDescriber::FlagNames(static_cast<std::int32_t>(0x80000000u)), "0x80000000");
}

}  // namespace
}  // namespace sorvano
