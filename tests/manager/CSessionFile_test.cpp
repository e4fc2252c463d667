#include "DocTestSupport.h"
#include "manager/model/CQuorixState.h"
#include "manager/model/CSessionFile.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

using lftest::ScopedFileSizeLimit;
using lftest::TempDir;
using lftest::TestDoc;

const char kServer[] = "www3.lanternfolio.net";

TEST(CSessionFile, ReadsTheTableOfFiles)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "kept");
    const std::string kept = (dir / "kept").string();
    const std::string gone = (dir / "gone").string();

    struct Case {
        std::string text;
        int uploaded;
        std::string login, password, server, proxy, port;
        std::vector<std::string> folders;
    };
    const Case cases[] = {
        {"", 0, "", "", "", "", "", {}},
        {"LOGIN=bob\r\nPASS=pw\r\n", 0, "", "", "", "", "", {}},
        {"UPLOADED=1\r\nLOGIN=bob\r\nPASS=pw\r\n", 1, "bob", "pw", "", "", "", {}},
        // A line that lacks its key stops the reading; what came before stays.
        {"UPLOADED=1\r\n LOGIN=abc\r\nPASS=pw\r\n", 1, "", "", "", "", "", {}},
        {"UPLOADED= -3x\nLOGIN=\nPASS=\nDIRECTORY=" + kept + "\nDIRECTORY=" + gone + "\nDIRECTORY=\n", -3, "",
         "", "", "", "", {kept}},
        {"UPLOADED=0\r\nLOGIN=a\r\nPASS=b\r\nSERVER=evil.example\r\n", 0, "a", "b", "", "", "", {}},
        {"UPLOADED=0\r\nLOGIN=a\r\nPASS=b\r\nSERVER=" + std::string(kServer) + "\r\n", 0, "a", "b", kServer, "", "",
         {}},
        // A UTF-8 byte-order mark, as some editors save the file, is passed over.
        {"\xEF\xBB\xBFUPLOADED=1\r\nLOGIN=bob\r\nPASS=pw\r\nDIRECTORY=" + kept + "\r\n", 1, "bob", "pw", "", "",
         "", {kept}},
        // The last line keeps its last character without a line break.
        {"UPLOADED=0\r\nLOGIN=a\r\nPASS=b\r\nPROXY=YES\r\nPROXYPORT=8080", 0, "a", "b", "", "YES", "8080", {}},
        // Keys count only at the start of a line.
        {"UPLOADED=0\nLOGIN=a\nPASS=b\nX PROXY=YES\nnote DIRECTORY=" + kept + "\n", 0, "a", "b", "", "", "", {}},
        // The same folder twice gives two entries; the last value of a key wins.
        {"UPLOADED=0\nLOGIN=a\nPASS=b\nDIRECTORY=" + kept + "\nPROXY=NO\nDIRECTORY=" + kept + "\nPROXY=YES\n", 0,
         "a", "b", "", "YES", "", {kept, kept}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        lftest::WriteText(dir / "qkvex.sess", c.text);
        TestDoc doc((dir / "qkvex.sess").string());
        EXPECT_EQ(doc.m_nUploaded, c.uploaded);
        EXPECT_EQ(doc.m_strLogin, c.login);
        EXPECT_EQ(doc.m_strPassword, c.password);
        EXPECT_EQ(doc.m_strServer, c.server);
        EXPECT_EQ(doc.m_strProxy, c.proxy);
        EXPECT_EQ(doc.m_strProxyPort, c.port);
        ASSERT_EQ(doc.GetRecentCount(), c.folders.size());
        for (size_t i = 0; i < c.folders.size(); ++i) {
            EXPECT_EQ(doc.GetRecentFolder(i)->m_strPath, c.folders[i]);
            EXPECT_EQ(doc.GetRecentFolder(i)->m_strDisplayName, "kept");
            EXPECT_TRUE(doc.GetRecentFolder(i)->m_bKeepInSession);
        }
        EXPECT_EQ(doc.m_strSessionFile, "qkvex.sess");
    }
}

TEST(CSessionFile, AByteOrderMarkStaysThroughAStartAndAClose)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "photos");
    const auto path = dir / "qkvex.sess";
    const std::string text = "\xEF\xBB\xBFUPLOADED=0\r\nLOGIN=bob\r\nPASS=s3cret\r\nDIRECTORY=" +
                             (dir / "photos").string() + "\r\n";
    lftest::WriteText(path, text);
    {
        TestDoc doc(path.string());
        ASSERT_TRUE(doc.WriteSession());
    }
    EXPECT_EQ(lftest::ReadText(path), text);
}

// A session whose first lines are not the ones the program writes, or one too large to
// be a session, holds more than the values read from it: the close keeps it as it is,
// and the user is told once, at the start.
TEST(CSessionFile, ASessionItDoesNotUnderstandIsKeptAndToldOnce)
{
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"no first line", "LOGIN=bob\r\nPASS=pw\r\nDIRECTORY=/tmp\r\n"},
        {"a blank before a key", "UPLOADED=1\r\n LOGIN=bob\r\nPASS=pw\r\n"},
        {"UTF-16", std::string("\xFF\xFEU\0P\0L\0O\0A\0D\0E\0D\0=\0""1\0\r\0\n\0", 26)},
        {"larger than a session", "UPLOADED=1\r\nLOGIN=bob\r\nPASS=pw\r\n" +
                                      std::string(CSessionFile::kMaxFileSize, '#') + "\r\nDIRECTORY=/tmp\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto session = dir / "qkvex.sess";
        lftest::WriteText(session, c.bytes);
        CQuorixState state((dir / "settings.ini").string());
        TestDoc doc(session.string(), &state);
        doc.ShowStateFileProblems();
        ASSERT_EQ(doc.messages.size(), 1u);
        EXPECT_NE(doc.messages[0].find(session.string()), std::string::npos) << doc.messages[0];
        doc.m_strLogin = "typed in this run";
        EXPECT_TRUE(doc.OnCloseDocument());
        EXPECT_EQ(doc.messages.size(), 1u) << doc.messages.back();
        EXPECT_TRUE(lftest::ReadText(session) == c.bytes) << "the session was replaced";
    }
}

TEST(CSessionFile, MissingFileGivesDefaults)
{
    TempDir dir;
    TestDoc doc((dir / "none.sess").string());
    EXPECT_EQ(doc.m_nUploaded, 0);
    EXPECT_EQ(doc.m_strLogin, "");
    EXPECT_EQ(doc.GetRecentCount(), 0u);
}

TEST(CSessionFile, FullFileRoundTripsByteForByte)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "a");
    std::filesystem::create_directory(dir / "b");
    const std::string text = "UPLOADED=1\r\nLOGIN=bob\r\nPASS=s3cret\r\nDIRECTORY=" + (dir / "a").string() +
                             "\r\nDIRECTORY=" + (dir / "b").string() + "\r\nSERVER=" + kServer +
                             "\r\nPROXY=YES\r\nPROXYTYPE=3\r\nPROXYHOST=proxy.lan\r\nPROXYPORT=8080\r\n"
                             "PROXYAUTH=YES\r\nPROXYUSER=u\r\nPROXYPASS=p\r\n";
    const auto path = dir / "qkvex.sess";
    lftest::WriteText(path, text);
    {
        TestDoc doc(path.string());
        ASSERT_TRUE(doc.WriteSession());
    }
    EXPECT_EQ(lftest::ReadText(path), text);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(CSessionFile, WritesOnlyTheLinesTheValuesCallFor)
{
    TempDir dir;
    TestDoc doc((dir / "qkvex.sess").string());
    EXPECT_EQ(CSessionFile::Format(doc, doc.SessionFolders()), "UPLOADED=0\r\nLOGIN=\r\nPASS=\r\n");

    doc.m_strProxy = "YES";
    EXPECT_EQ(CSessionFile::Format(doc, doc.SessionFolders()), "UPLOADED=0\r\nLOGIN=\r\nPASS=\r\nPROXY=YES\r\nPROXYTYPE=\r\nPROXYHOST=\r\n"
                                         "PROXYPORT=\r\n");
    // Without PROXYAUTH neither user nor password is written; without PROXY nothing of it.
    doc.m_strProxyUser = "u";
    doc.m_strProxyPass = "p";
    EXPECT_EQ(CSessionFile::Format(doc, doc.SessionFolders()).find("PROXYUSER"), std::string::npos);
    doc.m_strProxy.clear();
    doc.m_strProxyAuth = "YES";
    EXPECT_EQ(CSessionFile::Format(doc, doc.SessionFolders()), "UPLOADED=0\r\nLOGIN=\r\nPASS=\r\n");

    // Folders not kept in the session stay out; the short form drops folders and proxy.
    doc.AddRecentFolder(std::make_unique<CFolderItem>("x", "/x", 0));
    doc.AddRecentFolder(std::make_unique<CFolderItem>("y", "/y", 1));
    doc.m_strProxy = "YES";
    doc.m_strServer = kServer;
    const std::string full = CSessionFile::Format(doc, doc.SessionFolders());
    EXPECT_EQ(full.find("DIRECTORY=/x"), std::string::npos);
    EXPECT_NE(full.find("DIRECTORY=/y\r\nSERVER="), std::string::npos);
    EXPECT_EQ(CSessionFile::FormatShort(doc),
              "UPLOADED=0\r\nLOGIN=\r\nPASS=\r\nSERVER=" + std::string(kServer) + "\r\n");
}

TEST(CSessionFile, NeverWritesALineBreakInsideAValue)
{
    TempDir dir;
    const auto path = dir / "qkvex.sess";
    std::filesystem::create_directory(dir / "evil\nPROXY=YES");
    {
        TestDoc doc(path.string());
        doc.m_strLogin = "bob\r\nPROXY=YES";
        doc.AddRecentFolder(std::make_unique<CFolderItem>("e", (dir / "evil\nPROXY=YES").string(), 1));
        ASSERT_TRUE(doc.WriteSession());
    }
    EXPECT_EQ(lftest::ReadText(path), "UPLOADED=0\r\nLOGIN=\r\nPASS=\r\n");
    TestDoc again(path.string());
    EXPECT_EQ(again.m_strProxy, "");
}

TEST(CSessionFile, FailedWriteKeepsTheOldFile)
{
    TempDir dir;
    const auto path = dir / "qkvex.sess";
    lftest::WriteText(path, "UPLOADED=1\r\nLOGIN=old\r\nPASS=x\r\n");
    TestDoc doc(path.string());
    doc.m_strLogin = "a login long enough to pass the file size limit";
    {
        // A file size limit makes the write fail also for a privileged user.
        ScopedFileSizeLimit limit(16);
        EXPECT_FALSE(doc.WriteSession());
    }
    EXPECT_EQ(lftest::ReadText(path), "UPLOADED=1\r\nLOGIN=old\r\nPASS=x\r\n");
    EXPECT_TRUE(doc.WriteSession());
    EXPECT_NE(lftest::ReadText(path).find("a login long"), std::string::npos);
}

}  // namespace
