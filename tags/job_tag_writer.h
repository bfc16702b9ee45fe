#pragma once
// The batch runner's tag step on top of the Windows Media tag writer: the
// row's texts become the job's UTF-16 tag buffers, then the attributes are
// stored through the given metadata editor.

#include "encode/batch_services.h"
#include "platform/code_page.h"
#include "platform/metadata_editor.h"

namespace qorvane {

class MetadataJobTagWriter final : public JobTagWriter {
public:
    // Both must outlive the writer.
    MetadataJobTagWriter(MetadataEditor& editor, const CodePage& legacyCodePage)
        : editor_(editor), legacy_(legacyCodePage) {}

    SaveResult writeTags(const JobTagTexts& tags, const std::filesystem::path& output) override;
    SaveResult writeTagsWithSource(const JobTagTexts& tags, const std::filesystem::path& source,
                                   const std::filesystem::path& output) override;

private:
    MetadataEditor& editor_;
    const CodePage& legacy_;
};

}  // namespace qorvane
