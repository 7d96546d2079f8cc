// Feeds arbitrary bytes to the INI reader. Besides never crashing, the reader must be
// stable: what it writes reads back to the same text, and a written value reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

using glyphwell::platform::IniCase;
using glyphwell::platform::IniFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (IniCase rule : {IniCase::kExact, IniCase::kIgnoreAsciiCase}) {
    IniFile ini(rule);
    ini.Parse(text);
    std::string first = ini.ToText();
    IniFile again(rule);
    again.Parse(first);
    if (again.ToText() != first) std::abort();

    for (const std::string& section : ini.SectionNames()) {
      for (const auto& [key, value] : ini.SectionValues(section)) {
        (void)ini.ReadInteger(section, key, 0);
        (void)ini.ReadBool(section, key, false);
        (void)ini.ReadBinary(section, key);
        if (!ini.ValueExists(section, key)) std::abort();
      }
    }
    std::string section = ini.SectionNames().empty() ? "s" : ini.SectionNames().front();
    std::string value(text.substr(0, text.find_first_of("\r\n")));
    if (ini.WriteString(section, "fuzz", value)) {
      IniFile back(rule);
      back.Parse(ini.ToText());
      if (back.ReadString(section, "fuzz") != value) std::abort();
      back.DeleteKey(section, "fuzz");
      if (back.ValueExists(section, "fuzz")) std::abort();
      back.EraseSection(section);
      if (back.SectionExists(section)) std::abort();
    }
  }
  return 0;
}
