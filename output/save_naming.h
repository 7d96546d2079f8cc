#pragma once
// The names the save loop gives its files.

#include <functional>
#include <string>

namespace glyphwell::output {

// The folder part of a path (without the trailing "/"; "." when there is none) and
// the file name without folder and extension.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);
std::string BaseNameOf(const std::string& path);
// A label's first line with its extension removed.
std::string StripExtension(const std::string& name);

// With one image the chosen base name; with several, base name + "-" + the grid
// position counted from 1 in at least three digits: "icons-005".
std::string NumberedName(const std::string& baseName, int position, int selectedCount);

// The extracted name (extension removed, made safe for a file name) and, while
// folder/name.extension exists, that name followed by 1, 2, 3 ... (the first free).
std::string ExtractedFileName(const std::string& folder, const std::string& extractedName,
                              const std::string& extension,
                              const std::function<bool(const std::string&)>& exists);

// The path folder/name.extension.
std::string JoinPath(const std::string& folder, const std::string& name,
                     const std::string& extension);

}  // namespace glyphwell::output
