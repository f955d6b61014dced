#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace sorvano {

class PluginInstance;
struct ParameterInfo;

// Writes what a plug-in says about itself, one fact per line, in a form both
// people and the integration tests read. Texts from the plug-in are quoted,
// with control characters escaped, so a damaged name cannot garble the output.
// Main thread.
class PluginDescriber {
 public:
  // The canDo texts asked by `describe`.
  static constexpr const char* kCanDoTexts[] = {
      "receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
      "offline",            "bypass",        "midiProgramNames", "noRealTime",       "plugAsChannelInsert",
  };

  static void Describe(PluginInstance& plugin, std::ostream& out);
  // One line: `parameter I: name "N" label "L" display "D" value V`.
  static void WriteParameter(const ParameterInfo& parameter, std::ostream& out);

  // Helpers, public for their tests.
  // "0x" and eight hexadecimal digits.
  static std::string Hex(std::int32_t value);
  // The text in double quotes; quote, backslash and control bytes escaped.
  static std::string Quote(const std::string& text);
  // The four characters of a four-character code, or "" when one of them is
  // not printable ASCII.
  static std::string FourCharacters(std::int32_t code);
  // The names of the set effFlags bits, and "0x..." for unknown ones.
  static std::string FlagNames(std::int32_t flags);
};

}  // namespace sorvano
