#pragma once
// The part of a run's output that goes to the batch log, collected in
// memory as it comes: its first bytes up to a limit and its last bytes up to
// another, never more, however long the run prints. Nothing of it goes
// through a file, so a full disk cannot take the end of the output (where
// encoders print why they failed) away.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qorvane {

class KeptOutput {
public:
    // `tailLimit` must not be 0.
    KeptOutput(std::size_t headLimit, std::size_t tailLimit);

    void add(std::string_view bytes);

    // What was kept, ending in a line break; empty when nothing came. Where
    // bytes were left out, a line in their place tells how many, and the
    // tail starts after a line break where it has one.
    std::string text() const;

private:
    std::size_t headLimit_;
    std::size_t tailLimit_;
    std::string head_;
    // The last tailLimit_ + 1 bytes after the head (one more, to see whether
    // the cut falls on a line start); grown to twice that before it is
    // trimmed, so that trimming costs little per byte.
    std::string tail_;
    std::uint64_t total_ = 0;
};

}  // namespace qorvane
