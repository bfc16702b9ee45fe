#include "tags/wma_tag_writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <exception>
#include <span>
#include <string_view>

#include "base/ascii_case.h"
#include "tags/id3.h"

namespace qorvane {

namespace {

// One edit of one output file: the change flag and the attribute store.
class AttributeStore {
public:
    explicit AttributeStore(MetadataEditor& editor) : editor_(editor) {}

    // Stores a NUL-terminated buffer unless it is empty. The editor's answer
    // is not looked at: a refused attribute still counts as a change, so the
    // others are saved all the same.
    void store(std::u16string_view name, std::span<const char16_t> buffer) {
        const std::size_t units = WideLength(buffer);
        if (units == 0 || units == buffer.size()) return;
        const auto bytes = static_cast<std::uint16_t>((units + 1) * sizeof(char16_t));
        editor_.SetAttribute(0, name, AttributeDataType::String,
                             reinterpret_cast<const std::byte*>(buffer.data()), bytes);
        changed_ = true;
    }

    // Converts system-code-page text first, cut like the job's own tags.
    void storeText(std::u16string_view name, std::string_view text) {
        std::array<char16_t, kTagTextCapacity> buffer{};
        TextToWide(text, buffer);
        store(name, buffer);
    }

    bool changed() const { return changed_; }

private:
    MetadataEditor& editor_;
    bool changed_ = false;
};

void StoreJobTags(AttributeStore& store, const CurrentJobTags& tags) {
    store.store(u"Title", tags.Title);
    store.store(u"Author", tags.Artist);
    store.store(u"WM/AlbumTitle", tags.Album);
    store.store(u"Copyright", tags.Copyright);
    store.store(u"WM/Year", tags.Year);
}

void StoreSourceTags(AttributeStore& store, const SourceTags& source) {
    if (!source.Genre.empty()) {
        // A genre in parentheses is an index form ("(17)Rock" from ID3v1).
        store.storeText(source.Genre.front() == '(' ? u"WM/GenreID" : u"WM/Genre", source.Genre);
    }
    if (source.Track != 0) store.storeText(u"WM/TrackNumber", std::to_string(source.Track));
    if (!source.Comment.empty()) store.storeText(u"Description", source.Comment);
}

}  // namespace

SaveResult WriteWindowsMediaTags(const std::filesystem::path& outputPath, const CurrentJobTags& tags,
                                 MetadataEditor& editor, const SourceTagReader& readSource) {
    if (!editor.LoadRuntime()) return {};
    if (!editor.CreateEditor()) {
        editor.UnloadRuntime();
        return {};
    }
    if (!editor.Open(outputPath)) {
        editor.ReleaseEditor();
        editor.UnloadRuntime();
        return {};
    }

    AttributeStore store(editor);
    const bool haveHeaderInfo = editor.QueryHeaderInfo();
    // A failing source read must still leave the file saved and everything
    // released before the error goes on to the caller.
    std::exception_ptr error;
    if (haveHeaderInfo) {
        StoreJobTags(store, tags);
        if (readSource) {
            try {
                if (const std::optional<SourceTags> source = readSource()) {
                    StoreSourceTags(store, *source);
                }
            } catch (...) {
                error = std::current_exception();
            }
        }
    }

    SaveResult saved;
    if (store.changed()) {
        saved = editor.Flush();
    } else {
        editor.Close();
    }
    if (haveHeaderInfo) editor.ReleaseHeaderInfo();
    editor.ReleaseEditor();
    editor.UnloadRuntime();
    // A file left untagged matters more than a source that could not be read.
    if (error && saved.saved) std::rethrow_exception(error);
    return saved;
}

SaveResult WriteJobTags(const std::filesystem::path& outputPath, const CurrentJobTags& tags,
                        MetadataEditor& editor) {
    return WriteWindowsMediaTags(outputPath, tags, editor, SourceTagReader{});
}

SaveResult WriteJobTagsWithSource(const std::filesystem::path& sourcePath,
                            const std::filesystem::path& outputPath, const CurrentJobTags& tags,
                            MetadataEditor& editor, const CodePage& legacyCodePage) {
    const SourceTagReader readSource = [&]() -> std::optional<SourceTags> {
        TID3v2 id3(legacyCodePage);
        if (!id3.ReadTags(sourcePath)) return std::nullopt;
        SourceTags source;
        source.Genre = id3.Genre;
        source.Track = id3.Track;
        source.Comment = id3.Comment;
        return source;
    };
    return WriteWindowsMediaTags(outputPath, tags, editor, readSource);
}

}  // namespace qorvane
