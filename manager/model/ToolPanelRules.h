#pragma once
// What the tool panel decides without a window: the sort toggles, which selected images
// the batch, graphical-text and notes commands accept and what they say otherwise, and
// which recent folder a typed address names.

#include <string>
#include <string_view>
#include <vector>

class CFolderItem;

namespace toolpanel {

struct SortState {
    int key = 0;    // a SortKey
    int order = 0;  // a SortOrder
};

// A sort command by key (name, size or date): the same key again flips the direction,
// another key sorts forward by it.
SortState SortByKey(SortState current, int key);

// The selected images of a folder by kind.
struct SelectionKinds {
    int batchable = 0;  // jpg, jpeg, gif, png, bmp
    int textable = 0;   // jpg, jpeg, bmp, png: pictures graphical text can go on
    int gif = 0;
    int jpeg = 0;           // jpg, jpeg: notes and keywords live in these
    bool hasNotes = false;  // a selected image has keywords or a description
};
SelectionKinds CountSelection(const CFolderItem& folder);

enum class MessageIcon { None, Information, Stop };

struct PanelMessage {
    const char* text = nullptr;  // null: no message, the command goes on
    const char* caption = "";
    MessageIcon icon = MessageIcon::None;
};

// Batch rename and batch resize: what stops them.
PanelMessage BatchRefusal(const SelectionKinds& kinds);
// Add Graphical Text: what stops it (GIF images alone are refused by name).
PanelMessage GraphicTextRefusal(const SelectionKinds& kinds);
// Notes & Keywords: always a message or nothing; no dialog follows.
PanelMessage NotesMessage(const SelectionKinds& kinds);

// The sample picture of the graphical-text job: the one chosen in its first step, or
// the folder's first image when none was chosen; empty when there is neither.
std::string TextSamplePath(const CFolderItem& folder, const std::string& chosenSample);
// The type to load a picture with, from its own extension (lower-cased), 0 when unknown.
int SampleImageType(std::string_view path);

// The index of the recent folder whose path is the address byte for byte, when that is
// not the current folder's path; -1 otherwise. Nothing else switches: the address box
// is no general path entry.
int RecentIndexOfAddress(const std::vector<std::string>& recentPaths, const std::string& currentPath,
                         const std::string& address);

}  // namespace toolpanel
