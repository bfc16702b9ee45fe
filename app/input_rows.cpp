#include "app/input_rows.h"

#include "app/folder_listing.h"
#include "app/kept_tree.h"
#include "platform/file_open_error.h"

namespace qorvane {

namespace {

class RowMaker final : public FolderListingSink {
public:
    RowMaker(const TagReader& readTags, const InputRowsRequest& request,
             const std::function<void(std::vector<EncodeJob>)>& deliver, const std::function<bool()>& stopped,
             InputRowsPacing pacing)
        : readTags_(readTags), request_(request), deliver_(deliver), stopped_(stopped), pacing_(pacing) {}

    void found(FoundInput input) override {
        if (!IsAcceptedMediaFile(input.path)) {
            if (input.addedFolder.empty()) summary_.refused.push_back(input.path);
            return;
        }
        EncodeJob job = NewJob(input.path, request_.profile,
                               RowOutputFolder(request_.outDir, request_.keepTree, input.addedFolder, input.path));
        try {
            ReadJobTags(job, readTags_);
        } catch (const FileOpenError& error) {
            summary_.openError = error.what();  // the row stays, with empty tags
        }
        batch_.push_back(std::move(job));
        ++summary_.rows;
        if (!summary_.openError.empty() || batch_.size() >= pacing_.batchRows ||
            std::chrono::steady_clock::now() - batchStart_ >= pacing_.batchTime) {
            flush();
        }
    }

    void unreadableFolder(const std::string& folder) override { summary_.unreadableFolders.push_back(folder); }

    bool stopped() const override {
        if (!summary_.openError.empty()) return true;
        if (stopped_ && stopped_()) summary_.stopped = true;
        return summary_.stopped;
    }

    void flush() {
        if (!batch_.empty()) deliver_(std::exchange(batch_, {}));
        batchStart_ = std::chrono::steady_clock::now();
    }

    InputRowsSummary summary() && { return std::move(summary_); }

private:
    const TagReader& readTags_;
    const InputRowsRequest& request_;
    const std::function<void(std::vector<EncodeJob>)>& deliver_;
    const std::function<bool()>& stopped_;
    InputRowsPacing pacing_;
    std::vector<EncodeJob> batch_;
    std::chrono::steady_clock::time_point batchStart_ = std::chrono::steady_clock::now();
    mutable InputRowsSummary summary_;
};

}  // namespace

InputRowsSummary MakeInputRows(const DirectoryWalk& walk, const TagReader& readTags, const InputRowsRequest& request,
                               const std::function<void(std::vector<EncodeJob>)>& deliver,
                               const std::function<bool()>& stopped, InputRowsPacing pacing) {
    RowMaker maker(readTags, request, deliver, stopped, pacing);
    ListInputs(walk, request.paths, maker);
    maker.flush();
    return std::move(maker).summary();
}

}  // namespace qorvane
