#pragma once
// The job list as the batch runner's queue.

#include "app/job_list.h"
#include "encode/batch_services.h"

namespace qorvane {

class JobListQueue final : public JobQueue {
public:
    explicit JobListQueue(JobList& list) : list_(list) {}
    int count() const override { return static_cast<int>(list_.size()); }
    const EncodeJob& at(int row) const override { return list_[static_cast<std::size_t>(row)]; }
    EncodeJob takeFirst() override { return list_.takeFirst(); }
    void putBackFirst(std::vector<EncodeJob> rows) override { list_.insertFirst(std::move(rows)); }

private:
    JobList& list_;
};

}  // namespace qorvane
