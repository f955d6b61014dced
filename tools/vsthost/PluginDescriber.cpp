#include "tools/vsthost/PluginDescriber.h"

#include <cstdio>

#include "framework/vst/VstAbi.h"
#include "tools/vsthost/PluginInstance.h"

namespace sorvano {

namespace {

struct NamedFlag {
  std::int32_t flag;
  const char* name;
};

constexpr NamedFlag kEffectFlags[] = {
    {vst::effFlagsHasEditor, "HasEditor"},
    {vst::effFlagsHasClip, "HasClip"},
    {vst::effFlagsHasVu, "HasVu"},
    {vst::effFlagsCanMono, "CanMono"},
    {vst::effFlagsCanReplacing, "CanReplacing"},
    {vst::effFlagsProgramChunks, "ProgramChunks"},
    {vst::effFlagsIsSynth, "IsSynth"},
    {vst::effFlagsNoSoundInStop, "NoSoundInStop"},
    {vst::effFlagsExtIsAsync, "ExtIsAsync"},
    {vst::effFlagsExtHasBuffer, "ExtHasBuffer"},
    {vst::effFlagsCanDoubleReplacing, "CanDoubleReplacing"},
};

constexpr const char* kCategoryNames[] = {
    "unknown",     "effect",   "synth",   "analysis", "mastering",       "spatializer",
    "room effect", "surround", "restoration", "offline process", "shell", "generator",
};

}  // namespace

std::string PluginDescriber::Hex(std::int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

std::string PluginDescriber::Quote(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string PluginDescriber::FourCharacters(std::int32_t code) {
  std::string text;
  const auto bits = static_cast<std::uint32_t>(code);
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto c = static_cast<unsigned char>((bits >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) return "";
    text += static_cast<char>(c);
  }
  return text;
}

std::string PluginDescriber::FlagNames(std::int32_t flags) {
  std::string names;
  auto rest = static_cast<std::uint32_t>(flags);
  for (const NamedFlag& named : kEffectFlags) {
    if (!(flags & named.flag)) continue;
    if (!names.empty()) names += ' ';
    names += named.name;
    rest &= ~static_cast<std::uint32_t>(named.flag);
  }
  if (rest) {
    if (!names.empty()) names += ' ';
    names += Hex(static_cast<std::int32_t>(rest));
  }
  return names;
}

void PluginDescriber::WriteParameter(const ParameterInfo& parameter, std::ostream& out) {
  char value[32];
  std::snprintf(value, sizeof value, "%.6f", static_cast<double>(parameter.value));
  out << "parameter " << parameter.index << ": name " << Quote(parameter.name) << " label "
      << Quote(parameter.label) << " display " << Quote(parameter.display) << " value " << value << "\n";
}

void PluginDescriber::Describe(PluginInstance& plugin, std::ostream& out) {
  const vst::AEffect& effect = plugin.Effect();
  out << "plug-in: " << plugin.Module().Path() << "\n";
  out << "entry point: " << plugin.Module().EntryName() << "\n";
  out << "magic: 'VstP' ok\n";
  out << "effect name: " << Quote(plugin.QueryText(vst::effGetEffectName)) << "\n";
  out << "vendor: " << Quote(plugin.QueryText(vst::effGetVendorString)) << "\n";
  out << "product: " << Quote(plugin.QueryText(vst::effGetProductString)) << "\n";
  out << "vendor version: " << plugin.Dispatch(vst::effGetVendorVersion) << "\n";
  out << "version: " << effect.version << "\n";
  out << "unique id: " << effect.uniqueID << " '" << FourCharacters(effect.uniqueID) << "'\n";
  out << "vst version: " << plugin.Dispatch(vst::effGetVstVersion) << "\n";
  const std::intptr_t category = plugin.Dispatch(vst::effGetPlugCategory);
  const bool known = category >= 0 && category < static_cast<std::intptr_t>(std::size(kCategoryNames));
  out << "category: " << category << " (" << (known ? kCategoryNames[category] : "?") << ")\n";
  out << "inputs: " << plugin.NumInputs() << "\n";
  out << "outputs: " << plugin.NumOutputs() << "\n";
  out << "flags: " << Hex(effect.flags) << " (" << FlagNames(effect.flags) << ")\n";
  out << "initial delay: " << effect.initialDelay << "\n";
  out << "tail size: " << plugin.Dispatch(vst::effGetTailSize) << "\n";

  const std::int32_t programs = plugin.NumPrograms();
  out << "programs: " << programs << "\n";
  out << "current program: " << plugin.Dispatch(vst::effGetProgram) << "\n";
  for (std::int32_t i = 0; i < programs; ++i) {
    out << "program " << i << ": " << Quote(plugin.QueryText(vst::effGetProgramNameIndexed, i)) << "\n";
  }

  const std::int32_t parameters = plugin.NumParameters();
  out << "parameters: " << parameters << "\n";
  for (std::int32_t i = 0; i < parameters; ++i) WriteParameter(plugin.Parameter(i), out);

  for (const char* text : kCanDoTexts) out << "can do " << text << ": " << plugin.CanDo(text) << "\n";
}

}  // namespace sorvano
