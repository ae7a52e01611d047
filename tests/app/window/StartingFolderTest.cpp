#include "app/StartingFolder.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <ostream>
#include <string>

namespace plumwick {
namespace {

namespace fs = std::filesystem;

// Folder names below a scratch folder; "" stands for a folder that does not exist.
struct TStartCase {
    const char* Name;
    std::string Program;   // a scratch sub-folder, or an absolute system path
    std::string Pictures;  // a scratch sub-folder, "" for none
    std::string Expected;  // "program", "pictures" or "home"
    friend void PrintTo(const TStartCase& c, std::ostream* out) { *out << c.Name; }
};

class StartingFolderTest : public ::testing::TestWithParam<TStartCase> {
protected:
    void SetUp() override
    {
        FRoot = plumwick::test::FreshTestFolder("plumwick-start");
        fs::create_directories(FRoot / "unpacked");
        fs::create_directories(FRoot / "Pictures");
        fs::create_directories(FRoot / "home");
    }
    void TearDown() override { fs::remove_all(FRoot); }

    std::string Path(const std::string& name) const
    {
        if (name.empty()) return {};
        return name.starts_with('/') ? name : (FRoot / name).string();
    }

    fs::path FRoot;
};

TEST_P(StartingFolderTest, PicksTheFirstThatFits)
{
    const TStartCase& c = GetParam();
    const std::string program = Path(c.Program);
    const std::string pictures = Path(c.Pictures);
    const std::string home = Path("home");
    const std::string expected = c.Expected == "program" ? program : c.Expected == "pictures" ? pictures : home;
    EXPECT_EQ(StartingFolder(program, pictures, home), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartingFolderTest,
                         ::testing::Values(TStartCase{"UnpackedCopy", "unpacked", "Pictures", "program"},
                                           TStartCase{"InstalledInUsrBin", "/usr/bin", "Pictures", "pictures"},
                                           TStartCase{"InstalledInUsrLocalBin", "/usr/local/bin", "Pictures",
                                                      "pictures"},
                                           TStartCase{"ThroughTheBinLink", "/bin", "Pictures", "pictures"},
                                           TStartCase{"InstalledWithoutPictures", "/usr/bin", "", "home"},
                                           TStartCase{"PicturesNamedButMissing", "/usr/bin", "no-such-folder", "home"},
                                           TStartCase{"ProgramFolderGone", "gone", "Pictures", "pictures"},
                                           TStartCase{"NotWritable", "/proc/self", "Pictures", "pictures"}),
                         [](const ::testing::TestParamInfo<TStartCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace plumwick
