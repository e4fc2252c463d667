#pragma once
// Path helpers of the manager. Paths are POSIX: "/" separates, and the root "/" is a
// folder like any other. Joins are canonical, so that two roads to the same file give
// byte-for-byte equal paths (the selection and the cache compare paths that way).

#include <string>
#include <string_view>

// folder + "/" + name, without doubling the separator (the root gives "/name").
std::string JoinPath(std::string_view folder, std::string_view name);
// True for a path that starts at the root of the local file system.
bool IsAbsoluteLocalPath(std::string_view path);
// The text after the last "/" (the whole text when there is none; empty for "/").
std::string LastPathComponent(std::string_view path);
// The extension of the last component, from its last dot ("" when it has none).
std::string PathExtension(std::string_view path);
// PathExtension without its dot, in lower case (ASCII): "jpg" for "/a.b/Photo.JPG", ""
// for "/a.b/readme" and for "name.".
std::string LowerExtension(std::string_view path);
// The folder that holds path: the text before its last "/", "/" for an entry of the root,
// "." for a bare name (the current folder).
std::string FolderOf(std::string_view path);
// The folder above path, or "" when there is none: the root, or a bare name.
std::string ParentFolder(std::string_view path);
// True when the extension is .bmp, .jpg, .gif, .jpeg or .png in any letter case.
bool IsImageFileName(std::string_view name);
