#pragma once
// Reading small files with the ID3 reader, for the ID3v2 tests.

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/cp932_code_page.h"
#include "support/temp_dir.h"
#include "tags/id3.h"

namespace qorvane::testing {

class Id3v2Test : public ::testing::Test {
protected:
    // Reads a file holding `bytes`; the result of ReadTags goes to `found`.
    TID3v2 read(const std::string& bytes, bool pictures = true) {
        TID3v2 id3(cp932_);
        id3.ReadPictures = pictures;
        found = id3.ReadTags(dir_.write("song.mp3", bytes));
        return id3;
    }

    bool found = false;

private:
    TempDir dir_;
    Cp932CodePage cp932_;
};

}  // namespace qorvane::testing
