#pragma once
// What the job list knows of each row's source and output: the facts read
// from the source's headers, and the estimated size of what the row's
// profile makes of it. Facts are kept by the row's source path, beside the
// rows rather than in them: rows of one file share them, a row that an
// abort puts back finds them again, and the recovery file stays as it is (a
// row given back after a crash has its facts read anew).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/job_list.h"
#include "encode/encoding_profile.h"
#include "encode/media_facts.h"
#include "encode/size_estimate.h"

namespace qorvane {

struct ListTotals {
    std::size_t rows = 0;
    std::uint64_t knownBytes = 0;  // the estimates that are known, summed
    std::size_t unknown = 0;       // rows whose estimate is not (facts being read included)
    std::size_t reading = 0;       // rows whose facts are still being read
    double seconds = 0;            // the known lengths, summed
};

class ListFacts {
public:
    // A prepared profile by its display name.
    using ProfileLoader = std::function<EncodingProfile(const std::string& name)>;
    explicit ListFacts(ProfileLoader loadProfile);

    // The source paths of rows first to last (inclusive) whose facts have not
    // been asked for yet, once each; from now on they count as being read.
    std::vector<std::string> takeUnread(const JobList& list, std::size_t first, std::size_t last);
    // What reading a source gave; nothing when its headers made no sense.
    void store(const std::string& path, std::optional<MediaFacts> facts);

    // Nothing while being read, or when the source could not be read.
    const MediaFacts* facts(const std::string& path) const;
    bool reading(const std::string& path) const;

    // The row's runs and their sizes under its profile; nothing until its
    // facts are known.
    std::optional<JobSize> size(const EncodeJob& job);
    ListTotals totals(const JobList& list);

    // Profiles are read once; after this the next look reads them anew (the
    // profile editor may have changed them).
    void reloadProfiles() { profiles_.clear(); }

private:
    struct Entry {
        bool read = false;
        std::optional<MediaFacts> facts;
    };
    const EncodingProfile& profile(const std::string& name);

    ProfileLoader loadProfile_;
    std::unordered_map<std::string, Entry> entries_;
    std::map<std::string, EncodingProfile> profiles_;
};

// The totals line: "12 件　推定サイズ 約 1.2 GB　長さ 1:02:03", with how
// many sizes are unknown and how many sources are still being read when
// there are any.
std::string ListTotalsText(const ListTotals& totals);

}  // namespace qorvane
