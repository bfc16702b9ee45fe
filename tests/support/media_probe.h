#pragma once
// Reads produced files back with an independent reader (ffprobe), and the
// ASF object sizes straight from the file.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qorvane::testing {

struct ProbedStream {
    std::map<std::string, std::string> fields;  // codec_type, codec_name, sample_rate, ...
    std::string operator[](const std::string& key) const {
        const auto found = fields.find(key);
        return found == fields.end() ? std::string() : found->second;
    }
};

struct ProbedMedia {
    bool readable = false;
    std::string formatName;
    double duration = 0;
    std::vector<ProbedStream> streams;
    std::vector<std::string> tags;  // every format or stream tag, as "key=value"
    const ProbedStream* first(const std::string& codecType) const;
};

ProbedMedia Probe(const std::filesystem::path& file);

// Bits per second spent on the ASF data object (all packets, padding
// included; the header object and the index left out), over the duration.
double AsfDataBitrate(const std::filesystem::path& file, double duration);

}  // namespace qorvane::testing
