#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "media/LogLines.h"
#include "media/SpriteReader.h"
#include "support/EngineTest.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/media/Frame.h"
#include "vintrel/media/ResourceManager.h"
#include "vintrel/media/Sprite.h"

namespace vt::test {
namespace {

const char* const SIMPLE_RED = "2\n3\n2\n4\nred\nabc\ndef\nghi\njkl\n";

const char* const ROBUST_FULL = "<HEADER>\n"
                                "frames 2\n"
                                "width 5\n"
                                "height 2\n"
                                "color green\n"
                                "slowdown 6\n"
                                "transparency #\n"
                                "</HEADER>\n"
                                "<BODY>\n"
                                "#/^\\#\n"
                                "<|o|>\n"
                                "end\n"
                                "#\\_/#\n"
                                "<|O|>\n"
                                "end\n"
                                "</BODY>\n"
                                "<FOOTER>\n"
                                "version 1\n"
                                "</FOOTER>\n";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// No manager is needed, so that tools and fuzzers can run the reader alone;
// a valid file writes no unlevelled line.
TEST(SpriteReaderAlone, ReadsBothFormatsWithNoManagerStarted) {
    ASSERT_FALSE(ResourceManager::getInstance().isStarted());
    for (const char* text : {SIMPLE_RED, ROBUST_FULL}) {
        std::istringstream stream(text);
        SpriteReader reader(stream);
        testing::internal::CaptureStderr();
        const std::unique_ptr<Sprite> p_sprite = reader.readSprite();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_NE(p_sprite, nullptr) << text;
        EXPECT_EQ(p_sprite->getFrameCount(), 2);
    }
}

class SpriteReaderTest : public EngineTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(startEngine(), 0);
        LogManager::getInstance().setLogLevel(20);
    }

    /// Writes the text as a sprite file and loads it under label "s".
    int load(const std::string& text) {
        EXPECT_TRUE(writeFile("s.txt", text));
        return ResourceManager::getInstance().loadSprite("s.txt", "s");
    }

    /// Loads text, expects the load to fail, and checks the table is untouched.
    void expectRefused(const std::string& text) {
        const int refusals = countMessages(logText(), "RM::loadSprite(): Sprite 's' NOT loaded.");
        testing::internal::CaptureStderr();
        EXPECT_EQ(load(text), -1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(ResourceManager::getInstance().getSpriteCount(), 0);
        EXPECT_EQ(countMessages(logText(), "RM::loadSprite(): Sprite 's' NOT loaded."), refusals + 1);
    }

    void expectMessages(const std::vector<std::string>& messages) {
        const std::string log = logText();
        for (const std::string& message : messages)
            EXPECT_TRUE(hasMessage(log, message)) << "missing: " << message << "\nlog:\n" << log;
    }

    static Sprite* sprite() { return ResourceManager::getInstance().getSprite("s"); }
};

TEST_F(SpriteReaderTest, SimpleFileLoadsFramesColourAndSlowdown) {
    ASSERT_EQ(load(SIMPLE_RED), 0);
    Sprite* p_sprite = sprite();
    ASSERT_NE(p_sprite, nullptr);
    EXPECT_EQ(p_sprite->getLabel(), "s");
    EXPECT_EQ(p_sprite->getFrameCount(), 2);
    EXPECT_EQ(p_sprite->getWidth(), 3);
    EXPECT_EQ(p_sprite->getHeight(), 2);
    EXPECT_EQ(p_sprite->getSlowdown(), 4);
    EXPECT_EQ(p_sprite->getColor(), RED);
    EXPECT_EQ(p_sprite->getTransparency(), 0);
    EXPECT_EQ(p_sprite->getFrame(0).getString(), "abcdef");
    EXPECT_EQ(p_sprite->getFrame(1).getString(), "ghijkl");
    EXPECT_EQ(p_sprite->getFrame(1).getWidth(), 3);
    EXPECT_EQ(p_sprite->getFrame(1).getHeight(), 2);
    const std::string log = logText();
    EXPECT_TRUE(hasMessage(log, "RM::loadSprite(): assuming simple sprite file format."));
    EXPECT_TRUE(hasMessage(log, "\t       Color: Red"));
    EXPECT_TRUE(hasMessage(log, "\tLine  9: 'jkl'"));
    EXPECT_TRUE(hasMessage(log, "RM::loadSprite(): Sprite 's' loaded."));
    // A clean end of file is not an error.
    EXPECT_EQ(countLines(log, "Error"), 0) << log;
}

TEST_F(SpriteReaderTest, SimpleFileWithAnythingAfterTheLastRowIsRefused) {
    expectRefused(std::string(SIMPLE_RED) + "\n");
    expectMessages({"RM::loadSimpleSprite(): Error line 10!", "\tExtra file data: ''"});
}

TEST_F(SpriteReaderTest, SimpleFileRefusesDefaultAndUnknownColours) {
    expectRefused("1\n1\n1\n0\ndefault\nx\n");
    expectMessages({"RM::loadSimpleSprite(): Error line 5! Unrecognized color 'default'.",
                    "  Valid colors are: black, red, green, yellow,",
                    "                    blue, magenta, cyan or white."});
}

TEST_F(SpriteReaderTest, SimpleFileWithAShortRowNamesItsLine) {
    expectRefused("2\n3\n2\n4\nred\nabc\ndef\ngh\njkl\n");
    expectMessages({"RM::loadSimpleSprite(): Error line 8!", "\tLine  8: 'gh'", "\tWidth is 2, expected 3."});
}

TEST_F(SpriteReaderTest, SimpleHeaderValuesOutOfRangeAreRefused) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"1\n0\n1\n0\nred\nx\n", "RM::loadSimpleSprite(): Error line 2! Width is '0'."},
        {"1\n-4\n1\n0\nred\nx\n", "RM::loadSimpleSprite(): Error line 2! Width is '-4'."},
        {"1\n1\ntall\n0\nred\nx\n", "RM::loadSimpleSprite(): Error line 3! Height is 'tall'."},
        {"1\n1\n1\n-1\nred\nx\n", "RM::loadSimpleSprite(): Error line 4! Slowdown is '-1'."},
        {"1\n1\n-2\n0\nred\nx\n", "RM::loadSimpleSprite(): Error line 3! Height is '-2'."},
        {"1\n1\n1\n", "\tMissing slowdown (an integer)."},
        {"1\n1\n1\n0\n\nx\n", "\tMissing color (a string)."},
        {"1\n1\n", "\tMissing height (an integer)."},
        {"3\n1\n1\n0\nblue\nx\ny\n", "\tReading frame 3 of 3, row 1 of 1."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        expectRefused(c.text);
        expectMessages({c.message});
    }
}

TEST_F(SpriteReaderTest, RobustFileLoadsEveryKey) {
    ASSERT_EQ(load(ROBUST_FULL), 0);
    Sprite* p_sprite = sprite();
    ASSERT_NE(p_sprite, nullptr);
    EXPECT_EQ(p_sprite->getFrameCount(), 2);
    EXPECT_EQ(p_sprite->getWidth(), 5);
    EXPECT_EQ(p_sprite->getHeight(), 2);
    EXPECT_EQ(p_sprite->getColor(), GREEN);
    EXPECT_EQ(p_sprite->getSlowdown(), 6);
    EXPECT_EQ(p_sprite->getTransparency(), '#');
    EXPECT_EQ(p_sprite->getFrame(0).getString(), "#/^\\#<|o|>");
    EXPECT_EQ(p_sprite->getFrame(1).getString(), "#\\_/#<|O|>");
    const std::string log = logText();
    EXPECT_TRUE(hasMessage(log, "RM::loadSprite(): assuming robust sprite file format."));
    EXPECT_TRUE(hasMessage(log, "ResourceManager::loadRobustSprite(): After header, line number: '8'"));
    EXPECT_TRUE(
        hasMessage(log, "ResourceManager::loadRobustSprite(): After reading body: line number is '16'"));
    EXPECT_TRUE(hasMessage(log, "\tTransparency: '#'"));
    EXPECT_EQ(countLines(log, "Error"), 0) << log;
}

TEST_F(SpriteReaderTest, CrLfFilesReadLikeLfFiles) {
    ASSERT_EQ(load(withCrLf(ROBUST_FULL)), 0);
    EXPECT_EQ(sprite()->getFrame(1).getString(), "#\\_/#<|O|>");
    ResourceManager::getInstance().shutDown();
    ASSERT_EQ(ResourceManager::getInstance().startUp(), 0);
    ASSERT_EQ(load(withCrLf(SIMPLE_RED)), 0);
    EXPECT_EQ(sprite()->getFrame(0).getString(), "abcdef");
}

TEST_F(SpriteReaderTest, RobustOptionalKeysFallBackToDefaults) {
    LogManager::getInstance().setLogLevel(5);
    const std::string text = "<HEADER>\nframes 1\nwidth 1\nheight 1\n</HEADER>\n<BODY>\nx\nend\n</BODY>\n"
                             "<FOOTER>\nversion 1\n</FOOTER>\n";
    ASSERT_EQ(load(text), 0);
    EXPECT_EQ(sprite()->getColor(), WHITE);
    EXPECT_EQ(sprite()->getTransparency(), 0);
    EXPECT_EQ(sprite()->getSlowdown(), 0);
    expectMessages({"RM::loadRobustSprite(): Warning! No 'color' in header.",
                    "RM::loadRobustSprite(): Note! No 'transparency' in header.",
                    "RM::loadRobustSprite(): Note! No 'slowdown' in header.", "\tTransparency: (none)",
                    "\t       Color: White"});
}

TEST_F(SpriteReaderTest, RobustKeySeparatorsValuesAndLeftOverLines) {
    const std::string text =
        "<HEADER>\nnotes drawn by hand\nframes:1\nwidth: 3\nheight\theight is ignored\n"
        "color default\ntransparency \" \"\nwidth 3\n</HEADER>\n<BODY>\na b\nend\n</BODY>\n"
        "<FOOTER>\nversion 2.0\nauthor me\n</FOOTER>\n";
    ASSERT_EQ(load(withCrLf(text)), -1);
    // "height<TAB>height is ignored" reads as 0, which is refused.
    expectMessages({"RM::loadRobustSprite(): Error! 'height' is 0 in header, must be at least 1."});

    ASSERT_EQ(load(replaced(text, "height\theight is ignored", "height 1")), 0);
    EXPECT_EQ(sprite()->getWidth(), 3);
    EXPECT_EQ(sprite()->getColor(), WHITE);
    EXPECT_EQ(sprite()->getTransparency(), ' ');
    expectMessages({"matchLineInt(): Warning! 'width 3' matches multiple lines.",
                    "RM::loadRobustSprite(): transparency is 'space'",
                    "RM::loadRobustSprite(): Warning! Unused HEADER lines:", "\t'notes drawn by hand'",
                    "RM::loadRobustSprite(): Warning! Unused FOOTER lines:", "\t'author me'"});

    ResourceManager::getInstance().shutDown();
    ASSERT_EQ(ResourceManager::getInstance().startUp(), 0);
    ASSERT_EQ(load(replaced(ROBUST_FULL, "transparency #", "transparency #x")), 0);
    EXPECT_EQ(sprite()->getTransparency(), '#');
}

TEST_F(SpriteReaderTest, RobustMissingRequiredKeysAreRefused) {
    expectRefused(replaced(ROBUST_FULL, "width 5\n", ""));
    expectMessages({"RM::loadRobustSprite(): Error! Missing 'width' in header."});
    // Present but negative is not missing: it is refused as negative, in
    // the words the simple format uses.
    expectRefused(replaced(ROBUST_FULL, "frames 2", "frames -1"));
    expectMessages({"RM::loadRobustSprite(): Error! 'frames' is -1, must not be negative."});
    for (const char* slowdown : {"slowdown -1", "slowdown -5"}) {
        expectRefused(replaced(ROBUST_FULL, "slowdown 6", slowdown));
        expectMessages({std::string("RM::loadRobustSprite(): Error! 'slowdown' is ") + (slowdown + 9) +
                        ", must not be negative."});
    }
    expectRefused(replaced(ROBUST_FULL, "height 2\n", ""));
    expectMessages({"RM::loadRobustSprite(): Error! Missing 'height' in header."});
    expectRefused(replaced(ROBUST_FULL, "version 1\n", "version\n"));
    expectMessages({"RM::loadRobustSprite(): Error! Missing 'version' in FOOTER (line 19)."});
}

TEST_F(SpriteReaderTest, RobustBodyErrorsNameTheirLines) {
    expectRefused(replaced(ROBUST_FULL, "<|o|>\nend\n", "<|o|>\n"));
    expectMessages({"\tError! Line 12: Expected 'end'.", "\tLine 12: '#\\_/#'",
                    "RM::loadRobustSprite(): Error! No frame data to add."});

    expectRefused(replaced(ROBUST_FULL, "<|O|>", "<|O|"));
    expectMessages({"\tError! Line 14: Line length is 4 (frame width is 5).", "\tLine 14: '<|O|'"});

    expectRefused(replaced(ROBUST_FULL, "frames 2", "frames 3"));
    expectMessages({"\tError! Line 16: No more frame data before 'end'."});

    expectRefused(replaced(ROBUST_FULL, "frames 2", "frames 1"));
    expectMessages({"RM::loadRobustSprite(): Error! Extra BODY:", "\tLine 13: #\\_/#", "\tLine 14: <|O|>",
                    "\tLine 15: end"});

    expectRefused(replaced(ROBUST_FULL, "color green", "color Green"));
    expectMessages({"RM::loadRobustSprite(): Error! Unrecognized color 'Green'.",
                    "                    blue, magenta, cyan and white."});
}

TEST_F(SpriteReaderTest, RobustSectionsMustFollowEachOther) {
    expectRefused(replaced(ROBUST_FULL, "<BODY>\n", "\n<BODY>\n"));
    expectMessages({"readData(): Error line 9! Expected '<BODY>', have ''."});

    expectRefused(replaced(ROBUST_FULL, "</HEADER>\n", ""));
    expectMessages({"readData(): Error! Stop at line 19, never encountered '</HEADER>'."});
}

TEST_F(SpriteReaderTest, UnknownFormatsAreRefused) {
    for (const char* text : {"<header>\n", "0\n1\n1\n0\nred\nx\n", "", "   \n"}) {
        SCOPED_TRACE(text);
        expectRefused(text);
        expectMessages({"RM::loadSprite(): Error! Unknown sprite file format."});
    }
    expectMessages({"RM::loadSprite(): First line is '<header>'.", "RM::loadSprite(): First line is '0'."});
    // A huge first line is quoted only in part.
    expectRefused(std::string(1 << 20, 'q') + "\n");
    expectMessages({"RM::loadSprite(): First line is '" + std::string(80, 'q') + "...'."});
}

TEST_F(SpriteReaderTest, ALastLineWithoutLineFeedIsLost) {
    std::string simple = SIMPLE_RED;
    simple.pop_back();
    expectRefused(simple);
    expectMessages({"getLine(): Error! Unexpected end of file.", "\tReading frame 2 of 2, row 2 of 2."});

    std::string robust = ROBUST_FULL;
    robust.pop_back();
    expectRefused(robust);
    expectMessages({"readData(): Error! Stop at line 19, never encountered '</FOOTER>'."});
}

TEST_F(SpriteReaderTest, HostileSizesFailWithoutHarm) {
    struct Case {
        const char* from;
        const char* to;
        const char* message;
    };
    const Case cases[] = {
        {"frames 2", "frames -7", "RM::loadRobustSprite(): Error! 'frames' is -7, must not be negative."},
        {"frames 2", "frames 0",
         "RM::loadRobustSprite(): Error! 'frames' is 0 in header, must be at least 1."},
        {"width 5", "width -2147483648",
         "RM::loadRobustSprite(): Error! 'width' is -2147483648, must not be negative."},
        {"height 2", "height -99999999999999",
         "RM::loadRobustSprite(): Error! 'height' is -2147483648, must not be negative."},
        {"frames 2", "frames 2147483647", "\tError! Line 16: No more frame data before 'end'."},
        {"frames 2", "frames 99999999999999999999", "\tError! Line 16: No more frame data before 'end'."},
        {"width 5", "width 2147483647", "\tError! Line 10: Line length is 5 (frame width is 2147483647)."},
        {"height 2", "height 2000000000", "\tError! Line 12: Line length is 3 (frame width is 5)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        expectRefused(replaced(ROBUST_FULL, c.from, c.to));
        expectMessages({c.message});
    }
    expectRefused("2000000000\n2000000000\n1\n0\nred\nx\n");
    expectMessages({"RM::loadSimpleSprite(): Error line 6!"});
}

TEST_F(SpriteReaderTest, Utf8FramesLoadInBothFormatsWithWidthsInCharacters) {
    // ┌─┐ / └─┘: three characters a row, nine bytes.
    const std::string rows = "\xE2\x94\x8C\xE2\x94\x80\xE2\x94\x90\n\xE2\x94\x94\xE2\x94\x80\xE2\x94\x98\n";
    const std::string robust =
        "<HEADER>\nframes 1\nwidth 3\nheight 2\ntransparency \xC2\xB7\n</HEADER>\n<BODY>\n" + rows +
        "end\n</BODY>\n<FOOTER>\nversion 1\n</FOOTER>\n";
    const std::pair<std::string, std::string> files[] = {{"simple", "1\n3\n2\n0\ncyan\n" + rows},
                                                         {"robust", robust}};
    ResourceManager& rm = ResourceManager::getInstance();
    for (const auto& [label, text] : files) {
        SCOPED_TRACE(label);
        ASSERT_TRUE(writeFile(label, text));
        ASSERT_EQ(rm.loadSprite(label, label), 0);
        const Frame frame = rm.getSprite(label)->getFrame(0);
        EXPECT_EQ(frame.getWidth(), 3);
        EXPECT_EQ(frame.getCells(), U"┌─┐└─┘");
        EXPECT_EQ(frame.getString(),
                  "\xE2\x94\x8C\xE2\x94\x80\xE2\x94\x90\xE2\x94\x94\xE2\x94\x80\xE2\x94\x98");
    }
    // A transparency that begins with a character beyond ASCII is that character (·).
    EXPECT_EQ(rm.getSprite("robust")->getTransparencyCodePoint(), U'\u00B7');
    EXPECT_EQ(rm.getSprite("simple")->getTransparencyCodePoint(), 0u);
    EXPECT_TRUE(hasMessage(logText(), "\tTransparency: '\xC2\xB7'"));
    // ASCII frames stay frames of bytes.
    ASSERT_EQ(load(SIMPLE_RED), 0);
    EXPECT_TRUE(sprite()->getFrame(0).getCells().empty());
}

TEST_F(SpriteReaderTest, RowsThatAreNotUtf8OrTooWideInCharactersNameTheirLines) {
    // Width 3 in bytes, but "é" is one character: the row is 2 wide.
    expectRefused("1\n3\n1\n0\nred\n\xC3\xA9x\n");
    expectMessages(
        {"RM::loadSimpleSprite(): Error line 6!", "\tLine  6: '\xC3\xA9x'", "\tWidth is 2, expected 3."});
    // A Latin-1 é, an overlong slash, a surrogate and a value past U+10FFFF.
    for (const std::string row : {"ab\xE9", "a\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        SCOPED_TRACE(row);
        expectRefused("1\n3\n1\n0\nred\n" + row + "\n");
        expectMessages(
            {"RM::loadSimpleSprite(): Error line 6!",
             "\tNot UTF-8 from byte " + std::to_string(row.find_first_of("\xE9\xC0\xED\xF4") + 1) + " on."});
        expectRefused(replaced(ROBUST_FULL, "<|O|>", "<|" + row + "|>"));
        expectMessages({"\tError! Line 14: Not UTF-8 from byte " +
                        std::to_string(row.find_first_of("\xE9\xC0\xED\xF4") + 3) + " on."});
    }
    expectMessages({"\tLine 14: '<|ab\xEF\xBF\xBD|>'"});
}

TEST_F(SpriteReaderTest, TheShootersSpritesAllLoad) {
    const std::string dir = std::string(VINTREL_SOURCE_DIR) + "/game/sprites/";
    const char* const files[] = {"player-spr.txt",    "missile-spr.txt",           "explosion-spr.txt",
                                 "asteroid-spr.txt",  "missile-explosion-spr.txt", "bullet-spr.txt",
                                 "gamestart-spr.txt", "gameover-spr.txt"};
    for (const char* file : files) {
        SCOPED_TRACE(file);
        EXPECT_EQ(ResourceManager::getInstance().loadSprite(dir + file, file), 0);
        const Sprite* p_sprite = ResourceManager::getInstance().getSprite(file);
        ASSERT_NE(p_sprite, nullptr);
        EXPECT_GT(p_sprite->getFrameCount(), 0);
        EXPECT_EQ(p_sprite->getFrameCount(), p_sprite->getMaxFrameCount());
    }
}

} // namespace
} // namespace vt::test
