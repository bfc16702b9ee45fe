#include "app/job_list.h"

#include <algorithm>
#include <cassert>

namespace qorvane {

const std::string& FieldOf(const EncodeJob& job, JobField field) {
    switch (field) {
        case JobField::File: return job.File;
        case JobField::Profile: return job.Profile;
        case JobField::Title: return job.Title;
        case JobField::Author: return job.Author;
        case JobField::Album: return job.Album;
        case JobField::Year: return job.Year;
        case JobField::Copy: return job.Copy;
        case JobField::Path: return job.Path;
        case JobField::OutDir: return job.OutDir;
    }
    return job.OutDir;  // not reached: every field is listed above
}

std::string& FieldOf(EncodeJob& job, JobField field) {
    return const_cast<std::string&>(FieldOf(static_cast<const EncodeJob&>(job), field));
}

void JobList::append(EncodeJob job) {
    const std::size_t row = rows_.size();
    if (observer_) observer_->rowsAboutToBeInserted(row, row);
    rows_.push_back(std::move(job));
    ++revision_;
    if (observer_) observer_->rowsInserted();
}

void JobList::append(std::vector<EncodeJob> jobs) {
    if (jobs.empty()) return;
    const std::size_t first = rows_.size();
    if (observer_) observer_->rowsAboutToBeInserted(first, first + jobs.size() - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(jobs.begin()), std::make_move_iterator(jobs.end()));
    ++revision_;
    if (observer_) observer_->rowsInserted();
}

void JobList::setField(std::size_t row, JobField field, std::string value) {
    if (row >= rows_.size()) return;
    std::string& target = FieldOf(rows_[row], field);
    if (target == value) return;
    target = std::move(value);
    ++revision_;
    if (observer_) observer_->rowChanged(row, field);
}

void JobList::removeRows(std::vector<std::size_t> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    while (!rows.empty() && rows.back() >= rows_.size()) rows.pop_back();
    while (!rows.empty()) {
        // The run of neighbouring rows that ends with the last one left.
        const std::size_t last = rows.back();
        std::size_t first = last;
        rows.pop_back();
        while (!rows.empty() && rows.back() + 1 == first) {
            first = rows.back();
            rows.pop_back();
        }
        if (observer_) observer_->rowsAboutToBeRemoved(first, last);
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(first),
                    rows_.begin() + static_cast<std::ptrdiff_t>(last + 1));
        ++revision_;
        if (observer_) observer_->rowsRemoved();
    }
}

void JobList::insertFirst(std::vector<EncodeJob> jobs) {
    if (jobs.empty()) return;
    if (observer_) observer_->rowsAboutToBeInserted(0, jobs.size() - 1);
    rows_.insert(rows_.begin(), std::make_move_iterator(jobs.begin()), std::make_move_iterator(jobs.end()));
    ++revision_;
    if (observer_) observer_->rowsInserted();
}

EncodeJob JobList::takeFirst() {
    assert(!rows_.empty());
    if (observer_) observer_->rowsAboutToBeRemoved(0, 0);
    EncodeJob job = std::move(rows_.front());
    rows_.pop_front();
    ++revision_;
    if (observer_) observer_->rowsRemoved();
    return job;
}

}  // namespace qorvane
