// Replacing files without ever leaving a half-written one behind.
#include "app/AtomicFile.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace plumwick {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override { folder = plumwick::test::FreshTestFolder("plumwick-atomic"); }
    void TearDown() override { fs::remove_all(folder); }

    std::size_t EntryCount() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path folder;
};

TEST_F(AtomicFileTest, WritesAndReplacesWithoutLeavingTemporaries)
{
    const fs::path target = folder / "icon.svg";
    WriteFileAtomically(target.string(), "first");
    WriteFileAtomically(target.string(), std::string("sec\0ond", 7));
    EXPECT_EQ(plumwick::test::ReadWholeFile(target), std::string("sec\0ond", 7));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(AtomicFileTest, FailureLeavesTheOldFileAndNamesThePath)
{
    const fs::path target = folder / "missing-folder" / "icon.svg";
    try {
        WriteFileAtomically(target.string(), "data");
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(target.string()), std::string::npos) << error.what();
    }
    // A folder in the way of the target: the rename fails, the temporary file goes away.
    fs::create_directories(folder / "taken" / "child");
    EXPECT_THROW(WriteFileAtomically((folder / "taken").string(), "data"), std::runtime_error);
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(AtomicFileTest, UncommittedNameIsRemovedAndTheOldFileKept)
{
    const fs::path target = folder / "a.png";
    WriteFileAtomically(target.string(), "good");
    {
        AtomicFile file(target.string());
        EXPECT_EQ(fs::path(file.TempPath()).parent_path(), folder);
        std::ofstream(file.TempPath()) << "half";
    }
    EXPECT_EQ(plumwick::test::ReadWholeFile(target), "good");
    EXPECT_EQ(EntryCount(), 1u);

    {
        AtomicFile file(target.string());
        std::ofstream(file.TempPath()) << "new";
        file.Commit();
    }
    EXPECT_EQ(plumwick::test::ReadWholeFile(target), "new");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(AtomicFileTest, CommitWithoutTheTemporaryFails)
{
    AtomicFile file((folder / "b.png").string());
    fs::remove(file.TempPath());
    EXPECT_THROW(file.Commit(), std::runtime_error);
    EXPECT_FALSE(fs::exists(folder / "b.png"));
}

TEST_F(AtomicFileTest, ResultIsNotPrivate)
{
    const fs::path target = folder / "c.svg";
    WriteFileAtomically(target.string(), "x");
    EXPECT_NE(fs::status(target).permissions() & fs::perms::others_read, fs::perms::none);
}

}  // namespace
}  // namespace plumwick

namespace plumwick {
namespace {

class DeferredSyncTest : public AtomicFileTest {};

TEST_F(DeferredSyncTest, FilesStillReplaceTheirOldOnesAndFinishSyncs)
{
    const fs::path target = folder / "icon.png";
    WriteFileAtomically(target.string(), "old");
    TDeferredSync sync;
    WriteFileAtomically(target.string(), "new");
    {
        AtomicFile file((folder / "b.png").string());
        std::ofstream(file.TempPath()) << "b";
        file.Commit();
    }
    EXPECT_EQ(plumwick::test::ReadWholeFile(target), "new");
    EXPECT_EQ(plumwick::test::ReadWholeFile(folder / "b.png"), "b");
    EXPECT_EQ(EntryCount(), 2u) << "no temporary file left";
    EXPECT_NO_THROW(sync.Finish());
    EXPECT_NO_THROW(sync.Finish()) << "once is enough";
}

TEST_F(DeferredSyncTest, FinishNamesAFolderItCannotSync)
{
    TDeferredSync sync;
    fs::create_directories(folder / "gone");
    WriteFileAtomically((folder / "gone" / "a.png").string(), "a");
    fs::remove_all(folder / "gone");
    try {
        sync.Finish();
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("cannot sync " + (folder / "gone").string()), std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace plumwick
