// Any bytes must parse, answer look-ups and serialize back to the same lines.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    qorvane::IniFile ini = qorvane::IniFile::Parse(text);
    (void)ini.get("audio", "mode");
    (void)ini.getInt("video", "size", 0);
    ini.set("video", "bitrate", "250");
    const std::string once = ini.serialize();
    if (qorvane::IniFile::Parse(once).serialize() != once) __builtin_trap();
    if (qorvane::IniFile::Parse(once).get("video", "bitrate") != "250") __builtin_trap();
    return 0;
}
