#include "tags/job_tag_writer.h"

#include "tags/current_job_tags.h"
#include "tags/wma_tag_writer.h"

namespace qorvane {

TagsWritten MetadataJobTagWriter::writeTags(const JobTagTexts& tags, const std::filesystem::path& source,
                                            const std::filesystem::path& output) {
    const CurrentJobTags buffers = MakeCurrentJobTags(tags.title, tags.artist, tags.album, tags.copyright, tags.year);
    TagsWritten written;
    written.saved =
        WriteJobTagsWithSource(source, output, buffers, editor_, reader_, !carryCover_ || carryCover_(), written.notes);
    return written;
}

}  // namespace qorvane
