#include "app/job_edits.h"

#include <algorithm>

#include "encode/encoding_profile.h"
#include "base/ascii_case.h"

namespace qorvane {

namespace {


void SetFieldOfRows(JobList& list, const std::vector<std::size_t>& selected, JobField field,
                    const std::string& text) {
    for (std::size_t row : selected) list.setField(row, field, text);
}

}  // namespace

void ApplyTitleEdit(JobList& list, const std::vector<std::size_t>& selected, const std::string& text) {
    if (selected.empty()) return;
    list.setField(*std::min_element(selected.begin(), selected.end()), JobField::Title, text);
}

std::optional<JobField> FieldOfTag(int tag) {
    switch (tag) {
        case kAuthorTag: return JobField::Author;
        case kAlbumTag: return JobField::Album;
        case kYearTag: return JobField::Year;
        case kCopyTag: return JobField::Copy;
        case kOutDirTag: return JobField::OutDir;
        default: return std::nullopt;
    }
}

void ApplyFieldEdit(JobList& list, int tag, const std::vector<std::size_t>& selected,
                    const std::string& text) {
    if (const auto field = FieldOfTag(tag)) SetFieldOfRows(list, selected, *field, text);
}

void SetProfileOfRows(JobList& list, const std::vector<std::size_t>& selected,
                      const std::string& profileName) {
    SetFieldOfRows(list, selected, JobField::Profile, profileName);
}

void SetOutDirOfRows(JobList& list, const std::vector<std::size_t>& selected, const std::string& folder) {
    SetFieldOfRows(list, selected, JobField::OutDir, folder);
}

std::string OutputFolderStart(const EncodeJob& job) {
    if (!job.OutDir.empty()) return job.OutDir;
    const auto slash = job.Path.find_last_of('/');
    return slash == std::string::npos ? std::string() : job.Path.substr(0, slash + 1);
}

std::string ProfileToEdit(const JobList& list, const std::vector<std::size_t>& selected,
                          const std::string& dropDownText) {
    if (selected.empty()) return dropDownText;
    return list[*std::min_element(selected.begin(), selected.end())].Profile;
}

bool IsYearCharacterAccepted(char32_t c) { return c == 8 || (c >= U'0' && c <= U'9'); }

std::string ProgressCountText(std::size_t rowCount, int jobsGoing) {
    return FormatRemainingCount(static_cast<int>(rowCount) + std::max(1, jobsGoing));
}

std::size_t RememberedProfileIndex(const std::vector<std::string>& names, std::string_view prof) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (EqualsIgnoringAsciiCase(names[i], prof)) return i;
    }
    return 0;
}

}  // namespace qorvane
