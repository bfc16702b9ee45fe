#include "profiles/profile_settings.h"

#include <fstream>
#include <system_error>

#include "base/ini_file.h"

namespace qorvane {

namespace {

// Every field with its section and key, in the order the file holds them.
// One table serves reading and writing so the two cannot drift apart.
struct FieldEntry {
    const char* section;
    const char* key;
    int ProfileSettings::*intMember;
    std::string ProfileSettings::*textMember;
};

constexpr FieldEntry kFields[] = {
    {"audio", "mode", &ProfileSettings::AudioMode, nullptr},
    {"audio", "bitrate", &ProfileSettings::AudioSetting, nullptr},
    {"audio", "peak", nullptr, &ProfileSettings::AudioPeak},
    {"video", "mode", &ProfileSettings::VideoMode, nullptr},
    {"video", "bitrate", nullptr, &ProfileSettings::VideoBitrate},
    {"video", "quality", &ProfileSettings::VideoQuality, nullptr},
    {"video", "framerate", nullptr, &ProfileSettings::FrameRate},
    {"video", "keyframe", nullptr, &ProfileSettings::KeyFrame},
    {"video", "peak", nullptr, &ProfileSettings::VideoPeak},
    {"video", "size", &ProfileSettings::VideoSize, nullptr},
    {"video", "pixelformat", &ProfileSettings::PixelFormat, nullptr},
    {"video", "fillter", &ProfileSettings::VideoFilter, nullptr},  // sic: the key has two l
    {"video", "width", nullptr, &ProfileSettings::CustomWidth},
    {"video", "height", nullptr, &ProfileSettings::CustomHeight},
    {"video", "performance", &ProfileSettings::Performance, nullptr},
};

}  // namespace

ProfileSettings LoadProfile(const std::filesystem::path& path) {
    ProfileSettings settings;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return settings;
    const IniFile ini = IniFile::Load(path);
    for (const FieldEntry& field : kFields) {
        if (field.intMember) {
            int& value = settings.*field.intMember;
            value = ini.getInt(field.section, field.key, value);
        } else {
            std::string& value = settings.*field.textMember;
            value = ini.getString(field.section, field.key, value);
        }
    }
    return settings;
}

bool WriteProfile(const std::filesystem::path& path, const ProfileSettings& settings) {
    std::error_code ec;
    // A file that exists but cannot be read would be replaced by one holding
    // only our keys; refuse rather than lose what else it holds.
    if (std::filesystem::exists(path, ec) && !std::ifstream(path, std::ios::binary)) return false;
    IniFile ini = IniFile::Load(path);
    for (const FieldEntry& field : kFields) {
        ini.set(field.section, field.key,
                field.intMember ? std::to_string(settings.*field.intMember)
                                : settings.*field.textMember);
    }
    return ini.save(path);
}

}  // namespace qorvane
