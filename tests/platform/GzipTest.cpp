// Gzip streams unpack whole and within their bound, or not at all.
#include "platform/Gzip.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plumwick {
namespace {

// 1000 times "a".
const std::vector<std::uint8_t> ThousandA = {0x1f, 0x8b, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x03,
                                             0x4b, 0x4c, 0x1c, 0x05, 0xa3, 0x60, 0x14, 0x0c, 0x77, 0x00,
                                             0x00, 0x03, 0xda, 0x38, 0x9a, 0xe8, 0x03, 0x00, 0x00};
// "ab" and "cd" as two members one after the other.
const std::vector<std::uint8_t> TwoMembers = {0x1f, 0x8b, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x03, 0x4b,
                                              0x4c, 0x02, 0x00, 0x6d, 0x48, 0x83, 0x9e, 0x02, 0x00, 0x00, 0x00,
                                              0x1f, 0x8b, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x03, 0x4b,
                                              0x4e, 0x01, 0x00, 0xda, 0x8f, 0xd6, 0x45, 0x02, 0x00, 0x00, 0x00};

std::vector<std::uint8_t> Cut(const std::vector<std::uint8_t>& Bytes, std::size_t Size)
{
    return {Bytes.begin(), Bytes.begin() + static_cast<std::ptrdiff_t>(Size)};
}

struct TGzipCase {
    const char* Name;
    std::vector<std::uint8_t> Bytes;
    std::size_t MaxSize;
    std::optional<std::string> Content;
};

class Gzip : public testing::TestWithParam<TGzipCase> {};

TEST_P(Gzip, UnpacksWholeOrNotAtAll)
{
    const TGzipCase& C = GetParam();
    const std::optional<std::vector<std::uint8_t>> Out = Gunzip(C.Bytes, C.MaxSize);
    ASSERT_EQ(Out.has_value(), C.Content.has_value());
    if (Out) {
        EXPECT_EQ(std::string(Out->begin(), Out->end()), *C.Content);
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, Gzip,
                         testing::Values(TGzipCase{"Whole", ThousandA, 1000, std::string(1000, 'a')},
                                         TGzipCase{"OverTheBound", ThousandA, 999, std::nullopt},
                                         TGzipCase{"MembersJoin", TwoMembers, 100, "abcd"},
                                         TGzipCase{"CutShort", Cut(ThousandA, 20), 1000, std::nullopt},
                                         TGzipCase{"TrailerMissing", Cut(ThousandA, 25), 1000, std::nullopt},
                                         TGzipCase{"NotGzip", {'<', 's', 'v', 'g'}, 1000, std::nullopt},
                                         TGzipCase{"Empty", {}, 1000, std::nullopt}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace plumwick
