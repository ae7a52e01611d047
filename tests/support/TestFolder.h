#pragma once

// A scratch folder for the running test, and reading back what was written into it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace plumwick::test {

// An empty folder below the temporary folder, named Prefix, the process and the running test (so
// neither parallel runs nor the cases of one table share it). Whatever was left there is removed
// first; the caller removes it when the test is done.
inline std::filesystem::path FreshTestFolder(std::string_view Prefix)
{
    const ::testing::TestInfo* Info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string Name = std::string(Prefix) + "-" + std::to_string(::getpid());
    if (Info != nullptr) Name += std::string("-") + Info->test_suite_name() + "-" + Info->name();
    std::replace(Name.begin(), Name.end(), '/', '_');  // the cases of a table are named "Suite/Case"
    const std::filesystem::path Folder = std::filesystem::temp_directory_path() / Name;
    std::filesystem::remove_all(Folder);
    std::filesystem::create_directories(Folder);
    return Folder;
}

// Every byte of the file at Path; empty when it cannot be read.
inline std::string ReadWholeFile(const std::filesystem::path& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

}  // namespace plumwick::test
