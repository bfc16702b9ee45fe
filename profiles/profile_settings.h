#pragma once
// One encoding profile (.wpf): the encoder settings a job needs, stored as
// list positions and kbps texts. The catalogue turns the positions into
// encoder values.

#include <filesystem>
#include <string>

namespace qorvane {

struct ProfileSettings {
    int AudioMode = 1;
    int AudioSetting = 14;
    std::string AudioPeak;
    int VideoMode = 1;
    std::string VideoBitrate = "250";
    int VideoQuality = 75;
    std::string FrameRate;
    std::string KeyFrame;
    std::string VideoPeak;
    int VideoSize = 0;
    int PixelFormat = 0;
    int VideoFilter = 0;
    std::string CustomWidth = "320";
    std::string CustomHeight = "240";
    int Performance = 0;

    bool operator==(const ProfileSettings&) const = default;
};

// Reads a profile file. A missing file gives the defaults and creates
// nothing; an absent key or an integer that does not parse gives that
// field's default; a text key that is present but empty loads as empty.
// Values are not checked against their ranges.
ProfileSettings LoadProfile(const std::filesystem::path& path);

// Writes every field into the file, creating it when missing and keeping
// whatever else it holds. The directory must exist. False when the file
// cannot be written; it is then left as it was.
bool WriteProfile(const std::filesystem::path& path, const ProfileSettings& settings);

}  // namespace qorvane
