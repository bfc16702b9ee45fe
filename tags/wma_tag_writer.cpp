#include "tags/wma_tag_writer.h"

#include <array>
#include <exception>
#include <fstream>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>

#include "platform/ui_text.h"
#include "tags/cover_art.h"

namespace qorvane {

namespace {

constexpr const char* kCoverTooLargeText = QORVANE_UI_TEXT("%1 のカバー画像は 16 MiB を超えるため引き継ぎません");

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
        set(name, AttributeDataType::String, reinterpret_cast<const std::byte*>(buffer.data()),
            (units + 1) * sizeof(char16_t));
    }

    // Converts system-code-page text first, cut like the job's own tags.
    void storeText(std::u16string_view name, std::string_view text) {
        std::array<char16_t, kTagTextCapacity> buffer{};
        TextToWide(text, buffer);
        store(name, buffer);
    }

    void storeBinary(std::u16string_view name, std::string_view bytes) {
        set(name, AttributeDataType::Binary, reinterpret_cast<const std::byte*>(bytes.data()), bytes.size());
    }

    bool changed() const { return changed_; }

private:
    void set(std::u16string_view name, AttributeDataType type, const std::byte* value, std::size_t length) {
        editor_.SetAttribute(0, name, type, value, static_cast<std::uint32_t>(length));
        changed_ = true;
    }

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
    if (!source.AlbumArtist.empty()) store.storeText(u"WM/AlbumArtist", source.AlbumArtist);
    if (!source.Disc.empty()) store.storeText(u"WM/PartOfSet", source.Disc);
    if (!source.Composer.empty()) store.storeText(u"WM/Composer", source.Composer);
}

std::string CoverTooLarge(const std::filesystem::path& where) {
    return UiText(kCoverTooLargeText, {where.string()});
}

// A picture file's bytes; nothing when it cannot be read or is too large
// (noted then).
std::optional<std::string> ReadCoverFile(const std::filesystem::path& file, std::vector<std::string>& notes) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) return std::nullopt;
    if (size > kMaxCoverBytes) {
        notes.push_back(CoverTooLarge(file));
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::string bytes(size, '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) return std::nullopt;
    return bytes;
}

// The source's own cover, or else the picture file beside it.
void StoreCover(AttributeStore& store, const std::filesystem::path& sourcePath, const SourceTags* source,
                std::vector<std::string>& notes) {
    if (const SourcePicture* cover = source ? ChooseCover(source->Pictures) : nullptr) {
        if (cover->data.size() > kMaxCoverBytes) {
            notes.push_back(CoverTooLarge(sourcePath));
        } else if (!cover->data.empty()) {
            store.storeBinary(u"WM/Picture", WmPictureValue(*cover));
        }
        return;
    }
    const std::optional<std::filesystem::path> file = CoverFileBeside(sourcePath);
    if (!file) return;
    SourcePicture picture;
    picture.mimeType = CoverMimeType(*file);
    if (std::optional<std::string> bytes = ReadCoverFile(*file, notes); bytes && !bytes->empty()) {
        picture.data = std::move(*bytes);
        store.storeBinary(u"WM/Picture", WmPictureValue(picture));
    }
}

// The sequence behind both entries; addFromSource (empty for none) runs
// once the job's own tags are stored and may throw.
SaveResult WriteWindowsMediaTags(const std::filesystem::path& outputPath, const CurrentJobTags& tags,
                                 MetadataEditor& editor, const std::function<void(AttributeStore&)>& addFromSource) {
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
        if (addFromSource) {
            try {
                addFromSource(store);
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

}  // namespace

SaveResult WriteJobTags(const std::filesystem::path& outputPath, const CurrentJobTags& tags,
                        MetadataEditor& editor) {
    return WriteWindowsMediaTags(outputPath, tags, editor, {});
}

SaveResult WriteJobTagsWithSource(const std::filesystem::path& sourcePath,
                                  const std::filesystem::path& outputPath, const CurrentJobTags& tags,
                                  MetadataEditor& editor, const MediaTagReader& reader, bool carryCover,
                                  std::vector<std::string>& notes) {
    return WriteWindowsMediaTags(outputPath, tags, editor, [&](AttributeStore& store) {
        const std::optional<SourceTags> source = reader.read(sourcePath);
        if (source) StoreSourceTags(store, *source);
        if (carryCover) StoreCover(store, sourcePath, source ? &*source : nullptr, notes);
    });
}

}  // namespace qorvane
