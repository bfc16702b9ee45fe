#pragma once
// How the edit fields under the job list act on the rows, and the other rules
// of editing the list. Selections are row numbers of the list.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/job_list.h"

namespace qorvane {

// The Tag numbers of the edit fields that share one key handler.
inline constexpr int kAuthorTag = 2;
inline constexpr int kAlbumTag = 3;
inline constexpr int kYearTag = 4;
inline constexpr int kCopyTag = 5;
inline constexpr int kOutDirTag = 6;

// The title field writes only the first selected row (nearest the top).
void ApplyTitleEdit(JobList& list, const std::vector<std::size_t>& selected, const std::string& text);

// The other fields write every selected row; the field is told by its Tag,
// and a Tag other than 2 to 6 writes nothing.
void ApplyFieldEdit(JobList& list, int tag, const std::vector<std::size_t>& selected,
                    const std::string& text);
std::optional<JobField> FieldOfTag(int tag);

// A new profile choice goes to every selected row.
void SetProfileOfRows(JobList& list, const std::vector<std::size_t>& selected,
                      const std::string& profileName);

// Sets the output folder of every selected row.
void SetOutDirOfRows(JobList& list, const std::vector<std::size_t>& selected,
                     const std::string& folder);

// The folder the output folder picker starts in: the job's OutDir, else the
// folder of its source.
std::string OutputFolderStart(const EncodeJob& job);

// The profile the editor opens: that of the first selected row, else the
// drop-down's.
std::string ProfileToEdit(const JobList& list, const std::vector<std::size_t>& selected,
                          const std::string& dropDownText);

// The year field takes digits and backspace (code 8) only.
bool IsYearCharacterAccepted(char32_t c);

// The progress dialog's count: the rows waiting plus the jobs in progress
// (one at least: the dialog shows while a batch runs).
std::string ProgressCountText(std::size_t rowCount, int jobsGoing = 1);

// The drop-down entry to select for a remembered profile name: the first
// that matches without regard to case, else the first entry.
std::size_t RememberedProfileIndex(const std::vector<std::string>& names, std::string_view prof);

}  // namespace qorvane
