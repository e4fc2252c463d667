#pragma once
// What a pane view asks of the window that holds the panes: its neighbour panes and the
// image pane's switch. The views reach the frame through this alone, so that a program
// that borrows a view-free piece of the manager's library never drags the frame in.

class CPaneView;
class CSysImageList;
class wxWindow;

class CPaneHost {
public:
    virtual CPaneView* GetRecentFoldersView() const = 0;
    // The folder tree, onto which list rows are dragged.
    virtual CPaneView* GetDirectoryView() const = 0;
    // The left column (folder tree over recent folders), whose width the settings keep.
    virtual wxWindow* GetLeftColumn() const = 0;
    virtual CSysImageList* GetSysImageList() const = 0;
    // Puts the view of a view mode in the image pane.
    virtual void SwitchImageView(int viewMode) = 0;
    // Print Preview: the print window over the current folder's selected images.
    virtual void PrintPreview() = 0;

protected:
    ~CPaneHost() = default;
};
