#pragma once
// Adding files to the job list: which files are accepted, and the tags a new
// row starts with.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/job_list.h"
#include "platform/code_page.h"
#include "tags/source_tags.h"

namespace qorvane {

// The tags a row is pre-filled with.
struct JobTags {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Copyright;
};

// Reads a file's tags: nothing when the file holds none that can be read.
// Throws FileOpenError when the file cannot be opened.
using TagReader = std::function<std::optional<JobTags>(const std::filesystem::path&)>;

// The ID3 reader as a TagReader (nothing when the file holds no MPEG audio);
// legacyCodePage must outlive it.
TagReader Id3TagReader(const CodePage& legacyCodePage);

// A file's tags by its format (MP3 and WAV through the ID3 reader, the same
// five texts as Id3TagReader gives them) as a TagReader; reader must outlive it.
TagReader TagReaderOf(const MediaTagReader& reader);

// True for the extensions of the table of accepted inputs
// (encode/media_inputs.h), compared after lowering ASCII letters; the
// extension is the file name from its last dot on.
bool IsAcceptedMediaFile(std::string_view path);

// The row a file starts as: its name, the profile and output folder given,
// the tags still empty.
EncodeJob NewJob(const std::string& path, const std::string& profileName, const std::string& outDir);

// Fills the row's tags from the reader (every tag, empty ones included).
// When the reader throws, the row keeps empty tags and the error goes on.
void ReadJobTags(EncodeJob& job, const TagReader& readTags);

// Appends a row for an accepted file and fills its tags from the reader; a
// file of another kind is left out (false). When the reader throws, the row
// has already been appended with empty tags, and the error goes on to the
// caller.
bool AddJob(JobList& list, const std::string& path, const std::string& profileName,
            const std::string& outDir, const TagReader& readTags);

// The file name part of a path (after the last '/').
std::string FileNamePart(std::string_view path);

}  // namespace qorvane
