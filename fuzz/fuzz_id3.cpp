// Any file must read without a crash, a hang or a huge allocation, and every
// text field must come out as valid UTF-8.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/posix/cp932_code_page.h"
#include "base/text_codec.h"
#include "tags/id3.h"

namespace {

// One temporary file for the whole run, rewritten for every input. It is
// unlinked at once and reached through /proc, so nothing is left behind however
// the run ends; in memory where the system offers it, as a disk makes the run
// crawl.
struct InputFile {
    int fd = -1;
    std::string path;

    InputFile() {
        for (const char* dir : {"/dev/shm", "/tmp"}) {
            std::string name = std::string(dir) + "/fuzz_id3_XXXXXX";
            fd = mkstemp(name.data());
            if (fd < 0) continue;
            unlink(name.c_str());
            path = "/proc/self/fd/" + std::to_string(fd);
            return;
        }
        std::abort();
    }

    void write(const std::uint8_t* data, std::size_t size) const {
        if (ftruncate(fd, 0) != 0) std::abort();
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) std::abort();
            done += static_cast<std::size_t>(n);
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const InputFile input;
    input.write(data, size);

    const qorvane::Cp932CodePage cp932;
    qorvane::TID3v2 id3(cp932);
    id3.ReadTags(input.path);
    std::vector<const std::string*> texts = {&id3.Title,     &id3.Artist, &id3.Album,       &id3.Year,
                                             &id3.Comment,   &id3.Copyright, &id3.Genre,   &id3.AlbumArtist,
                                             &id3.Disc,      &id3.Composer};
    for (const qorvane::SourcePicture& picture : id3.Pictures) {
        if (picture.data.empty()) __builtin_trap();
        texts.insert(texts.end(), {&picture.mimeType, &picture.description});
    }
    for (const std::string* text : texts) {
        if (!qorvane::IsValidUtf8(*text)) __builtin_trap();
        if (text->find('\0') != std::string::npos) __builtin_trap();
    }
    if (id3.Track < 0 || id3.AudioOffset < 0) __builtin_trap();
    return 0;
}
