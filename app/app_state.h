#pragma once
// The state that exists once per run of the program, filled during start-up
// and handed to the windows that use it.

#include <filesystem>

#include "app/app_paths.h"
#include "app/encoder_location.h"
#include "app/settings.h"
#include "platform/desktop.h"

namespace qorvane {

struct AppState {
    AppPaths paths;
    WorkArea workArea;
    EncoderLocation encoder;
    AppSettings settings;
    // The profile file that the profile editor and the batch runner work on.
    std::filesystem::path currentProfilePath;
};

}  // namespace qorvane
