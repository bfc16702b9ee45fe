#include "app/input_rows.h"

#include "app/folder_listing.h"
#include "app/kept_tree.h"
#include "platform/file_open_error.h"

namespace qorvane {

namespace {

// Rows are gathered as the listing finds their files, and a batch's tags
// are read all at once when it is due (full, or old enough), so that the
// reads of one batch can go on side by side.
class RowMaker final : public FolderListingSink {
public:
    RowMaker(const TagReader& readTags, const InputRowsRequest& request,
             const std::function<void(std::vector<EncodeJob>)>& deliver, const std::function<bool()>& stopped,
             InputRowsPacing pacing)
        : readTags_(readTags), request_(request), deliver_(deliver), stopped_(stopped), pacing_(std::move(pacing)) {}

    void found(FoundInput input) override {
        if (!IsAcceptedMediaFile(input.path)) {
            if (input.addedFolder.empty()) summary_.refused.push_back(input.path);
            return;
        }
        if (batch_.empty()) batchStart_ = std::chrono::steady_clock::now();
        batch_.push_back(NewJob(input.path, request_.profile,
                                RowOutputFolder(request_.outDir, request_.keepTree, input.addedFolder, input.path)));
        if (batch_.size() >= pacing_.batchRows ||
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

    // Reads the batch's tags and hands it on. A file that cannot be opened
    // keeps its row with empty tags, and the rows after it go.
    void flush() {
        if (batch_.empty()) return;
        std::vector<std::string> errors(batch_.size());
        const auto read = [this, &errors](std::size_t i) {
            try {
                ReadJobTags(batch_[i], readTags_);
            } catch (const FileOpenError& error) {
                errors[i] = error.what();
            }
        };
        if (pacing_.forEach) {
            pacing_.forEach(batch_.size(), read);
        } else {
            for (std::size_t i = 0; i < batch_.size(); ++i) read(i);
        }
        for (std::size_t i = 0; i < errors.size(); ++i) {
            if (errors[i].empty()) continue;
            summary_.openError = errors[i];
            batch_.resize(i + 1);
            break;
        }
        summary_.rows += batch_.size();
        deliver_(std::exchange(batch_, {}));
    }

    InputRowsSummary summary() && { return std::move(summary_); }

private:
    const TagReader& readTags_;
    const InputRowsRequest& request_;
    const std::function<void(std::vector<EncodeJob>)>& deliver_;
    const std::function<bool()>& stopped_;
    InputRowsPacing pacing_;
    std::vector<EncodeJob> batch_;
    std::chrono::steady_clock::time_point batchStart_;
    mutable InputRowsSummary summary_;
};

}  // namespace

InputRowsSummary MakeInputRows(const DirectoryWalk& walk, const TagReader& readTags, const InputRowsRequest& request,
                               const std::function<void(std::vector<EncodeJob>)>& deliver,
                               const std::function<bool()>& stopped, InputRowsPacing pacing) {
    RowMaker maker(readTags, request, deliver, stopped, std::move(pacing));
    ListInputs(walk, request.paths, maker);
    if (!maker.stopped()) maker.flush();  // cancelled: the rows not yet read are not wanted
    return std::move(maker).summary();
}

}  // namespace qorvane
