#pragma once
// Stores a finished job's tags in its Windows Media output file as header
// attributes, through a MetadataEditor (platform/metadata_editor.h).
//
//     CurrentJobTags tags = MakeCurrentJobTags(row.Title, row.Author, row.Album,
//                                              row.Copy, row.Year);
//     TagLibMetadataEditor editor;          // platform/posix/taglib_metadata_editor.h
//     std::vector<std::string> notes;    // for the batch log
//     SaveResult saved = WriteJobTagsWithSource(source, output, tags, editor, reader, true, notes);
//
// Attributes, in the order they are stored, each only when its value is not
// empty (stream 0, UTF-16 string values; nothing is ever removed):
//     "Title", "Author", "WM/AlbumTitle", "Copyright", "WM/Year" from the job;
//     from the source's own tags, when the reader recognises the file:
//     "WM/GenreID" (a genre beginning with "(", such as "(17)Rock" from ID3v1)
//     or "WM/Genre" (any other genre), "WM/TrackNumber" (decimal),
//     "Description", "WM/AlbumArtist", "WM/PartOfSet", "WM/Composer";
//     then "WM/Picture" (binary): the source's cover, or the picture file
//     beside it (tags/cover_art.h), unless the caller leaves covers out.
// When nothing is stored the file is closed unsaved, so it is not rewritten.
//
// A missing runtime or an output that cannot be opened for editing leaves
// the output as it was, silently, and a refused attribute does not stop the
// others. A save that fails (a full disk) leaves the output exactly as the
// encoder wrote it and is returned, with its reason, for the caller to
// report. The one error thrown is the source's FileOpenError
// (platform/file_open_error.h), by WriteJobTagsWithSource after the
// attributes stored so far have been saved and the editor released (unless
// that save failed: the failed save is returned instead).
//
// Main thread only, like the job list the tags come from.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/metadata_editor.h"
#include "tags/current_job_tags.h"
#include "tags/source_tags.h"

namespace qorvane {

// Stores the job's five tags into the output file.
SaveResult WriteJobTags(const std::filesystem::path& outputPath, const CurrentJobTags& tags,
                        MetadataEditor& editor);

// Stores the job's five tags, then reads the source through `reader` and
// stores what its tags add, and, when carryCover is set, its cover. A
// picture left out (too large) is told by a line for the batch log, added
// to `notes`. Throws FileOpenError when the source cannot be opened; the
// output then keeps the job's five tags.
SaveResult WriteJobTagsWithSource(const std::filesystem::path& sourcePath,
                                  const std::filesystem::path& outputPath, const CurrentJobTags& tags,
                                  MetadataEditor& editor, const MediaTagReader& reader, bool carryCover,
                                  std::vector<std::string>& notes);

}  // namespace qorvane
