#include "app/space_check.h"

#include <map>
#include <optional>

#include "app/facts_text.h"
#include "encode/command_line.h"
#include "platform/ui_text.h"

namespace qorvane {

namespace {

constexpr const char* kSpaceQuestionText =
    QORVANE_UI_TEXT("空き容量が足りない可能性があります（必要 約 %1、空き %2）。変換を始めますか？");
constexpr const char* kSpaceShortText = QORVANE_UI_TEXT("空き容量が足りない可能性があります（必要 約 %1、空き %2）: %3");

// What is left when the margin is kept free.
constexpr std::uint64_t kMarginPercent = 1;

}  // namespace

std::filesystem::path OutputFolderOf(const EncodeJob& job) {
    if (!job.OutDir.empty()) return job.OutDir;
    return ResolveFullPath(job.Path).parent_path();
}

std::vector<SpaceNeed> SpaceNeedsOf(const JobList& list, ListFacts& facts) {
    std::vector<SpaceNeed> needs;
    std::map<std::filesystem::path, std::size_t> byFolder;
    for (std::size_t row = 0; row < list.size(); ++row) {
        const std::optional<JobSize> size = facts.size(list[row]);
        if (!size) continue;
        // A job whose other runs are unknown still needs the room of the known ones.
        std::uint64_t bytes = 0;
        for (const auto& run : size->runs) bytes += run.value_or(0);
        if (bytes == 0) continue;
        const std::filesystem::path folder = OutputFolderOf(list[row]);
        const auto [at, added] = byFolder.try_emplace(folder, needs.size());
        if (added) needs.push_back({folder, 0});
        needs[at->second].bytes += bytes;
    }
    return needs;
}

std::vector<SpaceShortfall> FindSpaceShortfalls(const std::vector<SpaceNeed>& needs, const FreeSpace& space) {
    std::vector<SpaceShortfall> systems;
    std::map<std::uint64_t, std::size_t> byFileSystem;
    for (const SpaceNeed& need : needs) {
        const std::optional<FreeSpace::Space> room = space.space(need.folder);
        if (!room) continue;
        const auto [at, added] = byFileSystem.try_emplace(room->fileSystem, systems.size());
        if (added) systems.push_back({need.folder, 0, room->available});
        systems[at->second].needed += need.bytes;
    }
    std::vector<SpaceShortfall> shortOfRoom;
    for (const SpaceShortfall& system : systems) {
        const std::uint64_t usable = system.available - system.available / 100 * kMarginPercent;
        if (system.needed > usable) shortOfRoom.push_back(system);
    }
    return shortOfRoom;
}

std::string SpaceQuestion(const SpaceShortfall& shortfall) {
    return UiText(kSpaceQuestionText, {FormatByteSize(shortfall.needed), FormatByteSize(shortfall.available)});
}

std::string SpaceShortLine(const SpaceShortfall& shortfall) {
    return UiText(kSpaceShortText,
                  {FormatByteSize(shortfall.needed), FormatByteSize(shortfall.available), shortfall.folder.string()});
}

bool ConfirmSpaceForBatch(const JobList& list, ListFacts& facts, const FreeSpace& space, MessageBoxes& messages) {
    // The editor may have changed a profile since the sizes were shown.
    facts.reloadProfiles();
    const std::vector<SpaceShortfall> shortOfRoom = FindSpaceShortfalls(SpaceNeedsOf(list, facts), space);
    return shortOfRoom.empty() || messages.question(kMessageCaption, SpaceQuestion(shortOfRoom.front()));
}

}  // namespace qorvane
