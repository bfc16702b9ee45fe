#pragma once
// Whether a batch's outputs fit: the known estimates of the rows, summed per
// file system of their output folders, against the room each has left less
// a margin of 1 % of it. Rows whose size is unknown are not counted.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/job_list.h"
#include "app/list_facts.h"
#include "platform/free_space.h"
#include "platform/message_box.h"

namespace qorvane {

struct SpaceNeed {
    std::filesystem::path folder;  // an output folder, as the batch will use it
    std::uint64_t bytes = 0;
};

struct SpaceShortfall {
    std::filesystem::path folder;  // the first output folder on that file system
    std::uint64_t needed = 0;
    std::uint64_t available = 0;
};

// The folder a row's outputs go to: its own, or its source's.
std::filesystem::path OutputFolderOf(const EncodeJob& job);

// The known estimates of the list's rows by output folder, in list order.
std::vector<SpaceNeed> SpaceNeedsOf(const JobList& list, ListFacts& facts);

// The file systems that the needs would overfill, in the order of their first
// folder. A folder whose file system cannot be looked at is passed over.
std::vector<SpaceShortfall> FindSpaceShortfalls(const std::vector<SpaceNeed>& needs, const FreeSpace& space);

// "空き容量が足りない可能性があります（必要 約 X、空き Y）。変換を始めますか？"
std::string SpaceQuestion(const SpaceShortfall& shortfall);
// The same figures on one line of qorvane-cli, with the folder.
std::string SpaceShortLine(const SpaceShortfall& shortfall);

// The convert command's check: true when the batch may start, because
// everything fits or the user said Yes to the question (asked about the
// first file system short of room).
bool ConfirmSpaceForBatch(const JobList& list, ListFacts& facts, const FreeSpace& space, MessageBoxes& messages);

}  // namespace qorvane
