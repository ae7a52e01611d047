// The .ico layout, checked byte by byte.
#include "app/IconFile.h"
#include "tests/app/render/LittleEndianBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace plumwick {
namespace {

using test::Byte;
using test::Long;
using test::Word;

// One image of a file under test and what its directory entry must say.
struct Entry {
    int width;
    int height;
    int sizeByteX;
    int sizeByteY;
    bool png;
    std::uint32_t maskRow;  // bytes per mask row of a bitmap entry
};

struct IconCase {
    const char* name;
    std::vector<Entry> entries;
};

class IconLayout : public testing::TestWithParam<IconCase> {};

TEST_P(IconLayout, DirectoryAndImagesFollowTheByteTable)
{
    const std::vector<Entry>& entries = GetParam().entries;
    std::vector<std::vector<std::uint8_t>> pixels;
    std::vector<std::string> pngs;
    for (const Entry& entry : entries) {
        pixels.emplace_back(entry.png ? 0 : static_cast<std::size_t>(entry.width) * entry.height * 4, 0x7F);
        pngs.push_back(entry.png ? "\x89PNG stands in for " + std::to_string(entry.width) : std::string());
    }
    std::vector<TIconImage> images;
    for (std::size_t i = 0; i < entries.size(); ++i)
        images.push_back({entries[i].width, entries[i].height, pixels[i], pngs[i]});
    const std::string ico = BuildIconFile(images);

    EXPECT_EQ(Word(ico, 0), 0);
    EXPECT_EQ(Word(ico, 2), 1) << "icon";
    ASSERT_EQ(Word(ico, 4), entries.size());
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const Entry& entry = entries[i];
        const std::size_t at = 6 + 16 * i;
        EXPECT_EQ(Byte(ico, at), entry.sizeByteX);
        EXPECT_EQ(Byte(ico, at + 1), entry.sizeByteY);
        EXPECT_EQ(Byte(ico, at + 2), 0) << "colour count";
        EXPECT_EQ(Byte(ico, at + 3), 0);
        EXPECT_EQ(Word(ico, at + 4), 1) << "planes";
        EXPECT_EQ(Word(ico, at + 6), 32) << "bits per pixel";
        const std::uint32_t size = Long(ico, at + 8);
        EXPECT_EQ(Long(ico, at + 12), offset);
        if (entry.png) {
            EXPECT_EQ(size, pngs[i].size());
            EXPECT_EQ(ico.substr(offset, size), pngs[i]);
        } else {
            const std::uint32_t colour = static_cast<std::uint32_t>(entry.width) * entry.height * 4;
            const std::uint32_t mask = entry.maskRow * static_cast<std::uint32_t>(entry.height);
            EXPECT_EQ(size, 40 + colour + mask);
            EXPECT_EQ(Long(ico, offset), 40u);
            EXPECT_EQ(Long(ico, offset + 4), static_cast<std::uint32_t>(entry.width));
            EXPECT_EQ(Long(ico, offset + 8), static_cast<std::uint32_t>(2 * entry.height));
            EXPECT_EQ(Word(ico, offset + 12), 1);
            EXPECT_EQ(Word(ico, offset + 14), 32);
            EXPECT_EQ(Long(ico, offset + 16), 0u) << "uncompressed";
            EXPECT_EQ(Byte(ico, offset + 40), 0x7F);
            for (std::uint32_t j = offset + 40 + colour; j < offset + size; ++j)
                ASSERT_EQ(ico[j], 0) << "mask bit set at byte " << j;
        }
        offset += size;
    }
    EXPECT_EQ(ico.size(), offset);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IconLayout,
    testing::Values(IconCase{"s16", {{16, 16, 16, 16, false, 4}}}, IconCase{"s48x24", {{48, 24, 48, 24, false, 8}}},
                    IconCase{"s33x1", {{33, 1, 33, 1, false, 8}}}, IconCase{"s255", {{255, 255, 255, 255, false, 32}}},
                    IconCase{"s256", {{256, 256, 0, 0, true, 0}}}, IconCase{"s400", {{400, 400, 0, 0, true, 0}}},
                    IconCase{"s400x100", {{400, 100, 0, 100, true, 0}}},
                    IconCase{"s16_32_256",
                             {{16, 16, 16, 16, false, 4}, {32, 32, 32, 32, false, 4}, {256, 256, 0, 0, true, 0}}}),
    [](const testing::TestParamInfo<IconCase>& info) { return std::string(info.param.name); });

TEST(IconFile, ColourRowsAreStoredBottomUpAsGiven)
{
    // 2 x 2: top row red then green, bottom row blue then half-transparent white (straight BGRA).
    const std::vector<std::uint8_t> pixels = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 128};
    const TIconImage image{2, 2, pixels, {}};
    const std::string ico = BuildIconFile(std::span(&image, 1));
    const std::string colour = ico.substr(62, 16);
    const std::string expected = {'\xFF', 0, 0,      '\xFF', '\xFF', '\xFF', '\xFF', '\x80',
                                  0,      0, '\xFF', '\xFF', 0,      '\xFF', 0,      '\xFF'};
    EXPECT_EQ(colour, expected);
}

TEST(IconFile, RejectsMismatchedInput)
{
    const std::vector<std::uint8_t> pixels(16 * 16 * 4 - 1);
    const auto build = [](TIconImage image) { return BuildIconFile(std::span(&image, 1)); };
    EXPECT_THROW(build({16, 16, pixels, {}}), std::invalid_argument);
    EXPECT_THROW(build({0, 16, {}, {}}), std::invalid_argument);
    EXPECT_THROW(build({-4, -4, pixels, {}}), std::invalid_argument);
    EXPECT_THROW(build({256, 256, {}, {}}), std::invalid_argument) << "a large image without its PNG";
    EXPECT_THROW(BuildIconFile({}), std::invalid_argument);
}

}  // namespace
}  // namespace plumwick
