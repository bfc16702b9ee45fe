#pragma once
// The subcommands of qorvane-cli, written against streams so that they can
// be run and checked without a process.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/headless_batch.h"
#include "cli/headless_watch.h"
#include "platform/code_page.h"
#include "platform/directory_walk.h"
#include "tags/source_tags.h"

namespace qorvane::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUnreadable = 2;
inline constexpr int kExitUsage = 64;
// encode: the known sizes exceed the room left where the outputs go.
inline constexpr int kExitNoRoom = 73;

// Runs an encode batch with the system's services.
using EncodeHandler = std::function<int(const EncodeOptions&, std::ostream& out, std::ostream& err)>;
// Watches folders with the system's services until a signal ends it.
using WatchHandler = std::function<int(const WatchOptions&, std::ostream& out, std::ostream& err)>;

// `info`: the --profile value (empty when not given) and the files.
using InfoHandler = std::function<int(const std::string& profile, const std::vector<std::string>& files,
                                      std::ostream& out, std::ostream& err)>;

// Runs one command line (without the program name). Output goes to out,
// messages and the usage text to err; `legacy` decodes 8-bit tag text,
// `tagReader` reads the tags of every format and `walk` lists folders.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const CodePage& legacy,
        const MediaTagReader& tagReader, const DirectoryWalk& walk, const EncodeHandler& encode = {},
        const WatchHandler& watch = {}, const InfoHandler& info = {});

// The files `encode` would take from the inputs (folders listed as the
// window lists them), a path a line; what it would not take, and folders
// that cannot be read, are named on err, and the status is then 1.
int PrintInputs(const std::vector<std::string>& inputs, const DirectoryWalk& walk, std::ostream& out,
                std::ostream& err);

int PrintProfile(const std::string& file, std::ostream& out);
int PrintCommandLines(const std::string& profileFile, const std::string& scriptPath, bool debug,
                      const std::vector<std::string>& inputs, std::ostream& out);
// Per file: "file:", whether it holds MPEG audio ("mpeg:"), and when its
// tags could be read the lines "Title:" to "Track:", "AudioOffset:" (MPEG
// audio only), "AlbumArtist:", "Disc:", "Composer:" and one "Picture: TYPE
// MIME BYTES" per picture.
int PrintTags(const std::vector<std::string>& files, const CodePage& legacy, const MediaTagReader& tagReader,
              std::ostream& out, std::ostream& err);

}  // namespace qorvane::cli
