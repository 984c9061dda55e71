#include "settings/email_files.h"

#include "app/globals.h"
#include "tests/support/immutable_file.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <vector>

namespace tp {
namespace {

using test::TempHome;
using Names = std::vector<std::string>;

class EmailFilesTest : public ::testing::Test {
protected:
    void Put(const std::vector<std::string>& names) {
        for (const std::string& name : names) home.WriteFile("emails/" + name, "text of " + name);
    }
    TempHome home;
};

TEST_F(EmailFilesTest, ListsMemosAndMessagesSortedWithTheFirstSelected) {
    Put({"b.txt", "a.eml", "C.TXT", "notes.doc", "z.EML", "readme"});
    home.WriteFile("emails/sub.txt/inner.txt", "a folder is not a file");
    home.WriteFile("outside.txt", "not in the mail folder");

    const EmailFileList list = FillEmailList();
    EXPECT_EQ(list.names, (Names{"a.eml", "b.txt", "C.TXT", "z.EML"}));
    EXPECT_EQ(list.selected, 0);
    // The page takes the memos first.
    EXPECT_EQ(ListEmailFilesInPageOrder(), (Names{"b.txt", "C.TXT", "a.eml", "z.EML"}));
}

TEST_F(EmailFilesTest, AnEmptyFolderHasNothingToDeleteAndNoQuestions) {
    EmailFileList list = FillEmailList();
    EXPECT_TRUE(list.names.empty());
    EXPECT_EQ(list.selected, -1);
    EXPECT_FALSE(DeleteSelectedQuestion(list));
    EXPECT_FALSE(DeleteAllQuestion(list));
    EXPECT_FALSE(DeleteSelectedEmailFile(list));
}

TEST_F(EmailFilesTest, DeletingTheSelectedFileAsksByNameAndSelectsTheFirstAgain) {
    Put({"a.eml", "R&D notes.txt", "c.txt"});
    EmailFileList list = FillEmailList();
    list.selected = 2;
    EXPECT_EQ(DeleteSelectedQuestion(list), "Do you want to delete the file 'R&D notes.txt'?");

    ASSERT_TRUE(DeleteSelectedEmailFile(list));
    EXPECT_FALSE(home.Exists("emails/R&D notes.txt"));
    EXPECT_TRUE(home.Exists("emails/c.txt"));
    EXPECT_EQ(list.names, (Names{"a.eml", "c.txt"}));
    EXPECT_EQ(list.selected, 0);
}

TEST_F(EmailFilesTest, ANameLeadingOutOfTheMailFolderIsNeverDeleted) {
    home.WriteFile("cfg/keep.txt", "settings");
    for (const std::string name : {"../cfg/keep.txt", "..", "", "sub/x.txt"}) {
        SCOPED_TRACE(name);
        EmailFileList list{{name}, 0};
        EXPECT_FALSE(DeleteSelectedEmailFile(list));
        EXPECT_EQ(list.names, Names{name});
    }
    EXPECT_TRUE(home.Exists("cfg/keep.txt"));
}

TEST_F(EmailFilesTest, AFileThatCannotBeDeletedStaysInTheList) {
    Put({"a.txt", "b.txt"});
    test::ImmutableFile locked(home.path() + "emails/a.txt");
    if (!locked.set()) GTEST_SKIP() << "cannot make a file undeletable here";

    EmailFileList list = FillEmailList();
    EXPECT_FALSE(DeleteSelectedEmailFile(list));
    EXPECT_EQ(list.names, (Names{"a.txt", "b.txt"}));
    EXPECT_NE(g_lastError.find("a.txt"), std::string::npos);

    EXPECT_FALSE(DeleteAllEmailFiles(list));
    EXPECT_EQ(list.names, Names{"a.txt"});
    EXPECT_FALSE(home.Exists("emails/b.txt"));
}

TEST_F(EmailFilesTest, DeletingAllRemovesOnlyMemosAndMessages) {
    Put({"a.txt", "b.eml", "keep.doc"});
    EmailFileList list = FillEmailList();
    EXPECT_EQ(DeleteAllQuestion(list), "Do you want to delete ALL the email files?");

    ASSERT_TRUE(DeleteAllEmailFiles(list));
    EXPECT_TRUE(list.names.empty());
    EXPECT_EQ(list.selected, -1);
    EXPECT_FALSE(home.Exists("emails/a.txt"));
    EXPECT_FALSE(home.Exists("emails/b.eml"));
    EXPECT_TRUE(home.Exists("emails/keep.doc"));
}

}  // namespace
}  // namespace tp
