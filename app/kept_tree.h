#pragma once
// Where the output of a file added through a folder goes when the folder
// tree is kept: the job's output folder joined with the file's subfolder
// relative to the folder that was added (in/Artist/Album/01.flac with "in"
// added and OUT chosen -> OUT/Artist/Album).

#include <string>
#include <string_view>

namespace qorvane {

// outDir empty means "beside the input", which keeps the tree by itself:
// the result stays empty. A file that is not under addedFolder (or a path
// that climbs out of it with "..") gets outDir unchanged.
std::string KeptTreeOutputFolder(std::string_view outDir, std::string_view addedFolder,
                                 std::string_view file);

// A new row's output folder: outDir, or with the tree kept and the file
// added through a folder (addedFolder not empty), the folder above.
std::string RowOutputFolder(std::string_view outDir, bool keepTree, std::string_view addedFolder,
                            std::string_view file);

}  // namespace qorvane
