#pragma once
// The batch runner's tag step on top of the Windows Media tag writer: the
// row's texts become the job's UTF-16 tag buffers, then the attributes are
// stored through the given metadata editor, with what the source adds.

#include <functional>

#include "encode/batch_services.h"
#include "platform/metadata_editor.h"
#include "tags/source_tags.h"

namespace qorvane {

class MetadataJobTagWriter final : public JobTagWriter {
public:
    // Both must outlive the writer. carryCover is asked at each run, so a
    // setting changed during a batch applies to the runs that follow.
    MetadataJobTagWriter(MetadataEditor& editor, const MediaTagReader& reader, std::function<bool()> carryCover)
        : editor_(editor), reader_(reader), carryCover_(std::move(carryCover)) {}

    TagsWritten writeTags(const JobTagTexts& tags, const std::filesystem::path& source,
                          const std::filesystem::path& output) override;

private:
    MetadataEditor& editor_;
    const MediaTagReader& reader_;
    std::function<bool()> carryCover_;
};

}  // namespace qorvane
