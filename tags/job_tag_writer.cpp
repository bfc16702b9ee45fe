#include "tags/job_tag_writer.h"

#include "tags/current_job_tags.h"
#include "tags/wma_tag_writer.h"

namespace qorvane {

namespace {

CurrentJobTags ToBuffers(const JobTagTexts& tags) {
    return MakeCurrentJobTags(tags.title, tags.artist, tags.album, tags.copyright, tags.year);
}

}  // namespace

SaveResult MetadataJobTagWriter::writeTags(const JobTagTexts& tags, const std::filesystem::path& output) {
    return WriteJobTags(output, ToBuffers(tags), editor_);
}

SaveResult MetadataJobTagWriter::writeTagsWithSource(const JobTagTexts& tags, const std::filesystem::path& source,
                                                     const std::filesystem::path& output) {
    return WriteJobTagsWithSource(source, output, ToBuffers(tags), editor_, legacy_);
}

}  // namespace qorvane
