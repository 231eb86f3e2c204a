#include <SFML/Graphics.hpp>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "media/SfmlCompat.h"
#include "support/WindowTest.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/media/DisplayManager.h"

namespace vt::test {
namespace {

// A cell's pixels: its background's edges rounded to whole pixels, which
// neighbouring cells share.
struct CellRect {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

CellRect cellRect(int col, int row) {
    const float w = cellWidth();
    const float h = cellHeight();
    auto edge = [](float at) { return static_cast<int>(std::lround(at)); };
    return {edge(static_cast<float>(col) * w - w / 10), edge(static_cast<float>(row) * h + h / 5),
            edge(static_cast<float>(col + 1) * w - w / 10), edge(static_cast<float>(row + 1) * h + h / 5)};
}

bool inked(const sf::Image& image, int x, int y) {
    return sfml::pixelAt(image, static_cast<unsigned>(x), static_cast<unsigned>(y)) != BLACK_PIXEL;
}

// What a character drew in its cell, and how much it drew in the eight around it.
struct CellInk {
    int width = 0;
    int height = 0;
    std::vector<sf::Color> pixels;
    int spilled = 0;

    bool at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)] != BLACK_PIXEL; }
    int count() const {
        int n = 0;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                n += at(x, y) ? 1 : 0;
        return n;
    }
    // The pixels along one side, '#' inked and '.' not: left and right top to
    // bottom, top and bottom left to right.
    std::string side(char which) const {
        std::string profile;
        const bool across = which == 't' || which == 'b';
        for (int i = 0; i < (across ? width : height); i++)
            profile += (which == 'l'   ? at(0, i)
                        : which == 'r' ? at(width - 1, i)
                        : which == 't' ? at(i, 0)
                                       : at(i, height - 1))
                           ? '#'
                           : '.';
        return profile;
    }
};

CellInk inkOf(const sf::Image& image, const CellRect& cell) {
    CellInk ink;
    ink.width = cell.width();
    ink.height = cell.height();
    for (int y = cell.top - ink.height; y < cell.bottom + ink.height; y++)
        for (int x = cell.left - ink.width; x < cell.right + ink.width; x++) {
            const bool inside = x >= cell.left && x < cell.right && y >= cell.top && y < cell.bottom;
            if (inside)
                ink.pixels.push_back(
                    sfml::pixelAt(image, static_cast<unsigned>(x), static_cast<unsigned>(y)));
            else if (inked(image, x, y))
                ink.spilled++;
        }
    return ink;
}

std::string utf8(char32_t c) { return encodeUtf8(std::u32string(1, c)); }

class BoxDrawingTest : public WindowTest {
  protected:
    // Two cells, one of each width the cells' rounded edges give.
    void findCells() {
        const int narrow = static_cast<int>(std::floor(cellWidth()));
        for (int col = 4; col < 30; col++) {
            const int width = cellRect(col, 0).width();
            if (width == narrow && m_cols[1] < 0)
                m_cols[1] = col;
            else if (width != narrow && m_cols[0] < 0)
                m_cols[0] = col;
        }
        ASSERT_GE(m_cols[0], 0);
        ASSERT_GE(m_cols[1], 0);
    }

    // The character drawn alone, once in each of the two cells.
    std::vector<CellInk> drawAlone(char32_t c) {
        DisplayManager& dm = DisplayManager::getInstance();
        for (int k = 0; k < 2; k++)
            dm.drawCharacter(Vector(static_cast<float>(m_cols[k]), static_cast<float>(ROWS[k])), c, WHITE);
        const sf::Image image = captureBackBuffer();
        dm.presentFrame();
        return {inkOf(image, cellRect(m_cols[0], ROWS[0])), inkOf(image, cellRect(m_cols[1], ROWS[1]))};
    }

    void checkEveryCharacter() {
        findCells();
        std::map<char32_t, std::vector<CellInk>> drawn;
        for (char32_t c = 0x2500; c <= 0x259F; c++)
            drawn[c] = drawAlone(c);
        for (int k = 0; k < 2; k++) {
            SCOPED_TRACE("cell width " + std::to_string(drawn[0x2500][static_cast<std::size_t>(k)].width));
            auto ink = [&](char32_t c) -> const CellInk& { return drawn[c][static_cast<std::size_t>(k)]; };
            for (char32_t c = 0x2500; c <= 0x259F; c++) {
                SCOPED_TRACE(utf8(c));
                EXPECT_EQ(ink(c).spilled, 0) << "ink beyond the cell";
                EXPECT_GT(ink(c).count(), 0);
            }
            checkLines(ink);
            checkBlocks(ink);
        }
    }

    template <typename Ink> void checkLines(Ink ink) {
        // Each side of a line character is bare, or shows exactly the pixels
        // that a straight line of its weight shows there.
        const std::string across[] = {"", ink(U'─').side('l'), ink(U'━').side('l'), ink(U'═').side('l')};
        const std::string down[] = {"", ink(U'│').side('t'), ink(U'┃').side('t'), ink(U'║').side('t')};
        EXPECT_EQ(ink(U'─').side('r'), across[1]);
        EXPECT_EQ(ink(U'│').side('b'), down[1]);
        auto weights = [&](char32_t c) {
            std::string found;
            for (const char side : {'l', 't', 'r', 'b'}) {
                const std::string profile = ink(c).side(side);
                const std::string* p_references = side == 'l' || side == 'r' ? across : down;
                int weight = -1;
                for (int w = 0; w < 4; w++)
                    if (profile == p_references[w] || (w == 0 && profile.find('#') == std::string::npos))
                        weight = w;
                found += weight < 0 ? '?' : static_cast<char>('0' + weight);
            }
            return found;
        };
        const std::u32string not_lines = U"┄┅┆┇┈┉┊┋╌╍╎╏╭╮╯╰╱╲╳";
        for (char32_t c = 0x2500; c <= 0x257F; c++) {
            SCOPED_TRACE(utf8(c));
            const std::string found = weights(c);
            if (not_lines.find(c) == std::u32string::npos) {
                EXPECT_EQ(found.find('?'), std::string::npos) << found;
                EXPECT_NE(found, "0000");
            } else if (c >= U'╭' && c <= U'╰') {
                EXPECT_EQ(found.find_first_not_of("01"), std::string::npos) << found;
            } else if (c >= U'╱') {
                // Diagonals run from corner to corner.
                const CellInk& cell = ink(c);
                const bool rising = c != U'╲';
                const bool falling = c != U'╱';
                EXPECT_EQ(cell.at(cell.width - 1, 0), rising);
                EXPECT_EQ(cell.at(0, cell.height - 1), rising);
                EXPECT_EQ(cell.at(0, 0), falling);
                EXPECT_EQ(cell.at(cell.width - 1, cell.height - 1), falling);
            } else {
                EXPECT_EQ(found, "0000") << "dashes stop short of the sides";
            }
        }
        // Arms left, up, right and down of a sample, from the characters' names.
        const struct {
            char32_t c;
            const char* arms;
        } sample[] = {{U'┌', "0011"}, {U'┍', "0021"}, {U'┞', "0211"}, {U'┼', "1111"}, {U'╃', "2211"},
                      {U'╋', "2222"}, {U'╔', "0033"}, {U'╗', "3003"}, {U'╠', "0333"}, {U'╤', "3031"},
                      {U'╥', "1013"}, {U'╪', "3131"}, {U'╫', "1313"}, {U'╬', "3333"}, {U'╘', "0130"},
                      {U'╜', "1300"}, {U'╭', "0011"}, {U'╯', "1100"}, {U'╴', "1000"}, {U'╾', "2010"}};
        for (const auto& expected : sample) {
            SCOPED_TRACE(utf8(expected.c));
            EXPECT_EQ(weights(expected.c), expected.arms);
        }
    }

    template <typename Ink> void checkBlocks(Ink ink) {
        const CellInk& full = ink(U'█');
        EXPECT_EQ(full.count(), full.width * full.height);
        // Characters that share a cell between them leave no pixel to both or to neither.
        const char32_t halves[][2] = {{U'▀', U'▄'}, {U'▌', U'▐'}, {U'▔', U'▇'}, {U'▉', U'▕'}, {U'▘', U'▟'},
                                      {U'▝', U'▙'}, {U'▖', U'▜'}, {U'▗', U'▛'}, {U'▚', U'▞'}};
        for (const auto& pair : halves) {
            SCOPED_TRACE(utf8(pair[0]) + utf8(pair[1]));
            int both_or_neither = 0;
            for (int y = 0; y < full.height; y++)
                for (int x = 0; x < full.width; x++)
                    both_or_neither += ink(pair[0]).at(x, y) == ink(pair[1]).at(x, y) ? 1 : 0;
            EXPECT_EQ(both_or_neither, 0);
        }
        // Eighths from below and from the left fill whole rows or columns,
        // k eighths of the cell give or take a pixel, growing with k.
        int previous_rows = 0;
        int previous_columns = 0;
        for (int k = 1; k <= 8; k++) {
            SCOPED_TRACE(k);
            const auto eighths = static_cast<char32_t>(k);
            const CellInk& lower = ink(U'▁' + eighths - 1);
            const CellInk& left = ink(k == 8 ? U'█' : U'▏' - eighths + 1);
            const int rows = lower.count() / full.width;
            const int columns = left.count() / full.height;
            ASSERT_GT(rows, 0);
            ASSERT_GT(columns, 0);
            EXPECT_EQ(lower.count(), rows * full.width);
            EXPECT_TRUE(lower.at(0, full.height - rows) && lower.at(full.width - 1, full.height - 1));
            EXPECT_EQ(left.count(), columns * full.height);
            EXPECT_TRUE(left.at(columns - 1, 0) && left.at(0, full.height - 1));
            EXPECT_NEAR(rows, k * full.height / 8.0, 1.0);
            EXPECT_NEAR(columns, k * full.width / 8.0, 1.0);
            EXPECT_GT(rows, previous_rows);
            EXPECT_GT(columns, previous_columns);
            previous_rows = rows;
            previous_columns = columns;
        }
        // Quadrants are the halves' overlaps.
        const struct {
            char32_t c;
            bool upper_left, upper_right, lower_left, lower_right;
        } quadrants[] = {{U'▖', 0, 0, 1, 0}, {U'▗', 0, 0, 0, 1}, {U'▘', 1, 0, 0, 0}, {U'▙', 1, 0, 1, 1},
                         {U'▚', 1, 0, 0, 1}, {U'▛', 1, 1, 1, 0}, {U'▜', 1, 1, 0, 1}, {U'▝', 0, 1, 0, 0},
                         {U'▞', 0, 1, 1, 0}, {U'▟', 0, 1, 1, 1}};
        for (const auto& q : quadrants) {
            SCOPED_TRACE(utf8(q.c));
            int wrong = 0;
            for (int y = 0; y < full.height; y++)
                for (int x = 0; x < full.width; x++) {
                    const bool up = ink(U'▀').at(x, y);
                    const bool west = ink(U'▌').at(x, y);
                    const bool expected = (up && west && q.upper_left) || (up && !west && q.upper_right) ||
                                          (!up && west && q.lower_left) || (!up && !west && q.lower_right);
                    wrong += ink(q.c).at(x, y) != expected ? 1 : 0;
                }
            EXPECT_EQ(wrong, 0);
        }
        // Shades fill the whole cell evenly, each lighter than the next.
        int previous = 0;
        for (const char32_t c : {U'░', U'▒', U'▓', U'█'}) {
            SCOPED_TRACE(utf8(c));
            const sf::Color first = ink(c).pixels.front();
            int uneven = 0;
            for (const sf::Color& pixel : ink(c).pixels)
                uneven += pixel != first ? 1 : 0;
            EXPECT_EQ(uneven, 0);
            EXPECT_GT(first.r, previous);
            previous = first.r;
        }
    }

    // Rows and walls of characters drawn side by side: the ink runs on over
    // every shared edge, and stays inside the cells.
    void checkSeams() {
        DisplayManager& dm = DisplayManager::getInstance();
        const int c0 = 20;
        const int r0 = 3;
        for (int i = 0; i < 4; i++) {
            dm.drawCharacter(Vector(static_cast<float>(c0 + i), static_cast<float>(r0)), U'─', WHITE);
            dm.drawCharacter(Vector(static_cast<float>(c0 + i), static_cast<float>(r0 + 2)), U'═', WHITE);
            dm.drawCharacter(Vector(static_cast<float>(c0 + 6), static_cast<float>(r0 + i)), U'│', WHITE);
            dm.drawCharacter(Vector(static_cast<float>(c0 + 8), static_cast<float>(r0 + i)), U'║', WHITE);
            for (int j = 0; j < 3; j++)
                dm.drawCharacter(Vector(static_cast<float>(c0 + 10 + j), static_cast<float>(r0 + i)), U'█',
                                 WHITE);
        }
        const sf::Image image = captureBackBuffer();
        dm.presentFrame();
        auto row_runs = [&](int row, int y_offset) {
            const CellRect first = cellRect(c0, row);
            const CellRect last = cellRect(c0 + 3, row);
            int gaps = 0;
            for (int x = first.left; x < last.right; x++)
                gaps += inked(image, x, first.top + y_offset) ? 0 : 1;
            return gaps;
        };
        auto column_runs = [&](int col, int x_offset) {
            const CellRect first = cellRect(col, r0);
            const CellRect last = cellRect(col, r0 + 3);
            int gaps = 0;
            for (int y = first.top; y < last.bottom; y++)
                gaps += inked(image, first.left + x_offset, y) ? 0 : 1;
            return gaps;
        };
        const CellRect line_cell = cellRect(c0, r0);
        const std::vector<CellInk> light = drawAlone(U'─');
        const std::vector<CellInk> doubled = drawAlone(U'═');
        for (int y = 0; y < line_cell.height(); y++) {
            if (light[0].at(0, y)) {
                EXPECT_EQ(row_runs(r0, y), 0) << "─ row " << y;
            }
            if (doubled[0].at(0, y)) {
                EXPECT_EQ(row_runs(r0 + 2, y), 0) << "═ row " << y;
            }
        }
        const std::pair<int, char32_t> verticals[] = {{c0 + 6, U'│'}, {c0 + 8, U'║'}};
        for (const auto& [col, character] : verticals) {
            SCOPED_TRACE(utf8(character));
            const CellRect cell = cellRect(col, r0);
            int line_columns = 0;
            for (int x = cell.left; x < cell.right; x++)
                if (inked(image, x, cell.top)) {
                    line_columns++;
                    EXPECT_EQ(column_runs(col, x - cell.left), 0) << "column " << x;
                }
            EXPECT_GT(line_columns, 0);
        }
        // The wall of █ is its cells' rectangle, every pixel and no more.
        const CellRect top_left = cellRect(c0 + 10, r0);
        const CellRect bottom_right = cellRect(c0 + 12, r0 + 3);
        EXPECT_EQ(countPixels(image, top_left.left, top_left.top, bottom_right.right - top_left.left,
                              bottom_right.bottom - top_left.top, WHITE_PIXEL),
                  (bottom_right.right - top_left.left) * (bottom_right.bottom - top_left.top));
        EXPECT_EQ(countPixels(image, top_left.left - 3, top_left.top - 3,
                              bottom_right.right - top_left.left + 6, bottom_right.bottom - top_left.top + 6,
                              WHITE_PIXEL),
                  (bottom_right.right - top_left.left) * (bottom_right.bottom - top_left.top));
    }

    static constexpr int ROWS[2] = {5, 8};
    int m_cols[2] = {-1, -1};
};

TEST_F(BoxDrawingTest, EveryCharacterMeetsItsNeighboursExactlyAtTheDefaultScale) {
    ASSERT_EQ(startWindowedEngine(), 0);
    checkEveryCharacter();
    checkSeams();
}

TEST_F(BoxDrawingTest, EveryCharacterMeetsItsNeighboursExactlyAtScaleTwo) {
    // Cells of 12.8 x 32 pixels, each twice as large in the window.
    ASSERT_EQ(startWindowedEngine("window_scale:2,window_horizontal_pixels:640,window_vertical_pixels:384,"
                                  "window_horizontal_chars:50,window_vertical_chars:12,"),
              0);
    EXPECT_FLOAT_EQ(cellWidth(), 25.6f);
    checkEveryCharacter();
    checkSeams();
}

TEST_F(BoxDrawingTest, CellsWhoseShapesFillTheirTextureMidFrameDrawAsIfAlone) {
    // Cells of 512 x 384 pixels: a few dozen characters' shapes fill the
    // texture they are kept in, so that drawing the whole ranges in one frame
    // draws what is queued and starts the texture over, more than once.
    ASSERT_EQ(startWindowedEngine("window_horizontal_chars:2,window_vertical_chars:2,"), 0);
    DisplayManager& dm = DisplayManager::getInstance();
    auto draw = [&dm](char32_t from) {
        for (char32_t c = from; c <= 0x259F; c++) {
            const auto i = static_cast<float>(c - 0x2500);
            dm.drawCharacter(Vector(std::fmod(i, 2.0f), std::fmod(std::floor(i / 2.0f), 2.0f)), c, WHITE);
        }
    };
    // The last four land in the four cells, over everything drawn before.
    sf::Image over_all;
    draw(0x2500);
    ASSERT_EQ(dm.captureFrame(over_all), 0);
    dm.presentFrame();
    sf::Image alone;
    draw(0x259C);
    ASSERT_EQ(dm.captureFrame(alone), 0);
    dm.presentFrame();
    ASSERT_EQ(over_all.getSize(), alone.getSize());
    int differing = 0;
    int inked_pixels = 0;
    for (unsigned y = 0; y < alone.getSize().y; y++)
        for (unsigned x = 0; x < alone.getSize().x; x++) {
            differing += sfml::pixelAt(over_all, x, y) != sfml::pixelAt(alone, x, y) ? 1 : 0;
            inked_pixels += sfml::pixelAt(alone, x, y) == WHITE_PIXEL ? 1 : 0;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inked_pixels, 512 * 384);
}

} // namespace
} // namespace vt::test
