#pragma once
// The editor document's logic without any window: one image file held as one image, the
// image files of its folder to step through, the undo ring, and the roads of opening,
// stepping, saving and closing. Questions and messages go through DocPrompts; what the
// windows must follow (views, title, status, recorded path) goes to the virtual
// notifications, which the window document overrides.

#include "editor/model/JpegOptions.h"
#include "editor/model/CImageFolderList.h"
#include "editor/model/CImageThread.h"
#include "editor/model/CUndoRing.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class CLfImage;
class CPixoroState;
class DocPrompts;
class EditDialogs;
class EditZoomHost;

class CPixoroDocModel {
public:
    // View hints: a new current image; a redraw after a change of layout.
    static constexpr int kHintNewImage = 1001;
    static constexpr int kHintLayout = 0;

    CPixoroDocModel(CPixoroState& state, DocPrompts& prompts);
    virtual ~CPixoroDocModel();
    CPixoroDocModel(const CPixoroDocModel&) = delete;
    CPixoroDocModel& operator=(const CPixoroDocModel&) = delete;

    // Opens path into this (new) document: lists its folder, reads the parameter file,
    // loads the image. False, with the message shown where there is one, when the file
    // is not an image the editor opens; the current path then stays as it was.
    bool OpenDocument(const std::string& path);
    // Replaces the image by another file of the folder, asking first about unsaved
    // changes. False when the user cancels, a save at the prompt fails, or the file is
    // missing or undecodable; the image, its path and its edits then stay.
    bool LoadFromList(const std::string& path);
    // Next and Previous: moves to entry index of the folder list and loads it. A missing or
    // damaged file is stepped past: its message shows, the image stays, and the next step
    // goes on from its place. False when nothing was loaded.
    bool StepToFile(int index);
    // Rebuilds the folder list for the folder of path, which becomes the current path.
    void ReloadFileList(const std::string& path);
    // The current path's position in the folder list (without case), -1 when absent.
    int FindCurrentIndex() const;

    // Saves to path in the format of its extension, asking for the JPEG options unless
    // DoSave has just done so. False (with the reason shown) on failure; the file at
    // path is then as it was. Success empties the undo ring.
    bool SaveDocument(const std::string& path);
    // The save road of every save (toolbar, prompts, Save As): JPEG options, then a file
    // name when there is no path, the image's format is not saved in place or the user may
    // not write the file at path; then the save and a reload of the saved file. replace:
    // the saved name becomes the document's path.
    bool DoSave(const std::string& path, bool replace);

    // Before closing: asks about unsaved changes; false when the document stays open
    // (Cancel, or a save that did not happen).
    bool QueryClose();
    // Drops the folder list and the undo steps.
    void CloseDocument();

    // The main window's close: asks about unsaved changes; false keeps the window (Cancel,
    // or Yes with a save that did not happen). Once it agreed, QueryClose asks no more.
    bool QueryFrameClose();

    // Whether the user may replace the file at path as it stands: it does not exist yet, or
    // its mode lets this user write it. A superuser is held to the mode as well, so that a
    // read-only photo is never replaced behind its owner's back.
    static bool UserMayReplace(const std::string& path);

    // Edits: a snapshot before the change; undo and redo exchange images with the ring.
    void SubmitUndo();
    bool UndoEdit();
    bool RedoEdit();

    // The edit commands. Each does nothing and returns false without an image with
    // pixels, or when its dialog is missing or cancelled; true when the image changed.
    bool Rotate();
    bool Resize();
    bool AddText();
    bool AdjustImage(int kind);  // an EditDialogs::Adjust
    bool GrayScale();
    // Resize's work after its dialog: false (and no undo step) for a size outside
    // 1..4095 or a failed resampling.
    bool ResizeTo(int width, int height);
    // Resampling mode of a resize: smooth (2) when shrinking on both axes, else automatic.
    static int ResizeMode(int oldWidth, int oldHeight, int newWidth, int newHeight);
    // A dialog's preview changed the current image in place: the views redraw it.
    void ShowChangedImage();
    // The view's zoom back after an adjust or greyscale edit.
    void RestoreZoom();
    // Whether an edit command can run: an image with pixels and, for the dialog
    // commands, their dialog.
    bool HasImage() const;
    bool CanRotate() const;
    bool CanResize() const;
    bool CanAddText() const;
    bool CanAdjust(int kind) const;

    // The preload worker over the folder list (nothing in the editor starts it); stopped
    // and joined whenever the list changes and when the document goes.
    bool StartPreload(const std::string& placeholderPath);
    void StopPreload();
    const pixoro::PreloadState& GetPreloadState() const { return m_preload; }

    // The view the edits drive, and the dialogs they open (both may be null).
    void SetZoomHost(EditZoomHost* host) { m_zoomHost = host; }
    EditZoomHost* GetZoomHost() const { return m_zoomHost; }
    void SetEditDialogs(EditDialogs* dialogs) { m_dialogs = dialogs; }

    CLfImage* GetImage() const { return m_pImage.get(); }
    // Takes an image as the current one (a pasted or newly made image).
    void SetImage(std::unique_ptr<CLfImage> image);
    const CUndoRing& GetUndo() const { return m_undo; }
    bool HasUnsavedChanges() const { return m_undo.Count() > 0; }
    const CImageFolderList& GetFiles() const { return m_files; }
    CPixoroState& GetState() const { return m_state; }

    // Texts of the main window's title and status panes for the current path and image;
    // none without an image.
    struct StatusTexts {
        std::string title;      // "Lanternfolio Photo Editor [ name ]"
        std::string imageSize;  // "Image Size : 640w x 480h "
        std::string fileSize;   // " File Size :  12.50 KB"
    };
    std::optional<StatusTexts> GetStatusTexts() const;
    static std::string ZoomText(double zoom);  // " 100%"
    static std::string FileSizeText(double bytes);

    std::string m_strPath;       // the path the folder list was built from
    int m_nCurrentFile = -1;     // the open file's index in the folder list
    int m_nLoadedWidth = 0;      // the image's size as loaded
    int m_nLoadedHeight = 0;
    bool m_bNewLayout = true;    // the view recomputes its sizes and picture
    bool m_bSizeChanged = false; // the view recomputes its scroll and zoom sizes

protected:
    // The views show a new image (kHintNewImage) or redraw (kHintLayout).
    virtual void OnImageReplaced(int /*hint*/) {}
    // The document's title becomes name.
    virtual void OnTitleName(const std::string& /*name*/) {}
    // path is now the document's file (title and recent-file list).
    virtual void OnPathRecorded(const std::string& /*path*/) {}
    // Title and status panes are out of date.
    virtual void OnStatusChanged() {}
    // The document's recorded path and title, for proposing a name to save under.
    virtual std::string DocumentPathName() const { return {}; }
    virtual std::string DocumentTitle() const { return {}; }
    // A long step starts or ends (the wait cursor).
    virtual void SetBusy(bool /*busy*/) {}
    // A resampling starts (the status bar's progress bar) or ends.
    virtual void ShowProgress(bool /*shown*/) {}
    // Writes image to path in the format type so that path holds either the old bytes or
    // the new ones; false with the reason in error.
    virtual bool WriteImage(CLfImage& image, const std::string& path, uint32_t type, std::string& error);

private:
    // Every edit command starts here: best fit leaves its fitted scale.
    void EditPrelude();
    // A dialog's result becomes the current image, after an undo step.
    void TakeEditResult(const CLfImage& result);
    // Steps the zoom back up to a remembered fit scale after the zoom-in-and-repaint.
    void ZoomBackTo(double remembered);
    // A palette that is not a grey ramp is saved as 24 bits per pixel.
    void RaiseColourPalette();
    // Loading another file of the folder: loaded; kept because the user cancelled or the
    // save at the prompt did not happen; or refused (missing, damaged, not an image).
    enum class ListLoad { Loaded, Kept, Refused };
    ListLoad LoadListFile(const std::string& path);
    // Loads path with the type of its extension; null (with message) when it has none.
    std::unique_ptr<CLfImage> LoadImage(const std::string& path, int type, std::string* message) const;

    CPixoroState& m_state;
    DocPrompts& m_prompts;
    std::unique_ptr<CLfImage> m_pImage;
    CImageFolderList m_files;
    CUndoRing m_undo;
    // DoSave asked for the options; the save it runs uses m_saveOptions.
    bool m_bOptionsAsked = false;
    JpegOptions m_saveOptions;
    // The main window's close prompt was answered.
    bool m_bCloseAgreed = false;
    pixoro::PreloadState m_preload;
    std::unique_ptr<pixoro::CImageThread> m_preloader;
    EditZoomHost* m_zoomHost = nullptr;
    EditDialogs* m_dialogs = nullptr;
};
