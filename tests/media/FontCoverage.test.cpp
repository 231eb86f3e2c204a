#include <gtest/gtest.h>

#include <string>

#include "media/FontCoverage.h"
#include "support/EngineTest.h"
#include "support/WindowTest.h"

namespace vt::test {
namespace {

// Checked against fontconfig's fc-query for these fonts: the same code points, all of them.
TEST(FontCoverageTest, ReadsWhichCharactersAFontHas) {
    const struct {
        std::string font; // Agave's map is of format 4, DejaVu Sans Mono's of format 12
        char32_t code_point;
        bool covered;
    } cases[] = {
        {testFontSource(), U'A', true},        {testFontSource(), U'─', true},
        {testFontSource(), U'▟', true},        {testFontSource(), U'é', true},
        {testFontSource(), U'Ω', true},        {testFontSource(), U'♠', true},
        {testFontSource(), U'♡', false},       {testFontSource(), 0xFFFD, false},
        {testFontSource(), 0x4E00, false},     {testFontSource(), 0x10FFFF, false},
        {testFontSource(), 0x1F, false},       {wideTestFontSource(), 0xFFFD, true},
        {wideTestFontSource(), 0x1D7FF, true}, {wideTestFontSource(), 0x4E00, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.font + " " + std::to_string(c.code_point));
        FontCoverage coverage;
        ASSERT_TRUE(coverage.read(readFile(c.font)));
        EXPECT_EQ(coverage.covers(c.code_point), c.covered);
    }
}

TEST(FontCoverageTest, DamagedFontsAreReadWithoutHarmAndCoverEverything) {
    const std::string font = readFile(testFontSource());
    ASSERT_GT(font.size(), 10000u);
    int unreadable = 0;
    // Cut short anywhere: every offset past the end must be noticed.
    for (std::size_t length = 0; length < font.size(); length += 257) {
        FontCoverage coverage;
        if (!coverage.read(font.substr(0, length))) {
            unreadable++;
            EXPECT_TRUE(coverage.covers(0x4E00));
        }
    }
    EXPECT_GT(unreadable, 0);
    FontCoverage coverage;
    EXPECT_FALSE(coverage.read("ttcf"));
    EXPECT_FALSE(coverage.read(std::string(64, '\xFF')));
    EXPECT_TRUE(coverage.covers(0x4E00));
}

} // namespace
} // namespace vt::test
