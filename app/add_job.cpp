#include "app/add_job.h"

#include "encode/media_inputs.h"
#include "tags/id3.h"

namespace qorvane {

TagReader Id3TagReader(const CodePage& legacyCodePage) {
    return [&legacyCodePage](const std::filesystem::path& path) -> std::optional<JobTags> {
        TID3v2 id3(legacyCodePage);
        if (!id3.ReadTags(path)) return std::nullopt;
        return JobTags{id3.Title, id3.Artist, id3.Album, id3.Year, id3.Copyright};
    };
}

TagReader TagReaderOf(const MediaTagReader& reader) {
    return [&reader](const std::filesystem::path& path) -> std::optional<JobTags> {
        std::optional<SourceTags> tags = reader.read(path);
        if (!tags) return std::nullopt;
        return JobTags{std::move(tags->Title), std::move(tags->Artist), std::move(tags->Album),
                       std::move(tags->Year), std::move(tags->Copyright)};
    };
}

std::string FileNamePart(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsAcceptedMediaFile(std::string_view path) {
    return FindMediaInputType(FileNamePart(path)) != nullptr;
}

EncodeJob NewJob(const std::string& path, const std::string& profileName, const std::string& outDir) {
    EncodeJob job;
    job.File = FileNamePart(path);
    job.Profile = profileName;
    job.Path = path;
    job.OutDir = outDir;
    return job;
}

void ReadJobTags(EncodeJob& job, const TagReader& readTags) {
    std::optional<JobTags> tags = readTags(job.Path);
    if (!tags) return;
    // Every tag is taken, empty ones included.
    job.Title = std::move(tags->Title);
    job.Author = std::move(tags->Artist);
    job.Album = std::move(tags->Album);
    job.Year = std::move(tags->Year);
    job.Copy = std::move(tags->Copyright);
}

bool AddJob(JobList& list, const std::string& path, const std::string& profileName,
            const std::string& outDir, const TagReader& readTags) {
    if (!IsAcceptedMediaFile(path)) return false;
    EncodeJob job = NewJob(path, profileName, outDir);
    try {
        ReadJobTags(job, readTags);
    } catch (...) {
        list.append(std::move(job));  // the row stays, with empty tags
        throw;
    }
    list.append(std::move(job));
    return true;
}

}  // namespace qorvane
