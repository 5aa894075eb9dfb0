// Program paths and file-system paths. The program's paths are code page 1251 text and may be joined with '\'
// (as the Windows program joined them); the file system's are UTF-8 with '/'. Every function of platform/base
// that takes a program path converts it here, and every path it hands back is cp1251 with '/'.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// cp1251 -> UTF-8, '\' -> '/'.
std::string ToFileSystemPath(std::string_view programPath);
// UTF-8 -> cp1251 (characters cp1251 lacks become '?').
std::string FromFileSystemPath(std::string_view fileSystemPath);

inline bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }
// `folder` and `name` with exactly one separator between them ('/' when one is added).
std::string JoinPath(std::string_view folder, std::string_view name);
// `path` with a trailing '/' unless it already ends in a separator.
std::string WithTrailingSeparator(std::string_view path);
// The last component: "a/b/c.txt" -> "c.txt".
std::string_view FileNameOf(std::string_view path);
// Everything before the last component, with its trailing separator: "a/b/c.txt" -> "a/b/".
std::string_view FolderOf(std::string_view path);
// The extension with its dot, or empty: "a/b.c/d.qorr5" -> ".qorr5".
std::string_view ExtensionOf(std::string_view path);

}  // namespace platform
