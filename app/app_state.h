#pragma once
// The state that exists once per run of the program, filled during start-up
// and handed to the windows that use it.

#include <filesystem>
#include <vector>

#include "app/app_paths.h"
#include "app/encoder_location.h"
#include "encode/encode_job.h"
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
    // Rows given back from an earlier run that ended uncleanly; the main
    // window puts them first, before the files named on the command line.
    std::vector<EncodeJob> restoredJobs;
};

}  // namespace qorvane
