#include "media/BoxDrawing.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vt {

namespace {

// A run of code points, first and last included.
struct CodeRange {
    char32_t first;
    char32_t last;

    [[nodiscard]] constexpr bool holds(char32_t code_point) const {
        return code_point >= first && code_point <= last;
    }
    // The code point's place in the run, from 0.
    [[nodiscard]] constexpr int placeOf(char32_t code_point) const {
        return static_cast<int>(code_point - first);
    }
};

constexpr CodeRange BOX_DRAWING{0x2500, 0x257F};
constexpr CodeRange BLOCK_ELEMENTS{0x2580, 0x259F};
// The box-drawing characters drawn otherwise than from arms.
constexpr CodeRange TRIPLE_AND_QUADRUPLE_DASHES{0x2504, 0x250B}; // ┄ to ┋
constexpr CodeRange DOUBLE_DASHES{0x254C, 0x254F};               // ╌ to ╏
constexpr CodeRange ARCS{0x256D, 0x2570};                        // ╭ ╮ ╯ ╰
constexpr CodeRange DIAGONALS{0x2571, 0x2573};                   // ╱ ╲ ╳
constexpr char32_t RISING_DIAGONAL = 0x2571;                     // ╱
constexpr char32_t FALLING_DIAGONAL = 0x2572;                    // ╲
constexpr float HALF_PI = 1.57079632679f;
// Straight pieces of an arc's quarter circle.
constexpr int ARC_STEPS = 8;

// The weight of each arm of a line character, left, up, right and down:
// 0 none, 1 light, 2 heavy, 3 double. "-" marks the dashes, arcs and
// diagonals, which are drawn otherwise.
constexpr std::array<const char*, 128> ARMS = {
    // ─ ━ │ ┃ ┄ ┅ ┆ ┇ ┈ ┉ ┊ ┋ ┌ ┍ ┎ ┏
    "1010", "2020", "0101", "0202", "-", "-", "-", "-", "-", "-", "-", "-", "0011", "0021", "0012", "0022",
    // ┐ ┑ ┒ ┓ └ ┕ ┖ ┗ ┘ ┙ ┚ ┛ ├ ┝ ┞ ┟
    "1001", "2001", "1002", "2002", "0110", "0120", "0210", "0220", "1100", "2100", "1200", "2200", "0111",
    "0121", "0211", "0112",
    // ┠ ┡ ┢ ┣ ┤ ┥ ┦ ┧ ┨ ┩ ┪ ┫ ┬ ┭ ┮ ┯
    "0212", "0221", "0122", "0222", "1101", "2101", "1201", "1102", "1202", "2201", "2102", "2202", "1011",
    "2011", "1021", "2021",
    // ┰ ┱ ┲ ┳ ┴ ┵ ┶ ┷ ┸ ┹ ┺ ┻ ┼ ┽ ┾ ┿
    "1012", "2012", "1022", "2022", "1110", "2110", "1120", "2120", "1210", "2210", "1220", "2220", "1111",
    "2111", "1121", "2121",
    // ╀ ╁ ╂ ╃ ╄ ╅ ╆ ╇ ╈ ╉ ╊ ╋ ╌ ╍ ╎ ╏
    "1211", "1112", "1212", "2211", "1221", "2112", "1122", "2221", "2122", "2212", "1222", "2222", "-", "-",
    "-", "-",
    // ═ ║ ╒ ╓ ╔ ╕ ╖ ╗ ╘ ╙ ╚ ╛ ╜ ╝ ╞ ╟
    "3030", "0303", "0031", "0013", "0033", "3001", "1003", "3003", "0130", "0310", "0330", "3100", "1300",
    "3300", "0131", "0313",
    // ╠ ╡ ╢ ╣ ╤ ╥ ╦ ╧ ╨ ╩ ╪ ╫ ╬ ╭ ╮ ╯
    "0333", "3101", "1303", "3303", "3031", "1013", "3033", "3130", "1310", "3330", "3131", "1313", "3333",
    "-", "-", "-",
    // ╰ ╱ ╲ ╳ ╴ ╵ ╶ ╷ ╸ ╹ ╺ ╻ ╼ ╽ ╾ ╿
    "-", "-", "-", "-", "1000", "0100", "0010", "0001", "2000", "0200", "0020", "0002", "1020", "0102",
    "2010", "0201"};

enum Arm { LEFT, UP, RIGHT, DOWN };

struct Rect {
    int x0, y0, x1, y1;
};

// The measures of one cell: its size and where lines of each weight lie across it.
struct Cell {
    int width;
    int height;
    int line;
    sf::Vector2f texel;

    int thickness(int weight) const { return weight == 2 ? 2 * line : weight == 3 ? 3 * line : line; }
    // Where a band of the thickness starts across an extent. Every weight is
    // centred the same way, so a heavy line holds the light one, and a double
    // line's gap is exactly where the light line lies.
    static int bandStart(int extent, int thickness) { return std::max(0, (extent - thickness) / 2); }
    int columnStart(int weight) const { return bandStart(width, thickness(weight)); }
    int columnEnd(int weight) const { return columnStart(weight) + thickness(weight); }
    int rowStart(int weight) const { return bandStart(height, thickness(weight)); }
    int rowEnd(int weight) const { return rowStart(weight) + thickness(weight); }
};

GlyphPiece quadOf(sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, sf::Vector2f d, sf::Vector2f texel) {
    return GlyphPiece::quad({a, texel}, {b, texel}, {c, texel}, {d, texel});
}

void appendRect(const Cell& cell, float x0, float y0, float x1, float y1, std::uint8_t shade,
                std::vector<BoxDrawing::Piece>& pieces) {
    if (x1 <= x0 || y1 <= y0)
        return;
    pieces.push_back({quadOf(sf::Vector2f(x0, y0), sf::Vector2f(x1, y0), sf::Vector2f(x1, y1),
                             sf::Vector2f(x0, y1), cell.texel),
                      shade});
}

bool inside(const Rect& rect, int x0, int y0, int x1, int y1) {
    return rect.x0 <= x0 && x1 <= rect.x1 && rect.y0 <= y0 && y1 <= rect.y1;
}

bool insideAny(const std::vector<Rect>& rects, int x0, int y0, int x1, int y1) {
    return std::any_of(rects.begin(), rects.end(),
                       [&](const Rect& rect) { return inside(rect, x0, y0, x1, y1); });
}

// Appends (channel less gaps) plus lines as few rectangles: the rectangles'
// edges cut the cell into a grid, each grid cell is inked or not, and inked
// runs are joined across and then down.
void appendInk(const Cell& cell, const std::vector<Rect>& channel, const std::vector<Rect>& gaps,
               const std::vector<Rect>& lines, std::vector<BoxDrawing::Piece>& pieces) {
    std::vector<int> xs;
    std::vector<int> ys;
    for (const std::vector<Rect>* p_rects : {&channel, &gaps, &lines})
        for (const Rect& rect : *p_rects) {
            xs.insert(xs.end(), {rect.x0, rect.x1});
            ys.insert(ys.end(), {rect.y0, rect.y1});
        }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    std::vector<Rect> open;
    std::vector<Rect> band;
    for (std::size_t j = 0; j + 1 < ys.size(); j++) {
        band.clear();
        for (std::size_t i = 0; i + 1 < xs.size(); i++) {
            const int x0 = xs[i];
            const int x1 = xs[i + 1];
            const bool inked = (insideAny(channel, x0, ys[j], x1, ys[j + 1]) &&
                                !insideAny(gaps, x0, ys[j], x1, ys[j + 1])) ||
                               insideAny(lines, x0, ys[j], x1, ys[j + 1]);
            if (!inked)
                continue;
            if (!band.empty() && band.back().x1 == x0)
                band.back().x1 = x1;
            else
                band.push_back(Rect{x0, ys[j], x1, ys[j + 1]});
        }
        for (const Rect& rect : open) {
            auto same = std::find_if(band.begin(), band.end(), [&](const Rect& run) {
                return run.x0 == rect.x0 && run.x1 == rect.x1 && run.y0 == rect.y1;
            });
            if (same != band.end()) {
                same->y0 = rect.y0;
                continue;
            }
            appendRect(cell, static_cast<float>(rect.x0), static_cast<float>(rect.y0),
                       static_cast<float>(rect.x1), static_cast<float>(rect.y1), 4, pieces);
        }
        open = band;
    }
    for (const Rect& rect : open)
        appendRect(cell, static_cast<float>(rect.x0), static_cast<float>(rect.y0),
                   static_cast<float>(rect.x1), static_cast<float>(rect.y1), 4, pieces);
}

// Light and heavy lines: each arm runs from its edge to the far side of the
// widest line it meets, so that corners are square and tees closed.
void appendPlainLines(const Cell& c, const std::array<int, 4>& arm, std::vector<BoxDrawing::Piece>& pieces) {
    const int vertical = std::max(arm[UP], arm[DOWN]);
    const int horizontal = std::max(arm[LEFT], arm[RIGHT]);
    std::vector<Rect> lines;
    if (arm[LEFT] != 0)
        lines.push_back(Rect{0, c.rowStart(arm[LEFT]), c.columnEnd(vertical != 0 ? vertical : arm[LEFT]),
                             c.rowEnd(arm[LEFT])});
    if (arm[RIGHT] != 0)
        lines.push_back(Rect{c.columnStart(vertical != 0 ? vertical : arm[RIGHT]), c.rowStart(arm[RIGHT]),
                             c.width, c.rowEnd(arm[RIGHT])});
    if (arm[UP] != 0)
        lines.push_back(Rect{c.columnStart(arm[UP]), 0, c.columnEnd(arm[UP]),
                             c.rowEnd(horizontal != 0 ? horizontal : arm[UP])});
    if (arm[DOWN] != 0)
        lines.push_back(Rect{c.columnStart(arm[DOWN]), c.rowStart(horizontal != 0 ? horizontal : arm[DOWN]),
                             c.columnEnd(arm[DOWN]), c.height});
    appendInk(c, {}, {}, lines, pieces);
}

// Lines where double ones meet single ones or each other. The double arms
// form a channel, a thick line whose inside (the gaps) is left out, so that
// its two rails turn corners inside each other. A single arm crossing the
// channel runs on through; one meeting a channel that goes on past it stops
// at the near rail; one meeting a channel's end closes it at the far rail.
void appendDoubleLines(const Cell& c, const std::array<int, 4>& arm, std::vector<BoxDrawing::Piece>& pieces) {
    const int t = c.line;
    // Rails a and b across, A and B down; the light band s across, S down.
    const int a0 = c.columnStart(3);
    const int a1 = a0 + t;
    const int b0 = a1 + t;
    const int b1 = b0 + t;
    const int s0 = c.columnStart(1);
    const int s1 = c.columnEnd(1);
    const int A0 = c.rowStart(3);
    const int A1 = A0 + t;
    const int B0 = A1 + t;
    const int B1 = B0 + t;
    const int S0 = c.rowStart(1);
    const int S1 = c.rowEnd(1);
    const bool across_double = arm[LEFT] == 3 || arm[RIGHT] == 3;
    const bool down_double = arm[UP] == 3 || arm[DOWN] == 3;
    // The middle square that the channel's arms reach into.
    const int mx0 = down_double ? a0 : s0;
    const int mx1 = down_double ? b1 : s1;
    const int my0 = across_double ? A0 : S0;
    const int my1 = across_double ? B1 : S1;

    std::vector<Rect> channel;
    std::vector<Rect> gaps;
    std::vector<Rect> lines;
    if (arm[LEFT] == 3) {
        channel.push_back(Rect{0, A0, mx1, B1});
        gaps.push_back(Rect{0, A1, down_double ? b0 : mx1, B0});
    }
    if (arm[RIGHT] == 3) {
        channel.push_back(Rect{mx0, A0, c.width, B1});
        gaps.push_back(Rect{down_double ? a1 : mx0, A1, c.width, B0});
    }
    if (arm[UP] == 3) {
        channel.push_back(Rect{a0, 0, b1, my1});
        gaps.push_back(Rect{a1, 0, b0, across_double ? B0 : my1});
    }
    if (arm[DOWN] == 3) {
        channel.push_back(Rect{a0, my0, b1, c.height});
        gaps.push_back(Rect{a1, across_double ? A1 : my0, b0, c.height});
    }

    if (arm[LEFT] == 1 && arm[RIGHT] == 1) {
        lines.push_back(Rect{0, S0, c.width, S1});
    } else {
        const bool through = arm[UP] == 3 && arm[DOWN] == 3;
        if (arm[LEFT] == 1)
            lines.push_back(Rect{0, S0, through ? a1 : down_double ? b1 : s1, S1});
        if (arm[RIGHT] == 1)
            lines.push_back(Rect{through ? b0 : down_double ? a0 : s0, S0, c.width, S1});
    }
    if (arm[UP] == 1 && arm[DOWN] == 1) {
        lines.push_back(Rect{s0, 0, s1, c.height});
    } else {
        const bool through = arm[LEFT] == 3 && arm[RIGHT] == 3;
        if (arm[UP] == 1)
            lines.push_back(Rect{s0, 0, s1, through ? A1 : across_double ? B1 : S1});
        if (arm[DOWN] == 1)
            lines.push_back(Rect{s0, through ? B0 : across_double ? A0 : S0, s1, c.height});
    }
    appendInk(c, channel, gaps, lines, pieces);
}

// Dashed lines: the cell split into equal parts, a dash in the middle half of
// each, so that a row of them dashes evenly.
void appendDashes(const Cell& c, int count, int weight, bool vertical,
                  std::vector<BoxDrawing::Piece>& pieces) {
    const int length = vertical ? c.height : c.width;
    for (int k = 0; k < count; k++) {
        const int from = (length * (4 * k + 1) + 2 * count) / (4 * count);
        const int to = std::max(from + 1, (length * (4 * k + 3) + 2 * count) / (4 * count));
        if (vertical)
            appendRect(c, static_cast<float>(c.columnStart(weight)), static_cast<float>(from),
                       static_cast<float>(c.columnEnd(weight)), static_cast<float>(to), 4, pieces);
        else
            appendRect(c, static_cast<float>(from), static_cast<float>(c.rowStart(weight)),
                       static_cast<float>(to), static_cast<float>(c.rowEnd(weight)), 4, pieces);
    }
}

// A light quarter circle joining the middle of one side (dx: +1 right, -1
// left) to the middle of the top or bottom (dy), with a straight end of at
// least one pixel at each edge so that it meets light lines there exactly.
void appendArc(const Cell& c, int dx, int dy, std::vector<BoxDrawing::Piece>& pieces) {
    const float t = static_cast<float>(c.line);
    const float s0 = static_cast<float>(c.columnStart(1));
    const float S0 = static_cast<float>(c.rowStart(1));
    const float cx = s0 + t / 2;
    const float cy = S0 + t / 2;
    const float room_x = dx > 0 ? static_cast<float>(c.width) - cx : cx;
    const float room_y = dy > 0 ? static_cast<float>(c.height) - cy : cy;
    const float radius = std::max(std::min(room_x, room_y) - 1.0f, t);
    const float centre_x = cx + static_cast<float>(dx) * radius;
    const float centre_y = cy + static_cast<float>(dy) * radius;
    auto at = [&](float r, float angle) {
        return sf::Vector2f(centre_x - static_cast<float>(dx) * r * std::cos(angle),
                            centre_y - static_cast<float>(dy) * r * std::sin(angle));
    };
    for (int k = 0; k < ARC_STEPS; k++) {
        const float from = HALF_PI * static_cast<float>(k) / ARC_STEPS;
        const float to = HALF_PI * static_cast<float>(k + 1) / ARC_STEPS;
        pieces.push_back({quadOf(at(radius + t / 2, from), at(radius + t / 2, to), at(radius - t / 2, to),
                                 at(radius - t / 2, from), c.texel),
                          4});
    }
    const float x_edge = dx > 0 ? static_cast<float>(c.width) : 0.0f;
    appendRect(c, std::min(centre_x, x_edge), S0, std::max(centre_x, x_edge), S0 + t, 4, pieces);
    const float y_edge = dy > 0 ? static_cast<float>(c.height) : 0.0f;
    appendRect(c, s0, std::min(centre_y, y_edge), s0 + t, std::max(centre_y, y_edge), 4, pieces);
}

// A light stroke centred on the line between two opposite corners, cut to the
// cell: the stroke of the next cell along the diagonal carries on from it.
void appendDiagonal(const Cell& c, bool rising, std::vector<BoxDrawing::Piece>& pieces) {
    const auto w = static_cast<float>(c.width);
    const auto h = static_cast<float>(c.height);
    const float half = static_cast<float>(c.line) * std::hypot(w, h) / h / 2;
    const float top_x = rising ? w : 0.0f;
    const float bottom_x = rising ? 0.0f : w;
    GlyphPiece stroke = quadOf(sf::Vector2f(top_x - half, 0), sf::Vector2f(top_x + half, 0),
                               sf::Vector2f(bottom_x + half, h), sf::Vector2f(bottom_x - half, h), c.texel);
    // Each edge of the cell in turn, kept on its inner side.
    const std::array<sf::Vector2f, 4> corners = {sf::Vector2f(0, 0), sf::Vector2f(w, 0), sf::Vector2f(w, h),
                                                 sf::Vector2f(0, h)};
    for (std::size_t e = 0; e < 4; e++)
        if (!stroke.cut(corners[e], corners[(e + 1) % 4], true))
            return;
    pieces.push_back({stroke, 4});
}

void appendBlock(const Cell& c, char32_t code_point, std::vector<BoxDrawing::Piece>& pieces) {
    const int w = c.width;
    const int h = c.height;
    // Eighths of the cell on whole pixels; halves of neighbouring characters
    // (upper and lower, left and right) split at the same pixel.
    auto across = [w](int eighths) { return static_cast<float>((w * eighths + 4) / 8); };
    auto down = [h](int eighths) { return static_cast<float>((h * eighths + 4) / 8); };
    const auto fw = static_cast<float>(w);
    const auto fh = static_cast<float>(h);
    const int index = BLOCK_ELEMENTS.placeOf(code_point);
    if (index == 0) { // ▀
        appendRect(c, 0, 0, fw, down(4), 4, pieces);
    } else if (index <= 8) { // ▁ to █: the lower eighths
        appendRect(c, 0, down(8 - index), fw, fh, 4, pieces);
    } else if (index <= 15) { // ▉ to ▏: the left eighths
        appendRect(c, 0, 0, across(16 - index), fh, 4, pieces);
    } else if (index == 16) { // ▐
        appendRect(c, across(4), 0, fw, fh, 4, pieces);
    } else if (index <= 19) { // ░ ▒ ▓: the colour a quarter, half and three quarters over the background
        appendRect(c, 0, 0, fw, fh, static_cast<std::uint8_t>(index - 16), pieces);
    } else if (index == 20) { // ▔
        appendRect(c, 0, 0, fw, down(1), 4, pieces);
    } else if (index == 21) { // ▕
        appendRect(c, across(7), 0, fw, fh, 4, pieces);
    } else {
        // ▖ to ▟: quadrants, one bit each: upper left, upper right, lower left, lower right.
        constexpr std::array<int, 10> QUADRANTS = {0b0010, 0b0001, 0b1000, 0b1011, 0b1001,
                                                   0b1110, 0b1101, 0b0100, 0b0110, 0b0111};
        const int quadrants = QUADRANTS[static_cast<std::size_t>(index - 22)];
        const float mx = across(4);
        const float my = down(4);
        if (quadrants & 0b1000)
            appendRect(c, 0, 0, mx, my, 4, pieces);
        if (quadrants & 0b0100)
            appendRect(c, mx, 0, fw, my, 4, pieces);
        if (quadrants & 0b0010)
            appendRect(c, 0, my, mx, fh, 4, pieces);
        if (quadrants & 0b0001)
            appendRect(c, mx, my, fw, fh, 4, pieces);
    }
}

} // namespace

bool BoxDrawing::drawsItself(char32_t code_point) {
    return BOX_DRAWING.holds(code_point) || BLOCK_ELEMENTS.holds(code_point);
}

void BoxDrawing::appendPieces(char32_t code_point, int width, int height, int line, sf::Vector2f texel,
                              std::vector<Piece>& pieces) {
    if (!drawsItself(code_point) || width <= 0 || height <= 0)
        return;
    const Cell cell{width, height, std::max(line, 1), texel};
    if (BLOCK_ELEMENTS.holds(code_point)) {
        appendBlock(cell, code_point, pieces);
        return;
    }
    if (TRIPLE_AND_QUADRUPLE_DASHES.holds(code_point)) {
        const int index = TRIPLE_AND_QUADRUPLE_DASHES.placeOf(code_point);
        appendDashes(cell, index < 4 ? 3 : 4, 1 + (index & 1), (index & 2) != 0, pieces);
        return;
    }
    if (DOUBLE_DASHES.holds(code_point)) {
        const int index = DOUBLE_DASHES.placeOf(code_point);
        appendDashes(cell, 2, 1 + (index & 1), (index & 2) != 0, pieces);
        return;
    }
    if (ARCS.holds(code_point)) {
        constexpr std::array<int, 4> ACROSS = {1, -1, -1, 1};
        constexpr std::array<int, 4> DOWNWARD = {1, 1, -1, -1};
        const auto index = static_cast<std::size_t>(ARCS.placeOf(code_point));
        appendArc(cell, ACROSS[index], DOWNWARD[index], pieces);
        return;
    }
    if (DIAGONALS.holds(code_point)) {
        if (code_point != FALLING_DIAGONAL)
            appendDiagonal(cell, true, pieces);
        if (code_point != RISING_DIAGONAL)
            appendDiagonal(cell, false, pieces);
        return;
    }
    const char* arms = ARMS[static_cast<std::size_t>(BOX_DRAWING.placeOf(code_point))];
    std::array<int, 4> arm{};
    bool any_double = false;
    for (std::size_t i = 0; i < 4; i++) {
        arm[i] = arms[i] - '0';
        any_double = any_double || arm[i] == 3;
    }
    if (any_double)
        appendDoubleLines(cell, arm, pieces);
    else
        appendPlainLines(cell, arm, pieces);
}

void BoxDrawing::appendReplacementBox(int width, int height, int line, sf::Vector2f texel,
                                      std::vector<Piece>& pieces) {
    if (width <= 0 || height <= 0)
        return;
    const Cell c{width, height, std::max(line, 1), texel};
    const auto t = static_cast<float>(c.line);
    const auto x0 = static_cast<float>(width / 6);
    const auto x1 = static_cast<float>(width - width / 6);
    const auto y0 = static_cast<float>(height / 6);
    const auto y1 = static_cast<float>(height - height / 6);
    appendRect(c, x0, y0, x1, y0 + t, 4, pieces);
    appendRect(c, x0, y1 - t, x1, y1, 4, pieces);
    appendRect(c, x0, y0 + t, x0 + t, y1 - t, 4, pieces);
    appendRect(c, x1 - t, y0 + t, x1, y1 - t, 4, pieces);
}

} // namespace vt
