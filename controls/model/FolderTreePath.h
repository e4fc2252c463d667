#pragma once
// Path rules of the folder tree and the folder browser, apart from any window: how an
// item's path is joined, how a path is split to find its item, and how a typed folder is
// trimmed. Paths use "/"; a volume's root always ends in "/".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A mount point as the tree keeps it: with one trailing "/" ("/" stays "/").
std::string VolumeRoot(std::string_view mountPoint);

// The path of a folder item: its top's root (a volume root or the desktop folder
// followed by "/"), then the names from the top down to the item, each followed by "/".
// An item without any child (expanded and found empty) loses the trailing "/"; the top
// item itself (no names) is always its root.
std::string JoinItemPath(std::string_view root, const std::vector<std::string>& names, bool itemHasChildren);

// Which volume holds an absolute path: the one whose mount point is the longest prefix
// ending at a "/" boundary; nullopt when none does (a relative path).
std::optional<size_t> FindVolume(const std::vector<std::string>& volumeRoots, std::string_view path);

// The parts of a path after the given root, empty parts skipped.
std::vector<std::string> PathPartsAfter(std::string_view root, std::string_view path);

// The child that a path part names: an exact match first, else one that matches without
// regard to letter case; nullopt when none does.
std::optional<size_t> MatchChildName(const std::vector<std::string>& children, std::string_view part);

// A folder to preselect: trailing white space removed, then one trailing "/" or "\"
// unless that would leave nothing ("/" stays "/").
std::string TrimInitialFolder(std::string_view folder);

// A chosen folder as callers receive it: without a trailing "/" except for "/" itself.
std::string ChosenFolderPath(std::string_view itemPath);
