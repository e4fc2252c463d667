#include "editor/model/CPixoroDocModel.h"

#include "editor/model/CEarlyDecode.h"
#include "editor/model/CImageThread.h"
#include "editor/model/CPixoroState.h"
#include "editor/model/DocPrompts.h"
#include "editor/model/EditDialogs.h"
#include "editor/model/EditZoomHost.h"
#include "editor/model/ImageFileTypes.h"
#include "editor/model/ParamFile.h"
#include "image/CLfImage.h"
#include "resources/editor/EditorStrings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>

namespace {

std::string LeafName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// Why a path names no file to open: a folder named like a picture is told as a folder.
std::string NotFoundText(const std::string& path)
{
    struct stat st {};
    const bool folder = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return std::string(estr::kNotFoundBefore) + path + (folder ? estr::kIsFolderAfter : estr::kNotFoundAfter);
}

}  // namespace

CPixoroDocModel::CPixoroDocModel(CPixoroState& state, DocPrompts& prompts) : m_state(state), m_prompts(prompts) {}

CPixoroDocModel::~CPixoroDocModel() { StopPreload(); }

bool CPixoroDocModel::StartPreload(const std::string& placeholderPath)
{
    if (m_preloader)
        return false;
    m_preload.done = false;
    m_preload.stopped = false;
    m_preloader = std::make_unique<pixoro::CImageThread>(m_files, m_preload, placeholderPath);
    return m_preloader->Start();
}

void CPixoroDocModel::StopPreload()
{
    // Joined before the list it fills may change or go.
    m_preloader.reset();
}

std::unique_ptr<CLfImage> CPixoroDocModel::LoadImage(const std::string& path, int type, std::string* message) const
{
    auto image = std::make_unique<CLfImage>(path.c_str(), static_cast<uint32_t>(type));
    if (image->IsValid())
        return image;
    if (message)
        *message = image->GetLastError();
    return nullptr;
}

bool CPixoroDocModel::OpenDocument(const std::string& path)
{
    m_state.m_nFitMode = CPixoroState::kFitNone;
    m_state.m_bSteppedImage = false;
    m_state.m_bImageLoaded = false;
    if (m_state.m_bBestFitSuspended) {
        m_state.m_nViewMode = 1;
        m_state.m_bRefitOnLoad = true;
    }
    m_state.m_bBestFitSuspended = false;

    // A failed open leaves the current path to whichever document still shows it.
    const std::string previous = m_state.m_strCurrentPath;
    auto fail = [&] {
        m_state.m_strCurrentPath = previous;
        return false;
    };
    m_state.m_strCurrentPath = path;
    m_strPath = path;
    StopPreload();
    m_files.Reload(path);
    if (!m_state.m_strParamFilePath.empty())
        if (auto digits = ReadParamFile(m_state.m_strParamFilePath)) {
            m_state.m_nParamSortKey = digits->sortKey;
            m_state.m_nParamSortOrder = digits->sortOrder;
        }
    m_nCurrentFile = FindCurrentIndex();

    const auto type = ImageFileTypes::OpenTypeFromExtension(ImageFileTypes::GetFileExtension(path));
    if (!type)
        return fail();
    if (!FileExists(path)) {
        m_prompts.ShowMessage(NotFoundText(path), DocPrompts::Icon::Information);
        return fail();
    }
    OnTitleName(LeafName(path));
    // The command line's image may have been decoded while the windows were being made.
    if (auto early = m_state.m_pEarlyDecode ? m_state.m_pEarlyDecode->Take(path) : nullptr)
        m_pImage = early->IsValid() ? std::move(early) : nullptr;
    else
        m_pImage = LoadImage(path, *type, nullptr);
    if (!m_pImage) {
        m_prompts.ShowMessage(estr::kNotValidOnOpen, DocPrompts::Icon::None);
        return fail();
    }
    m_nLoadedWidth = m_pImage->GetWidth();
    m_nLoadedHeight = m_pImage->GetHeight();
    m_state.m_bImageLoaded = true;
    m_bNewLayout = true;
    OnImageReplaced(kHintNewImage);
    return true;
}

bool CPixoroDocModel::LoadFromList(const std::string& path) { return LoadListFile(path) == ListLoad::Loaded; }

bool CPixoroDocModel::StepToFile(int index)
{
    if (index < 0 || index >= m_files.Count())
        return false;
    const std::string path = m_files.Files()[size_t(index)].m_strPath;
    const ListLoad result = LoadListFile(path);
    // A file that could not be shown is passed: the next step starts from its place, so
    // one bad file does not stop stepping for good.
    if (result == ListLoad::Refused)
        m_nCurrentFile = index;
    return result == ListLoad::Loaded;
}

CPixoroDocModel::ListLoad CPixoroDocModel::LoadListFile(const std::string& path)
{
    if (m_undo.Count() > 0) {
        switch (m_prompts.AskYesNoCancel(estr::kSaveChangesTo + m_state.m_strCurrentPath, estr::kAppTitle)) {
        case DocPrompts::Answer::Cancel: return ListLoad::Kept;
        case DocPrompts::Answer::Yes:
            // The edits are not given up unless they were saved.
            if (!DoSave(m_state.m_strCurrentPath, false))
                return ListLoad::Kept;
            break;
        case DocPrompts::Answer::No: break;
        }
    }
    const auto type = ImageFileTypes::OpenTypeFromExtension(ImageFileTypes::GetFileExtension(path));
    if (!type)
        return ListLoad::Refused;
    if (!FileExists(path)) {
        m_prompts.ShowMessage(NotFoundText(path), DocPrompts::Icon::Information);
        return ListLoad::Refused;
    }
    auto image = LoadImage(path, *type, nullptr);
    if (!image) {
        m_prompts.ShowMessage(estr::kNotValidOnStep, DocPrompts::Icon::Error);
        return ListLoad::Refused;
    }

    m_pImage = std::move(image);
    m_undo.Clear();
    m_state.m_strCurrentPath = path;
    m_nCurrentFile = FindCurrentIndex();
    m_bSizeChanged = true;
    m_nLoadedWidth = m_pImage->GetWidth();
    m_nLoadedHeight = m_pImage->GetHeight();
    m_state.m_bImageLoaded = true;
    m_bNewLayout = true;
    OnTitleName(LeafName(path));
    OnPathRecorded(path);
    OnImageReplaced(kHintNewImage);
    return ListLoad::Loaded;
}

void CPixoroDocModel::ReloadFileList(const std::string& path)
{
    m_state.m_strCurrentPath = path;
    m_strPath = path;
    StopPreload();
    m_files.Reload(path);
}

int CPixoroDocModel::FindCurrentIndex() const { return m_files.FindIndex(m_state.m_strCurrentPath); }

void CPixoroDocModel::RaiseColourPalette()
{
    if (m_pImage && m_pImage->GetNumColors() != 0 && !m_pImage->IsGrayScale())
        m_pImage->IncreaseBpp(24);
}

bool CPixoroDocModel::WriteImage(CLfImage& image, const std::string& path, uint32_t type, std::string& error)
{
    if (image.Save(path.c_str(), type))
        return true;
    error = image.GetLastError();
    return false;
}

bool CPixoroDocModel::SaveDocument(const std::string& path)
{
    const bool optionsAsked = m_bOptionsAsked;
    m_bOptionsAsked = false;
    const auto type = ImageFileTypes::SaveTypeFromExtension(ImageFileTypes::GetFileExtension(path));
    if (!type || !m_pImage)
        return false;
    if (!optionsAsked) {
        JpegOptions options = JpegOptions::FromPresets(m_state);
        if (!m_prompts.AskJpegOptions(options, false))
            return false;
        options.StoreAsDefault(m_state);
        m_saveOptions = options;
    }
    RaiseColourPalette();
    m_pImage->info.quality = m_saveOptions.SaveQuality();
    // The option bits are the JPEG encoder's; other encoders read the field otherwise.
    if (*type == lfimg::kTypeJPG)
        m_pImage->info.codecOption = m_saveOptions.EncoderOptions();

    std::string error;
    const bool written = WriteImage(*m_pImage, path, static_cast<uint32_t>(*type), error);
    OnStatusChanged();
    if (!written) {
        m_prompts.ShowMessage(error, DocPrompts::Icon::None);
        return false;
    }
    m_undo.Clear();
    return true;
}

bool CPixoroDocModel::UserMayReplace(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT;
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    if (::geteuid() != 0)
        return true;
    // The superuser passes every access test: the mode decides, read as it would be for
    // an ordinary user of the file's owner, group or others.
    if (st.st_uid == 0)
        return (st.st_mode & S_IWUSR) != 0;
    if (st.st_gid == ::getegid())
        return (st.st_mode & S_IWGRP) != 0;
    return (st.st_mode & S_IWOTH) != 0;
}

bool CPixoroDocModel::DoSave(const std::string& path, bool replace)
{
    if (!m_pImage)
        return false;
    std::string name = path;
    const int imageType = static_cast<int>(m_pImage->GetType());
    // Every road takes the same checks: a file the user may not write is saved under a
    // new name, as is a format that is not saved in place.
    if (!name.empty() && !UserMayReplace(name))
        name.clear();
    JpegOptions options = JpegOptions::FromPresets(m_state);
    if (!m_prompts.AskJpegOptions(options, name.empty()))
        return false;
    options.StoreAsDefault(m_state);
    m_saveOptions = options;

    if (name.empty() || !ImageFileTypes::GetTypeFlag(imageType)) {
        name = DocumentPathName();
        if (replace && name.empty()) {
            name = DocumentTitle();
            if (name.find_first_of("#%;/\\") != std::string::npos)
                name = estr::kUntitledImage;
            const std::string extension = ImageFileTypes::DefaultExtension(imageType);
            if (!extension.empty())
                name += "." + extension;
        }
        name = ImageFileTypes::StripExtension(name);
        int type = imageType;
        if (!m_prompts.AskSaveFileName(name, type))
            return false;
    }

    m_bOptionsAsked = true;
    SetBusy(true);
    const bool saved = SaveDocument(name);
    SetBusy(false);
    if (!saved)
        return false;
    if (replace)
        OnPathRecorded(name);
    ReloadFileList(name);
    m_nCurrentFile = FindCurrentIndex();
    LoadFromList(name);
    return true;
}

bool CPixoroDocModel::QueryClose()
{
    if (m_undo.Count() == 0 || m_bCloseAgreed)
        return true;
    switch (m_prompts.AskYesNoCancel(estr::kSaveChangesTo + m_state.m_strCurrentPath, estr::kAppTitle)) {
    case DocPrompts::Answer::Cancel: return false;
    case DocPrompts::Answer::Yes: return DoSave(m_state.m_strCurrentPath, false);
    case DocPrompts::Answer::No: return true;
    }
    return false;
}

bool CPixoroDocModel::QueryFrameClose()
{
    if (m_undo.Count() == 0)
        return true;
    switch (m_prompts.AskYesNoCancel(estr::kSaveChangesTo + m_state.m_strCurrentPath, estr::kFrameCloseCaption)) {
    case DocPrompts::Answer::Cancel: return false;
    case DocPrompts::Answer::Yes:
        if (!DoSave(m_state.m_strCurrentPath, false))
            return false;
        break;
    case DocPrompts::Answer::No: break;
    }
    m_bCloseAgreed = true;
    return true;
}

void CPixoroDocModel::CloseDocument()
{
    StopPreload();
    m_files.Clear();
    m_undo.Clear();
    m_bSizeChanged = true;
}

void CPixoroDocModel::SubmitUndo()
{
    m_undo.Submit(m_pImage.get());
    m_bSizeChanged = true;
}

bool CPixoroDocModel::UndoEdit()
{
    if (!m_pImage || !m_undo.Undo(m_pImage))
        return false;
    m_bSizeChanged = true;
    if (m_zoomHost) {
        m_zoomHost->SetZoomSizes(m_pImage->GetWidth(), m_pImage->GetHeight());
        if (m_zoomHost->ZoomFactor() != 1.0 && m_zoomHost->FitScale() != 1.0) {
            m_zoomHost->SetZoomFactor(1.0);
            m_zoomHost->SetFitScale(1.0);
            m_state.m_nFitMode = CPixoroState::kFitNone;
        }
    }
    OnImageReplaced(kHintNewImage);
    OnStatusChanged();
    return true;
}

bool CPixoroDocModel::RedoEdit()
{
    if (!m_pImage || !m_undo.Redo(m_pImage))
        return false;
    m_bSizeChanged = true;
    OnImageReplaced(kHintNewImage);
    OnStatusChanged();
    return true;
}

void CPixoroDocModel::SetImage(std::unique_ptr<CLfImage> image)
{
    m_pImage = std::move(image);
    m_bNewLayout = true;
    m_bSizeChanged = true;
    if (m_pImage) {
        m_nLoadedWidth = m_pImage->GetWidth();
        m_nLoadedHeight = m_pImage->GetHeight();
    }
}

std::optional<CPixoroDocModel::StatusTexts> CPixoroDocModel::GetStatusTexts() const
{
    if (!m_pImage)
        return std::nullopt;
    const std::string& path = m_state.m_strCurrentPath;
    struct stat st {};
    const double size = ::stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : 0.0;
    StatusTexts texts;
    texts.title = std::string(estr::kAppTitle) + " [ " + LeafName(path) + " ]";
    char text[96];
    std::snprintf(text, sizeof text, "Image Size : %dw x %dh ", m_pImage->GetWidth(), m_pImage->GetHeight());
    texts.imageSize = text;
    texts.fileSize = FileSizeText(size);
    return texts;
}

std::string CPixoroDocModel::FileSizeText(double bytes)
{
    char text[64];
    std::snprintf(text, sizeof text, " File Size : %5.2f KB", static_cast<float>(bytes / 1024));
    return text;
}

std::string CPixoroDocModel::ZoomText(double zoom)
{
    char text[64];
    std::snprintf(text, sizeof text, " %3.0f%%", zoom * 100);
    return text;
}

// ---- Edit commands -------------------------------------------------------------------

namespace {

constexpr double kZoomStep = 0.2;
// Scales are stepped by 0.2 in doubles: comparisons allow for the rounding of the steps.
constexpr double kScaleSlack = 1e-6;
constexpr int kMaxResizeSide = 4095;

}  // namespace

bool CPixoroDocModel::HasImage() const { return m_pImage && m_pImage->IsValid(); }

bool CPixoroDocModel::CanRotate() const { return HasImage() && m_dialogs && m_dialogs->HasRotate(); }

bool CPixoroDocModel::CanResize() const { return HasImage() && m_dialogs && m_dialogs->HasResize(); }

bool CPixoroDocModel::CanAddText() const { return HasImage() && m_dialogs && m_dialogs->HasText(); }

bool CPixoroDocModel::CanAdjust(int kind) const
{
    return HasImage() && m_dialogs && m_dialogs->HasAdjust(static_cast<EditDialogs::Adjust>(kind));
}

void CPixoroDocModel::EditPrelude()
{
    if (m_zoomHost && m_state.m_nViewMode == 1) {
        m_zoomHost->ResetZoom();
        m_zoomHost->BestFit();
        m_state.m_bBestFitSuspended = true;
    }
}

void CPixoroDocModel::TakeEditResult(const CLfImage& result)
{
    SubmitUndo();
    m_pImage = std::make_unique<CLfImage>(result);
}

void CPixoroDocModel::ZoomBackTo(double remembered)
{
    m_zoomHost->ZoomInAndRepaint();
    for (double scale = m_zoomHost->FitScale(); scale + kScaleSlack < remembered; scale += kZoomStep)
        m_zoomHost->ZoomIn();
}

void CPixoroDocModel::RestoreZoom()
{
    if (!m_zoomHost || m_state.m_bBestFitSuspended)
        return;
    if (m_zoomHost->ZoomFactor() < 1.0 || m_zoomHost->FitScale() < 1.0) {
        m_zoomHost->ZoomInAndRepaint();
        m_zoomHost->ZoomOut();
    }
    if (m_state.m_bBestFitSuspended)
        return;
    if (m_zoomHost->ZoomFactor() > 1.0 || m_zoomHost->FitScale() > 1.0)
        ZoomBackTo(m_zoomHost->FitScale());
}

bool CPixoroDocModel::Rotate()
{
    if (!CanRotate())
        return false;
    EditPrelude();
    CLfImage work(*m_pImage);
    if (!m_dialogs->Rotate(*this, work))
        return false;
    TakeEditResult(work);
    if (m_zoomHost && (m_zoomHost->ZoomFactor() != 1.0 || m_zoomHost->FitScale() != 1.0)) {
        m_zoomHost->SetFitScale(1.0);
        m_bSizeChanged = true;
        m_state.m_nFitMode = CPixoroState::kFitNone;
        if (m_state.m_nViewMode != 1 && m_zoomHost->ZoomFactor() != 1.0) {
            // Zoom out takes the step off again and lays the view out at that zoom.
            m_zoomHost->SetZoomFactor(m_zoomHost->ZoomFactor() + kZoomStep);
            m_zoomHost->ZoomOut();
        }
    }
    OnStatusChanged();
    OnImageReplaced(kHintNewImage);
    return true;
}

int CPixoroDocModel::ResizeMode(int oldWidth, int oldHeight, int newWidth, int newHeight)
{
    return newWidth > oldWidth || newHeight > oldHeight ? 0 : 2;
}

bool CPixoroDocModel::Resize()
{
    if (!CanResize())
        return false;
    EditPrelude();
    // The dialog again until a size fits or the user cancels; nothing is pushed before.
    for (;;) {
        int width = m_pImage->GetWidth();
        int height = m_pImage->GetHeight();
        if (!m_dialogs->Resize(*this, width, height))
            return false;
        if (width > kMaxResizeSide || height > kMaxResizeSide) {
            m_prompts.ShowMessage(estr::kResizeTooLarge, DocPrompts::Icon::None);
            continue;
        }
        return ResizeTo(width, height);
    }
}

bool CPixoroDocModel::ResizeTo(int width, int height)
{
    if (!HasImage() || width < 1 || height < 1 || width > kMaxResizeSide || height > kMaxResizeSide)
        return false;
    ShowProgress(true);
    const int mode = ResizeMode(m_pImage->GetWidth(), m_pImage->GetHeight(), width, height);
    auto resized = std::make_unique<CLfImage>();
    if (!m_pImage->Resample(width, height, mode, resized.get()) || !resized->IsValid()) {
        ShowProgress(false);
        return false;
    }
    SubmitUndo();
    m_pImage = std::move(resized);
    m_bNewLayout = true;
    if (m_zoomHost && (m_zoomHost->ZoomFactor() != 1.0 || m_zoomHost->FitScale() != 1.0)) {
        m_zoomHost->SetZoomFactor(1.0);
        m_zoomHost->SetFitScale(1.0);
        m_state.m_nFitMode = CPixoroState::kFitNone;
    }
    OnImageReplaced(kHintLayout);
    OnStatusChanged();
    ShowProgress(false);
    return true;
}

bool CPixoroDocModel::AdjustImage(int kind)
{
    if (!CanAdjust(kind))
        return false;
    EditPrelude();
    CLfImage work(*m_pImage);
    const bool ok = m_dialogs->AdjustImage(static_cast<EditDialogs::Adjust>(kind), *this, work, *m_pImage);
    if (ok) {
        TakeEditResult(work);
        OnImageReplaced(kHintNewImage);
    }
    RestoreZoom();
    return ok;
}

void CPixoroDocModel::ShowChangedImage()
{
    m_bSizeChanged = true;
    OnImageReplaced(kHintLayout);
}

bool CPixoroDocModel::GrayScale()
{
    if (!HasImage())
        return false;
    EditPrelude();
    CLfImage grey(*m_pImage);
    if (!grey.GrayScale())
        return false;
    TakeEditResult(grey);
    m_bSizeChanged = true;
    OnImageReplaced(kHintNewImage);
    RestoreZoom();
    return true;
}

bool CPixoroDocModel::AddText()
{
    if (!CanAddText())
        return false;
    const double remembered = m_zoomHost ? m_zoomHost->FitScale() : 1.0;
    EditPrelude();
    // Text is drawn in colour: a grey image is raised to 24 bits in the dialog's copy,
    // so that a cancelled dialog leaves the document's image as it was.
    CLfImage work(*m_pImage);
    if (work.GetBpp() <= 8 && work.IsGrayScale() && !work.IncreaseBpp(24))
        return false;
    if (!m_dialogs->AddText(*this, *m_pImage, work))
        return false;
    TakeEditResult(work);
    OnImageReplaced(kHintNewImage);
    if (m_zoomHost && m_state.m_nViewMode != 1) {
        if (remembered > 1.0) {
            ZoomBackTo(remembered);
        } else {
            m_zoomHost->ZoomInAndRepaint();
            for (double zoom = m_zoomHost->ZoomFactor(); zoom - kScaleSlack > remembered; zoom -= kZoomStep)
                m_zoomHost->ZoomOut();
        }
    }
    return true;
}
