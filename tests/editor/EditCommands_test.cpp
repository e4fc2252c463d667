// The document's edit commands: the undo ring they feed, the dialogs they open, the view
// operations they run in order, and what they refuse.
#include "editor/model/CPixoroDocModel.h"

#include "editor/model/CPixoroState.h"
#include "editor/model/EditDialogs.h"
#include "editor/model/EditZoomHost.h"
#include "image/CLfImage.h"
#include "resources/editor/EditorStrings.h"
#include "tests/editor/ScriptedPrompts.h"
#include "tests/image/PictureTestUtil.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using Adjust = EditDialogs::Adjust;

namespace {

// The view: its two scales and a log of the operations, in order.
class FakeZoom : public EditZoomHost {
public:
    double zoom = 1.0;
    double fit = 1.0;
    std::vector<std::string> log;

    double ZoomFactor() const override { return zoom; }
    double FitScale() const override { return fit; }
    void SetZoomFactor(double z) override { zoom = z; log.push_back("zoom=" + Num(z)); }
    void SetFitScale(double f) override { fit = f; log.push_back("fit=" + Num(f)); }
    void SetZoomSizes(int w, int h) override { log.push_back("sizes " + std::to_string(w) + "x" + std::to_string(h)); }
    void ResetZoom() override { log.push_back("reset"); }
    void BestFit() override { log.push_back("bestfit"); }
    void ZoomInAndRepaint() override
    {
        log.push_back("repaint");
        zoom = fit = 1.0;
    }
    void ZoomIn() override { log.push_back("in"); }
    void ZoomOut() override { log.push_back("out"); }

    static std::string Num(double v) { return std::to_string(static_cast<int>(v * 100 + 0.5)); }
};

// Dialogs that answer from the test: OK or Cancel, and what they do to their images.
class FakeDialogs : public EditDialogs {
public:
    bool ok = true;
    std::vector<std::pair<int, int>> sizes;  // Resize answers, one per opening
    std::function<void(CPixoroDocModel&, CLfImage& work)> edit = [](CPixoroDocModel&, CLfImage& work) {
        work.Negative();
    };
    int opened = 0;
    std::vector<uint32_t> textBpp;  // bits of current and work when the text dialog opened

    bool HasRotate() const override { return true; }
    bool HasResize() const override { return true; }
    bool HasText() const override { return true; }
    bool HasAdjust(Adjust) const override { return true; }
    bool Rotate(CPixoroDocModel& doc, CLfImage& work) override { return Run(doc, work); }
    bool Resize(CPixoroDocModel&, int& width, int& height) override
    {
        ++opened;
        if (!ok || sizes.empty())
            return false;
        std::tie(width, height) = sizes.front();
        sizes.erase(sizes.begin());
        return true;
    }
    bool AdjustImage(Adjust, CPixoroDocModel& doc, CLfImage& work, CLfImage&) override { return Run(doc, work); }
    bool AddText(CPixoroDocModel& doc, CLfImage& current, CLfImage& work) override
    {
        textBpp = {current.GetBpp(), work.GetBpp()};
        return Run(doc, work);
    }

private:
    bool Run(CPixoroDocModel& doc, CLfImage& work)
    {
        ++opened;
        if (!ok)
            return false;
        edit(doc, work);
        return true;
    }
};

class ProgressDoc : public CPixoroDocModel {
public:
    using CPixoroDocModel::CPixoroDocModel;
    std::vector<bool> progress;
    std::vector<int> hints;

protected:
    void ShowProgress(bool shown) override { progress.push_back(shown); }
    void OnImageReplaced(int hint) override { hints.push_back(hint); }
};

class EditCommandsTest : public ::testing::Test {
protected:
    EditCommandsTest()
    {
        auto picture = lftest::MakePicture(40, 30, 24);
        EXPECT_TRUE(picture->Save(Path("a.png").c_str(), lfimg::kTypePNG));
        doc.SetZoomHost(&zoom);
        doc.SetEditDialogs(&dialogs);
        state.m_nViewMode = 0;
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    void Open()
    {
        ASSERT_TRUE(doc.OpenDocument(Path("a.png")));
        doc.hints.clear();
    }
    std::vector<uint8_t> Bits() const { return lftest::RawBits(*doc.GetImage()); }

    lftest::TempDir dir;
    CPixoroState state{(dir / "settings.ini").string()};
    lftest::ScriptedPrompts prompts;
    ProgressDoc doc{state, prompts};
    FakeZoom zoom;
    FakeDialogs dialogs;
};

TEST_F(EditCommandsTest, GreyscaleUndoRedoSavesWhatTheLibraryMakes)
{
    Open();
    CLfImage expected(*doc.GetImage());
    ASSERT_TRUE(expected.GrayScale());
    const std::vector<uint8_t> before = Bits();

    ASSERT_TRUE(doc.GrayScale());
    ASSERT_TRUE(doc.UndoEdit());
    EXPECT_EQ(Bits(), before);
    ASSERT_TRUE(doc.RedoEdit());
    ASSERT_TRUE(doc.SaveDocument(Path("grey.png")));

    CLfImage saved(Path("grey.png").c_str(), lfimg::kTypePNG);
    ASSERT_TRUE(saved.IsValid());
    EXPECT_EQ(saved.GetBpp(), expected.GetBpp());
    EXPECT_EQ(lftest::Strs(lftest::Pixels(saved)), lftest::Strs(lftest::Pixels(expected)));
    EXPECT_EQ(doc.GetUndo().Count(), 0);  // a save empties the ring
}

TEST_F(EditCommandsTest, ElevenEditsAllowTenUndos)
{
    Open();
    for (int i = 0; i < 11; ++i)
        ASSERT_TRUE(doc.AdjustImage(static_cast<int>(Adjust::BrightnessContrast)));
    int undos = 0;
    while (doc.UndoEdit())
        ++undos;
    EXPECT_EQ(undos, 10);
    // Negative eleven times: the oldest step left is the picture after the first edit.
    CLfImage firstEdit(Path("a.png").c_str(), lfimg::kTypePNG);
    firstEdit.Negative();
    EXPECT_EQ(Bits(), lftest::RawBits(firstEdit));
}

TEST_F(EditCommandsTest, AnEditAfterUndoingDropsTheRedoSteps)
{
    Open();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(doc.Rotate());
    ASSERT_TRUE(doc.UndoEdit());
    ASSERT_TRUE(doc.UndoEdit());
    EXPECT_TRUE(doc.GetUndo().CanRedo());
    ASSERT_TRUE(doc.GrayScale());
    EXPECT_EQ(doc.GetUndo().Count(), 2);
    EXPECT_FALSE(doc.GetUndo().CanRedo());
    EXPECT_FALSE(doc.RedoEdit());
}

TEST_F(EditCommandsTest, ResizeToHalfEqualsTheLibrarysResampling)
{
    Open();
    CLfImage expected(*doc.GetImage());
    ASSERT_TRUE(expected.Resample(20, 15, 2));
    dialogs.sizes = {{20, 15}};
    zoom.zoom = 1.6;
    ASSERT_TRUE(doc.Resize());
    EXPECT_EQ(doc.GetImage()->GetWidth(), 20);
    EXPECT_EQ(Bits(), lftest::RawBits(expected));
    EXPECT_EQ(doc.GetUndo().Count(), 1);
    EXPECT_EQ(doc.progress, (std::vector<bool>{true, false}));
    EXPECT_EQ(doc.hints, std::vector<int>{CPixoroDocModel::kHintLayout});
    EXPECT_TRUE(doc.m_bNewLayout);
    EXPECT_EQ(zoom.zoom, 1.0);
    EXPECT_EQ(state.m_nFitMode, CPixoroState::kFitNone);
}

TEST_F(EditCommandsTest, ResizeModes)
{
    struct Case { int ow, oh, nw, nh, mode; };
    const Case cases[] = {
        {4000, 1000, 2000, 500, 2}, {4000, 1000, 2000, 1500, 0}, {100, 100, 200, 50, 0}, {100, 100, 100, 100, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPixoroDocModel::ResizeMode(c.ow, c.oh, c.nw, c.nh), c.mode) << c.nw << "x" << c.nh;
}

TEST_F(EditCommandsTest, ATooLargeResizeAsksAgainWithoutAnUndoStep)
{
    Open();
    dialogs.sizes = {{4096, 30}, {40, 4096}, {80, 60}};
    ASSERT_TRUE(doc.Resize());
    EXPECT_EQ(dialogs.opened, 3);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].first, estr::kResizeTooLarge);
    EXPECT_EQ(doc.GetUndo().Count(), 1);
    EXPECT_EQ(doc.GetImage()->GetWidth(), 80);

    // Cancel at the dialog shown again: nothing changes.
    dialogs.sizes = {{5000, 5000}};
    EXPECT_FALSE(doc.Resize());
    EXPECT_EQ(doc.GetUndo().Count(), 1);
    EXPECT_EQ(doc.GetImage()->GetWidth(), 80);
}

TEST_F(EditCommandsTest, ResizeToRefusesSizesOutOfRangeWithoutAStep)
{
    Open();
    for (auto [w, h] : {std::pair{0, 10}, {10, -1}, {4096, 10}}) {
        EXPECT_FALSE(doc.ResizeTo(w, h));
        EXPECT_EQ(doc.GetUndo().Count(), 0);
        EXPECT_EQ(doc.GetImage()->GetWidth(), 40);
    }
}

TEST_F(EditCommandsTest, CancelledDialogsChangeNothing)
{
    Open();
    dialogs.ok = false;
    const std::vector<uint8_t> before = Bits();
    EXPECT_FALSE(doc.Rotate());
    EXPECT_FALSE(doc.Resize());
    EXPECT_FALSE(doc.AddText());
    for (Adjust kind : {Adjust::BrightnessContrast, Adjust::RedGreenBlue, Adjust::RedEye})
        EXPECT_FALSE(doc.AdjustImage(static_cast<int>(kind)));
    EXPECT_EQ(dialogs.opened, 6);
    EXPECT_EQ(Bits(), before);
    EXPECT_EQ(doc.GetUndo().Count(), 0);
    EXPECT_TRUE(doc.hints.empty());
}

TEST_F(EditCommandsTest, WithoutAnImageNoEditRunsOrOpensADialog)
{
    // A new document, and one whose image has no pixels (an empty paste).
    for (bool emptyImage : {false, true}) {
        if (emptyImage)
            doc.SetImage(std::make_unique<CLfImage>());
        EXPECT_FALSE(doc.HasImage());
        EXPECT_FALSE(doc.CanRotate() || doc.CanResize() || doc.CanAddText() || doc.CanAdjust(0));
        EXPECT_FALSE(doc.Rotate());
        EXPECT_FALSE(doc.Resize());
        EXPECT_FALSE(doc.AddText());
        EXPECT_FALSE(doc.AdjustImage(0));
        EXPECT_FALSE(doc.GrayScale());
        EXPECT_FALSE(doc.ResizeTo(10, 10));
        EXPECT_FALSE(doc.UndoEdit());
        EXPECT_FALSE(doc.RedoEdit());
        EXPECT_EQ(dialogs.opened, 0);
        EXPECT_EQ(doc.GetUndo().Count(), 0);
    }
}

TEST_F(EditCommandsTest, TextOnAGreyImageConvertsOnlyTheDialogsCopy)
{
    auto grey = lftest::MakePicture(16, 8, 8);
    grey->SetGrayPalette();
    ASSERT_TRUE(grey->IsGrayScale());
    ASSERT_TRUE(grey->Save(Path("g.bmp").c_str(), lfimg::kTypeBMP));
    ASSERT_TRUE(doc.OpenDocument(Path("g.bmp")));
    ASSERT_EQ(doc.GetImage()->GetBpp(), 8u);

    dialogs.ok = false;
    EXPECT_FALSE(doc.AddText());
    EXPECT_EQ(dialogs.textBpp, (std::vector<uint32_t>{8, 24}));
    EXPECT_EQ(doc.GetImage()->GetBpp(), 8u);
    EXPECT_EQ(doc.GetUndo().Count(), 0);

    dialogs.ok = true;
    ASSERT_TRUE(doc.AddText());
    EXPECT_EQ(doc.GetImage()->GetBpp(), 24u);
    ASSERT_EQ(doc.GetUndo().Count(), 1);  // pushed once the dialog completed, holding the grey image
    EXPECT_EQ(doc.GetUndo().Slot(0)->GetBpp(), 8u);
}

TEST_F(EditCommandsTest, ViewOperationsRunInTheCommandsOrder)
{
    struct Case {
        const char* name;
        int viewMode;
        double zoom, fit;
        std::function<bool(CPixoroDocModel&)> run;
        std::vector<std::string> log;
    };
    const auto greyscale = [](CPixoroDocModel& d) { return d.GrayScale(); };
    const auto rotate = [](CPixoroDocModel& d) { return d.Rotate(); };
    const auto text = [](CPixoroDocModel& d) { return d.AddText(); };
    const Case cases[] = {
        {"greyscale in best fit: prelude, nothing restored", 1, 1.0, 0.5, greyscale,
         {"reset", "bestfit"}},
        {"greyscale reduced: back to the zoom", 0, 1.0, 0.6, greyscale, {"repaint", "out"}},
        {"greyscale zoomed to 1.6: repaint, then in while 1.0+k*0.2 < 1.6", 0, 1.0, 1.6, greyscale,
         {"repaint", "in", "in", "in"}},
        {"rotate zoomed: fit to 1, zoom stepped and taken off again", 0, 1.4, 1.2, rotate,
         {"fit=100", "zoom=160", "out"}},
        {"rotate in best fit keeps its zoom", 1, 1.4, 0.8, rotate, {"reset", "bestfit", "fit=100"}},
        {"text reduced to 0.6: repaint, then out while the zoom stays above", 0, 1.0, 0.6, text,
         {"repaint", "out", "out"}},
        {"text at 1.4: repaint then in twice", 0, 1.0, 1.4, text, {"repaint", "in", "in"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        state.m_nViewMode = c.viewMode;
        state.m_bBestFitSuspended = false;
        zoom.zoom = c.zoom;
        zoom.fit = c.fit;
        zoom.log.clear();
        ASSERT_TRUE(c.run(doc));
        EXPECT_EQ(zoom.log, c.log);
    }
}

TEST_F(EditCommandsTest, UndoBringsTheViewToFullSizeWhenBothScalesDiffer)
{
    Open();
    ASSERT_TRUE(doc.GrayScale());
    zoom.zoom = 1.4;
    zoom.fit = 0.6;
    zoom.log.clear();
    ASSERT_TRUE(doc.UndoEdit());
    EXPECT_EQ(zoom.log, (std::vector<std::string>{"sizes 40x30", "zoom=100", "fit=100"}));
    EXPECT_EQ(state.m_nFitMode, CPixoroState::kFitNone);
}

TEST_F(EditCommandsTest, TheFramesClosePromptKeepsTheWindowUnlessAgreed)
{
    Open();
    EXPECT_TRUE(doc.QueryFrameClose());  // no edits: no question
    EXPECT_TRUE(prompts.questions.empty());
    ASSERT_TRUE(doc.GrayScale());

    prompts.answers = {DocPrompts::Answer::Cancel};
    EXPECT_FALSE(doc.QueryFrameClose());
    EXPECT_EQ(doc.GetUndo().Count(), 1);  // Cancel keeps the count

    // Yes with a save that does not happen (the options dialog cancelled).
    prompts.jpegOk = false;
    state.m_strCurrentPath = Path("a.jpg");
    prompts.answers = {DocPrompts::Answer::Yes};
    EXPECT_FALSE(doc.QueryFrameClose());
    EXPECT_EQ(doc.GetUndo().Count(), 1);

    prompts.answers = {DocPrompts::Answer::No};
    EXPECT_TRUE(doc.QueryFrameClose());
    EXPECT_EQ(prompts.questions.back(), estr::kSaveChangesTo + Path("a.jpg"));
    EXPECT_TRUE(doc.QueryClose());  // the document's own prompt does not come again
    EXPECT_EQ(prompts.questions.size(), 3u);
}

TEST_F(EditCommandsTest, TheFramesPromptIsCaptionedWithTheProgramsNameTheDocumentsWithItsTitle)
{
    Open();
    ASSERT_TRUE(doc.GrayScale());
    prompts.answers = {DocPrompts::Answer::Cancel, DocPrompts::Answer::Cancel};
    EXPECT_FALSE(doc.QueryFrameClose());
    EXPECT_FALSE(doc.QueryClose());
    EXPECT_EQ(prompts.captions, (std::vector<std::string>{"pixoro", estr::kAppTitle}));
}

}  // namespace
