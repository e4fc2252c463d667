#include "editor/model/CPixoroDocModel.h"

#include "editor/model/CPixoroState.h"
#include "image/CLfImage.h"
#include "resources/editor/EditorStrings.h"
#include "tests/editor/ScriptedPrompts.h"
#include "tests/image/PictureTestUtil.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;
using Answer = DocPrompts::Answer;
using Icon = DocPrompts::Icon;

namespace {

// The document with what the windows would be told recorded, and a writer that can be
// made to fail.
class RecordingDoc : public CPixoroDocModel {
public:
    using CPixoroDocModel::CPixoroDocModel;
    std::vector<int> hints;
    std::string title;
    std::vector<std::string> recorded;
    std::string pathName;
    bool failWrites = false;

protected:
    void OnImageReplaced(int hint) override { hints.push_back(hint); }
    void OnTitleName(const std::string& name) override { title = name; }
    void OnPathRecorded(const std::string& path) override
    {
        recorded.push_back(path);
        pathName = path;
    }
    std::string DocumentPathName() const override { return pathName; }
    bool WriteImage(CLfImage& image, const std::string& path, uint32_t type, std::string& error) override
    {
        if (failWrites) {
            error = "the encoder refused";
            return false;
        }
        return CPixoroDocModel::WriteImage(image, path, type, error);
    }
};

class CPixoroDocModelTest : public ::testing::Test {
protected:
    CPixoroDocModelTest()
    {
        state.m_strParamFilePath = (dir / "qkparam.dat").string();
        Write("a.jpg", lfimg::kTypeJPG, 40, 30);
        Write("b.png", lfimg::kTypePNG, 20, 10);
    }
    // Writes a test picture of that size as the file name in the folder.
    std::string Write(const std::string& name, uint32_t type, int width, int height)
    {
        auto picture = lftest::MakePicture(width, height, 24);
        const std::string path = (dir / name).string();
        EXPECT_TRUE(picture->Save(path.c_str(), type)) << picture->GetLastError();
        return path;
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // One edit: the image turns grey.
    void Edit()
    {
        doc.SubmitUndo();
        doc.GetImage()->GrayScale();
    }

    lftest::TempDir dir;
    CPixoroState state{(dir / "settings.ini").string()};
    lftest::ScriptedPrompts prompts;
    RecordingDoc doc{state, prompts};
};

TEST_F(CPixoroDocModelTest, OpensAnImageWithItsFolderAndTheParameterDigits)
{
    lftest::WriteText(dir / "qkparam.dat", "1|0\n2|1\n");
    state.m_bBestFitSuspended = true;
    state.m_nViewMode = 0;
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    ASSERT_NE(doc.GetImage(), nullptr);
    EXPECT_EQ(doc.GetImage()->GetWidth(), 40);
    EXPECT_EQ(doc.m_nLoadedHeight, 30);
    EXPECT_EQ(state.m_strCurrentPath, Path("a.jpg"));
    EXPECT_EQ(doc.title, "a.jpg");
    EXPECT_EQ(doc.GetFiles().Count(), 2);
    EXPECT_EQ(doc.m_nCurrentFile, 0);
    EXPECT_EQ(state.m_nParamSortKey, 2);
    EXPECT_EQ(state.m_nParamSortOrder, 1);
    EXPECT_TRUE(state.m_bImageLoaded);
    EXPECT_EQ(state.m_nViewMode, 1) << "a suspended best fit comes back";
    EXPECT_FALSE(state.m_bBestFitSuspended);
    EXPECT_EQ(doc.hints, std::vector<int>{CPixoroDocModel::kHintNewImage});
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(fs::exists(dir / "qkparam.dat")) << "the parameter file stays";
}

TEST_F(CPixoroDocModelTest, RefusedOpensSayWhyAndLeaveTheCurrentPath)
{
    lftest::WriteText(dir / "junk.jpg", "not a picture");
    lftest::WriteText(dir / "notes.txt", "text");
    fs::create_directory(dir / "folder.jpg");
    state.m_strCurrentPath = "/before.jpg";
    struct Case {
        const char* name;
        const char* message;  // null: none
        Icon icon;
    };
    const Case cases[] = {
        {"notes.txt", nullptr, Icon::None},
        {"noextension", nullptr, Icon::None},
        {"missing.jpg", "' %s '\n Was not found, it has been Removed Or Renamed.", Icon::Information},
        {"folder.jpg", "' %s '\n Is a folder, not a picture.", Icon::Information},
        {"junk.jpg", "ERROR:It is not a valid PIXORO File.", Icon::None},
    };
    for (const Case& c : cases) {
        prompts.messages.clear();
        RecordingDoc fresh(state, prompts);
        EXPECT_FALSE(fresh.OpenDocument(Path(c.name))) << c.name;
        EXPECT_EQ(fresh.GetImage(), nullptr);
        EXPECT_EQ(state.m_strCurrentPath, "/before.jpg") << c.name;
        if (!c.message) {
            EXPECT_TRUE(prompts.messages.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(prompts.messages.size(), 1u) << c.name;
        std::string expected = c.message;
        if (auto at = expected.find("%s"); at != std::string::npos)
            expected.replace(at, 2, Path(c.name));
        EXPECT_EQ(prompts.messages[0].first, expected);
        EXPECT_EQ(prompts.messages[0].second, c.icon);
    }
}

TEST_F(CPixoroDocModelTest, SaveThenReloadGivesTheSamePixels)
{
    ASSERT_TRUE(doc.OpenDocument(Path("b.png")));
    Edit();
    const CLfImage edited(*doc.GetImage());
    ASSERT_TRUE(doc.DoSave(Path("b.png"), false));
    EXPECT_EQ(doc.GetUndo().Count(), 0);
    EXPECT_TRUE(lftest::SamePicture(*doc.GetImage(), edited)) << "the document holds the reloaded file";
    CLfImage onDisk(Path("b.png").c_str(), lfimg::kTypePNG);
    EXPECT_TRUE(lftest::SamePicture(onDisk, edited));
    EXPECT_EQ(prompts.jpegNamePending, std::vector<bool>{false});
    EXPECT_TRUE(prompts.proposedNames.empty()) << "a PNG saves in place";
}

TEST_F(CPixoroDocModelTest, AQualityAbove98SavesAs95AndTheDefaultIsStored)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    JpegOptions choice = JpegOptions::FromPresets(state);
    choice.quality = 99;
    prompts.jpegChoice = choice;
    // What the file must hold: the same pixels encoded at 95 with the same options.
    CLfImage expected(*doc.GetImage());
    expected.info.quality = 95;
    expected.info.codecOption = choice.EncoderOptions();
    uint8_t* bytes = nullptr;
    int64_t size = 0;
    ASSERT_TRUE(expected.Encode(bytes, size, lfimg::kTypeJPG));
    const std::vector<uint8_t> at95(bytes, bytes + size);
    std::free(bytes);

    ASSERT_TRUE(doc.DoSave(Path("a.jpg"), false));
    EXPECT_EQ(lftest::ReadBytes(dir / "a.jpg"), at95);
    EXPECT_FLOAT_EQ(state.m_fJpegQuality, 99.0f) << "the default box was checked";
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(CPixoroDocModelTest, TheEncodingAndSamplingChoicesReachTheFile)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    JpegOptions choice = JpegOptions::ResetAll();
    choice.progressive = true;
    choice.horizontal = true;
    prompts.jpegChoice = choice;
    ASSERT_TRUE(doc.DoSave(Path("a.jpg"), false));
    const auto bytes = lftest::ReadBytes(dir / "a.jpg");
    // The frame header: progressive (FF C2), luma sampled 2 x 1.
    size_t sof = std::string::npos;
    for (size_t i = 2; i + 1 < bytes.size() && sof == std::string::npos; ++i)
        if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2))
            sof = i;
    ASSERT_NE(sof, std::string::npos);
    EXPECT_EQ(bytes[sof + 1], 0xC2);
    EXPECT_EQ(bytes[sof + 11], 0x21);
    EXPECT_FALSE(state.m_bJpegSaveSetting) << "Reset All cleared the default box: nothing stored";
}

TEST_F(CPixoroDocModelTest, TheJpegOptionBitsStayOffOtherFormats)
{
    ASSERT_TRUE(doc.OpenDocument(Path("b.png")));
    doc.GetImage()->info.codecOption = 0;
    ASSERT_TRUE(doc.DoSave(Path("b.png"), false));
    prompts.saveName = Path("c.tif");
    Edit();
    ASSERT_TRUE(doc.DoSave("", true));
    CLfImage tiff(Path("c.tif").c_str(), lfimg::kTypeTIF);
    EXPECT_TRUE(tiff.IsValid()) << "a TIFF with the default compression";
}

TEST_F(CPixoroDocModelTest, ASaveIntoAReadOnlyFolderLeavesTheOriginalAndTheEdits)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    Edit();
    const auto before = lftest::ReadBytes(dir / "a.jpg");
    // The photo may be written by everyone, its folder by nobody; the superuser writes
    // anywhere, so the save runs in a child process as an ordinary user.
    fs::permissions(dir / "a.jpg", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                       fs::perms::group_write | fs::perms::others_read | fs::perms::others_write);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(10);
        int result = 0;
        if (doc.DoSave(Path("a.jpg"), false))
            result |= 1;
        if (doc.GetUndo().Count() != 1)
            result |= 2;
        if (prompts.messages.size() != 1 || prompts.messages[0].first.find("Permission denied") == std::string::npos)
            result |= 4;
        _exit(result);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    fs::permissions(dir.path(), fs::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: saved, 2: undo count changed, 4: no system reason shown";
    EXPECT_EQ(lftest::ReadBytes(dir / "a.jpg"), before);
}

TEST_F(CPixoroDocModelTest, AFailingEncoderLeavesTheOriginalByteForByteAndTheEdits)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    Edit();
    Edit();
    const auto before = lftest::ReadBytes(dir / "a.jpg");
    doc.failWrites = true;
    EXPECT_FALSE(doc.DoSave(Path("a.jpg"), false));
    EXPECT_EQ(lftest::ReadBytes(dir / "a.jpg"), before);
    EXPECT_EQ(doc.GetUndo().Count(), 2);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].first, "the encoder refused");
}

TEST_F(CPixoroDocModelTest, TheRealEncoderRefusingLeavesNoFileBehind)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    // A 4-bit grey ramp stays a palette image, which the JPEG encoder refuses.
    auto ramp = std::make_unique<CLfImage>(4, 4, 4);
    for (uint8_t i = 0; i < 16; ++i)
        ramp->SetPaletteColor(i, i, i, i);
    ASSERT_TRUE(ramp->IsGrayScale());
    doc.SetImage(std::move(ramp));
    doc.SubmitUndo();
    prompts.saveName = Path("new.jpg");
    EXPECT_FALSE(doc.DoSave("", true));
    EXPECT_FALSE(fs::exists(dir / "new.jpg"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].first.find("JPEG"), std::string::npos) << prompts.messages[0].first;
    EXPECT_EQ(doc.GetUndo().Count(), 1);
    // No temporary file is left beside the pictures.
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

TEST_F(CPixoroDocModelTest, AFailedSaveAsKeepsAFileAlreadyAtTheChosenName)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    Edit();
    const auto other = lftest::ReadBytes(dir / "b.png");
    prompts.saveName = Path("b.png");
    doc.failWrites = true;
    EXPECT_FALSE(doc.DoSave("", true));
    EXPECT_EQ(lftest::ReadBytes(dir / "b.png"), other);
}

TEST_F(CPixoroDocModelTest, CancellingTheOptionsOrTheFileDialogKeepsTheEdits)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    Edit();
    prompts.jpegOk = false;
    EXPECT_FALSE(doc.DoSave("", true));
    EXPECT_EQ(doc.GetUndo().Count(), 1);
    prompts.jpegOk = true;
    prompts.saveName.clear();  // the file dialog is cancelled
    EXPECT_FALSE(doc.DoSave("", true));
    EXPECT_EQ(doc.GetUndo().Count(), 1);
    EXPECT_EQ(prompts.jpegNamePending, (std::vector<bool>{true, true}));
}

TEST_F(CPixoroDocModelTest, SaveAsProposesTheNameWithoutItsRealExtension)
{
    const std::string tiff = Write("scan.tiff", lfimg::kTypeTIF, 8, 8);
    ASSERT_TRUE(doc.OpenDocument(tiff));
    doc.pathName = tiff;
    prompts.saveName = Path("scan.png");
    ASSERT_TRUE(doc.DoSave(tiff, false)) << "a TIFF is not saved in place";
    ASSERT_EQ(prompts.proposedNames.size(), 1u);
    EXPECT_EQ(prompts.proposedNames[0], Path("scan"));
    EXPECT_TRUE(fs::exists(dir / "scan.png"));
    EXPECT_EQ(state.m_strCurrentPath, Path("scan.png"));
    EXPECT_EQ(doc.title, "scan.png");
}

TEST_F(CPixoroDocModelTest, SaveAsOfAnUntitledImageProposesItsTitle)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    doc.pathName.clear();  // as a pasted image: no file yet
    prompts.saveName.clear();
    EXPECT_FALSE(doc.DoSave("", true));
    ASSERT_EQ(prompts.proposedNames.size(), 1u);
    EXPECT_EQ(prompts.proposedNames[0], "") << "an empty title gives an empty proposal";
}

TEST_F(CPixoroDocModelTest, MetafilesAreNotSavedAndNothingIsSaid)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    prompts.saveName = Path("out.wmf");
    EXPECT_FALSE(doc.DoSave("", true));
    EXPECT_FALSE(fs::exists(dir / "out.wmf"));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(CPixoroDocModelTest, StepsToAnotherFileOfTheFolder)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    Edit();
    prompts.answers = {Answer::No};
    ASSERT_TRUE(doc.LoadFromList(Path("b.png")));
    EXPECT_EQ(prompts.questions, std::vector<std::string>{std::string("Save Changes To : \n") + Path("a.jpg")});
    EXPECT_EQ(doc.GetImage()->GetWidth(), 20);
    EXPECT_EQ(doc.GetUndo().Count(), 0);
    EXPECT_EQ(state.m_strCurrentPath, Path("b.png"));
    EXPECT_EQ(doc.m_nCurrentFile, 1);
    EXPECT_EQ(doc.title, "b.png");
    EXPECT_EQ(doc.recorded.back(), Path("b.png"));
}

TEST_F(CPixoroDocModelTest, CancelAtTheStepPromptKeepsImageAndCount)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    Edit();
    Edit();
    prompts.answers = {Answer::Cancel};
    EXPECT_FALSE(doc.LoadFromList(Path("b.png")));
    EXPECT_EQ(doc.GetUndo().Count(), 2);
    EXPECT_EQ(doc.GetImage()->GetWidth(), 40);
    EXPECT_EQ(state.m_strCurrentPath, Path("a.jpg"));
}

TEST_F(CPixoroDocModelTest, YesThenCancellingTheOptionsKeepsTheDocumentAndItsEdits)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    Edit();
    prompts.answers = {Answer::Yes};
    prompts.jpegOk = false;
    EXPECT_FALSE(doc.LoadFromList(Path("b.png")));
    EXPECT_EQ(doc.GetUndo().Count(), 1);
    EXPECT_EQ(doc.GetImage()->GetWidth(), 40);
    EXPECT_TRUE(doc.GetImage()->IsGrayScale());
    prompts.answers = {Answer::Yes};
    EXPECT_FALSE(doc.QueryClose()) << "the close stops too";
    EXPECT_EQ(doc.GetUndo().Count(), 1);
}

TEST_F(CPixoroDocModelTest, YesAtTheStepPromptSavesThenSteps)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    Edit();
    prompts.answers = {Answer::Yes};
    ASSERT_TRUE(doc.LoadFromList(Path("b.png")));
    EXPECT_EQ(state.m_strCurrentPath, Path("b.png"));
    EXPECT_EQ(doc.m_nCurrentFile, 1);
    CLfImage saved(Path("a.jpg").c_str(), lfimg::kTypeJPG);
    EXPECT_TRUE(saved.IsGrayScale()) << "the edit reached the file";
}

TEST_F(CPixoroDocModelTest, AFailedStepKeepsThePathTitleAndImage)
{
    lftest::WriteText(dir / "c.jpg", "broken");
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    struct Case {
        const char* name;
        const char* message;
        Icon icon;
    };
    const Case cases[] = {
        {"c.jpg", "ERROR: It is not a valid PIXORO File.", Icon::Error},
        {"gone.jpg", nullptr, Icon::Information},
        {"notes.txt", "", Icon::None},
    };
    for (const Case& c : cases) {
        prompts.messages.clear();
        EXPECT_FALSE(doc.LoadFromList(Path(c.name))) << c.name;
        EXPECT_EQ(state.m_strCurrentPath, Path("a.jpg")) << c.name;
        EXPECT_EQ(doc.title, "a.jpg") << c.name;
        EXPECT_EQ(doc.GetImage()->GetWidth(), 40) << c.name;
        if (c.message && *c.message) {
            ASSERT_EQ(prompts.messages.size(), 1u) << c.name;
            EXPECT_EQ(prompts.messages[0].first, c.message);
            EXPECT_EQ(prompts.messages[0].second, c.icon);
        } else if (c.message) {
            EXPECT_TRUE(prompts.messages.empty()) << c.name;
        } else {
            ASSERT_EQ(prompts.messages.size(), 1u) << c.name;
            EXPECT_EQ(prompts.messages[0].second, c.icon);
        }
    }
}

TEST_F(CPixoroDocModelTest, SteppingPassesADamagedOrVanishedFileWithOneMessage)
{
    // a.jpg, b.png, c.jpg (damaged), d.jpg (vanishes), e.png: from e.png back to b.png.
    lftest::WriteText(dir / "c.jpg", "broken");
    Write("d.jpg", lfimg::kTypeJPG, 12, 12);
    Write("e.png", lfimg::kTypePNG, 30, 30);
    ASSERT_TRUE(doc.OpenDocument(Path("e.png")));
    ASSERT_EQ(doc.m_nCurrentFile, 4);
    fs::remove(dir / "d.jpg");

    EXPECT_FALSE(doc.StepToFile(3));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].second, Icon::Information);
    EXPECT_EQ(doc.m_nCurrentFile, 3) << "the next step goes on from the vanished file";
    EXPECT_FALSE(doc.StepToFile(2));
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].first, "ERROR: It is not a valid PIXORO File.");
    EXPECT_EQ(doc.m_nCurrentFile, 2);
    // The picture shown, its path and title stay those of the last good file meanwhile.
    EXPECT_EQ(doc.GetImage()->GetWidth(), 30);
    EXPECT_EQ(state.m_strCurrentPath, Path("e.png"));
    EXPECT_EQ(doc.title, "e.png");

    ASSERT_TRUE(doc.StepToFile(1));
    EXPECT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(doc.GetImage()->GetWidth(), 20);
    EXPECT_EQ(state.m_strCurrentPath, Path("b.png"));
    EXPECT_EQ(doc.m_nCurrentFile, 1);
}

TEST_F(CPixoroDocModelTest, CancellingTheStepPromptKeepsTheStepPlace)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    Edit();
    prompts.answers = {Answer::Cancel};
    EXPECT_FALSE(doc.StepToFile(1));
    EXPECT_EQ(doc.m_nCurrentFile, 0);
    EXPECT_EQ(doc.GetUndo().Count(), 1);
}

TEST_F(CPixoroDocModelTest, EveryRoadToASaveTurnsToSaveAsForAReadOnlyPhoto)
{
    struct Road {
        const char* name;
        std::function<bool(RecordingDoc&, lftest::ScriptedPrompts&)> save;
    };
    const Road roads[] = {
        {"close prompt", [](RecordingDoc& d, lftest::ScriptedPrompts& p) {
             p.answers = {Answer::Yes};
             return d.QueryClose();
         }},
        {"main window's close prompt", [](RecordingDoc& d, lftest::ScriptedPrompts& p) {
             p.answers = {Answer::Yes};
             return d.QueryFrameClose();
         }},
        {"step prompt", [](RecordingDoc& d, lftest::ScriptedPrompts& p) {
             p.answers = {Answer::Yes};
             return d.StepToFile(1);
         }},
        {"toolbar save", [](RecordingDoc& d, lftest::ScriptedPrompts&) { return d.DoSave(d.pathName, true); }},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        const std::string photo = Write("photo.jpg", lfimg::kTypeJPG, 40, 30);
        fs::permissions(photo, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const auto before = lftest::ReadBytes(photo);
        prompts = lftest::ScriptedPrompts();
        RecordingDoc roadDoc{state, prompts};
        ASSERT_TRUE(roadDoc.OpenDocument(photo));
        roadDoc.pathName = photo;
        roadDoc.SubmitUndo();
        roadDoc.GetImage()->GrayScale();

        // The file dialog is cancelled: nothing is written, the edits stay.
        EXPECT_FALSE(road.save(roadDoc, prompts));
        ASSERT_EQ(prompts.proposedNames.size(), 1u) << "Save As was not offered";
        EXPECT_EQ(prompts.proposedNames[0], Path("photo"));
        EXPECT_EQ(prompts.jpegNamePending, std::vector<bool>{true});
        EXPECT_EQ(lftest::ReadBytes(photo), before);
        EXPECT_EQ(fs::status(photo).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        EXPECT_EQ(roadDoc.GetUndo().Count(), 1);

        // Another name chosen: the copy holds the edit, the read-only photo is untouched.
        prompts.saveName = Path("photo copy.jpg");
        road.save(roadDoc, prompts);
        EXPECT_EQ(lftest::ReadBytes(photo), before);
        ASSERT_TRUE(fs::exists(dir / "photo copy.jpg"));
        EXPECT_TRUE(CLfImage(Path("photo copy.jpg").c_str(), lfimg::kTypeJPG).IsGrayScale());
        fs::remove(dir / "photo copy.jpg");
        fs::permissions(photo, fs::perms::owner_all);
        fs::remove(photo);
    }
}

TEST_F(CPixoroDocModelTest, SavingALinkedPhotoWritesItsTargetAndKeepsTheLink)
{
    fs::create_directory(dir / "photos");
    const std::string target = Write("photos/real.jpg", lfimg::kTypeJPG, 40, 30);
    fs::create_symlink(target, dir / "link.jpg");
    ASSERT_TRUE(doc.OpenDocument(Path("link.jpg")));
    Edit();
    prompts.answers = {Answer::Yes};
    ASSERT_TRUE(doc.QueryClose());
    EXPECT_TRUE(fs::is_symlink(dir / "link.jpg")) << "the link stays";
    EXPECT_EQ(fs::read_symlink(dir / "link.jpg"), target);
    EXPECT_TRUE(CLfImage(target.c_str(), lfimg::kTypeJPG).IsGrayScale()) << "the target holds the edit";
    EXPECT_TRUE(prompts.proposedNames.empty()) << "a writable target is saved in place";
}

TEST(CPixoroDocModelWritable, TheModeDecidesForEveryUserIncludingTheSuperuser)
{
    lftest::TempDir dir;
    const std::string file = (dir / "f.jpg").string();
    lftest::WriteText(file, "x");
    EXPECT_TRUE(CPixoroDocModel::UserMayReplace(file));
    EXPECT_TRUE(CPixoroDocModel::UserMayReplace((dir / "new.jpg").string())) << "a new file";
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(CPixoroDocModel::UserMayReplace(file));
    // Through a link the file it points to decides.
    fs::create_symlink(file, dir / "link.jpg");
    EXPECT_FALSE(CPixoroDocModel::UserMayReplace((dir / "link.jpg").string()));
    fs::permissions(file, fs::perms::owner_all);
    EXPECT_TRUE(CPixoroDocModel::UserMayReplace((dir / "link.jpg").string()));
}

TEST_F(CPixoroDocModelTest, ClosePromptsOnlyWithEdits)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    EXPECT_TRUE(doc.QueryClose());
    EXPECT_TRUE(prompts.questions.empty());
    Edit();
    prompts.answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(doc.QueryClose());
    EXPECT_EQ(doc.GetUndo().Count(), 1);
    EXPECT_TRUE(doc.QueryClose());
    doc.CloseDocument();
    EXPECT_EQ(doc.GetUndo().Count(), 0);
    EXPECT_EQ(doc.GetFiles().Count(), 0);
}

TEST_F(CPixoroDocModelTest, UndoAndRedoSwapImagesAndTellTheViews)
{
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    EXPECT_FALSE(doc.UndoEdit());
    Edit();
    doc.hints.clear();
    ASSERT_TRUE(doc.UndoEdit());
    EXPECT_FALSE(doc.GetImage()->IsGrayScale());
    ASSERT_TRUE(doc.RedoEdit());
    EXPECT_TRUE(doc.GetImage()->IsGrayScale());
    EXPECT_FALSE(doc.RedoEdit());
    EXPECT_EQ(doc.hints, (std::vector<int>{CPixoroDocModel::kHintNewImage, CPixoroDocModel::kHintNewImage}));
}

TEST_F(CPixoroDocModelTest, StatusTexts)
{
    EXPECT_FALSE(doc.GetStatusTexts());
    ASSERT_TRUE(doc.OpenDocument(Path("a.jpg")));
    const auto texts = doc.GetStatusTexts();
    ASSERT_TRUE(texts);
    EXPECT_EQ(texts->title, "Lanternfolio Photo Editor [ a.jpg ]");
    EXPECT_EQ(texts->imageSize, "Image Size : 40w x 30h ");
    char expected[64];
    std::snprintf(expected, sizeof expected, " File Size : %5.2f KB", fs::file_size(dir / "a.jpg") / 1024.0);
    EXPECT_EQ(texts->fileSize, expected);
    EXPECT_EQ(CPixoroDocModel::FileSizeText(0), " File Size :  0.00 KB");
    EXPECT_EQ(CPixoroDocModel::ZoomText(0.25), "  25%");
    EXPECT_EQ(CPixoroDocModel::ZoomText(1.0), " 100%");
}

}  // namespace
