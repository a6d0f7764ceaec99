// Fuzzes the INI reader as "settings.ini" and the language files meet it: any bytes, in
// either encoding, must load, answer reads, survive a write and read back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/file_io.h"
#include "base/ini_file.h"
#include "lang/language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const qp::FileText text = qp::DecodeFileText(bytes, *qp::CodecByNumber(1251));
  qp::IniFile ini(text.utf8);
  ini.ReadInteger("Settings", "Top", 0);
  ini.ReadBool("settings", "ON_TOP", false);
  qp::LookupMessage(&ini, "default", "SendOK");
  for (const auto& section : ini.Sections()) {
    for (const auto& entry : section.entries) ini.ReadString(section.name, entry.key, "");
  }
  ini.WriteString("Settings", "C1", "1");
  // What the program writes, it must read back unchanged.
  const std::string written = ini.Serialize();
  const std::string encoded = qp::EncodeIniText(written, text.encoding, *qp::CodecByNumber(1251));
  const qp::FileText read_back = qp::DecodeFileText(encoded, *qp::CodecByNumber(1251));
  if (read_back.encoding != text.encoding) std::abort();
  const qp::IniFile again(read_back.utf8);
  if (again.Serialize() != written) std::abort();
  if (again.ReadString("Settings", "C1", "") != "1") std::abort();
  return 0;
}
