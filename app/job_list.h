#pragma once
// The job list: the queue of files to encode, one EncodeJob per row, in the
// order they were added. Whoever shows the list observes it; the batch
// runner takes jobs from the top.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "encode/encode_job.h"

namespace qorvane {

// EncodeJob (encode/encode_job.h) is the row type: the batch runner takes it too.

// The visible columns come first, in this order.
enum class JobField { File, Profile, Title, Author, Album, Year, Copy, Path, OutDir };

const std::string& FieldOf(const EncodeJob& job, JobField field);
std::string& FieldOf(EncodeJob& job, JobField field);

// Told about every change, before and after, the way item views need it.
class JobListObserver {
public:
    virtual ~JobListObserver() = default;
    virtual void rowsAboutToBeInserted(std::size_t first, std::size_t last) = 0;
    virtual void rowsInserted() = 0;
    virtual void rowsAboutToBeRemoved(std::size_t first, std::size_t last) = 0;
    virtual void rowsRemoved() = 0;
    virtual void rowChanged(std::size_t row, JobField field) = 0;
};

class JobList {
public:
    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    const EncodeJob& operator[](std::size_t row) const { return rows_[row]; }

    void append(EncodeJob job);
    // Appends the rows in their order, told as one change.
    void append(std::vector<EncodeJob> jobs);
    void setField(std::size_t row, JobField field, std::string value);
    // Removes the rows named (any order, duplicates ignored; rows past the
    // end are ignored), runs of neighbours at once, from the bottom up.
    void removeRows(std::vector<std::size_t> rows);
    // Removes the top row and hands it over. The list must not be empty.
    EncodeJob takeFirst();
    // Puts rows at the top, in their order (jobs an abort interrupted).
    void insertFirst(std::vector<EncodeJob> jobs);

    // At most one observer; nullptr detaches it.
    void setObserver(JobListObserver* observer) { observer_ = observer; }

    // Changes with every change of the rows: whoever keeps a copy can tell
    // whether it is still current.
    std::uint64_t revision() const { return revision_; }

private:
    std::deque<EncodeJob> rows_;
    std::uint64_t revision_ = 0;
    JobListObserver* observer_ = nullptr;
};

}  // namespace qorvane
