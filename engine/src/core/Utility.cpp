#include "vintrel/core/Utility.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <sstream>
#include <vector>

#include "platform/LocalTime.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

namespace {

// Seven halvings find the last free place within 1/128 of the move: within a cell below 128 cells per step.
constexpr int NORMAL_BISECTION_PASSES = 7;

} // namespace

void colorToRGB(Color color, unsigned char& r, unsigned char& g, unsigned char& b) {
    // Red, green and blue of BLACK .. WHITE, in enumeration order.
    static const unsigned char channels[8][3] = {
        {0, 0, 0},   {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
        {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    if (color == CUSTOM)
        return;
    if (color < BLACK || color > WHITE) {
        LogManager::getInstance().writeLog(5, "colorToRGB(): Color %d not supported.",
                                           static_cast<int>(color));
        return;
    }
    r = channels[color][0];
    g = channels[color][1];
    b = channels[color][2];
}

std::string colorToString(Color color) {
    switch (color) {
    case BLACK:
        return "Black";
    case RED:
        return "Red";
    case GREEN:
        return "Green";
    case YELLOW:
        return "Yellow";
    case BLUE:
        return "Blue";
    case MAGENTA:
        return "Magenta";
    case CYAN:
        return "Cyan";
    case WHITE:
        return "White";
    default:
        return "Unknown color";
    }
}

std::string solidnessToString(Solidness solidness) {
    switch (static_cast<int>(solidness)) {
    case HARD:
        return "hard";
    case SOFT:
        return "soft";
    case SPECTRAL:
        return "spectral";
    default:
        return "undefined";
    }
}

bool valueInRange(float value, float min, float max) { return value >= min && value <= max; }

bool boxContainsPosition(const Box& box, const Vector& p) {
    const Vector corner = box.getCorner();
    return valueInRange(p.getX(), corner.getX(), corner.getX() + box.getHorizontal()) &&
           valueInRange(p.getY(), corner.getY(), corner.getY() + box.getVertical());
}

bool boxIntersectsBox(const Box& a, const Box& b) {
    const float ax1 = a.getCorner().getX();
    const float ay1 = a.getCorner().getY();
    const float ax2 = ax1 + a.getHorizontal();
    const float ay2 = ay1 + a.getVertical();
    const float bx1 = b.getCorner().getX();
    const float by1 = b.getCorner().getY();
    const float bx2 = bx1 + b.getHorizontal();
    const float by2 = by1 + b.getVertical();
    const bool x_overlap = valueInRange(bx1, ax1, ax2) || valueInRange(ax1, bx1, bx2);
    const bool y_overlap = valueInRange(by1, ay1, ay2) || valueInRange(ay1, by1, by2);
    return x_overlap && y_overlap;
}

float distance(const Vector& a, const Vector& b) {
    const float dx = a.getX() - b.getX();
    const float dy = a.getY() - b.getY();
    return std::sqrt(dx * dx + dy * dy);
}

Box getWorldBox(const Object* p_o) { return getWorldBox(p_o, p_o->getPosition()); }

Box getWorldBox(const Object* p_o, const Vector& where) {
    Box box = p_o->getBox();
    Vector corner = box.getCorner();
    corner.setXY(corner.getX() + where.getX(), corner.getY() + where.getY());
    box.setCorner(corner);
    return box;
}

Vector worldToView(const Vector& world_pos) {
    const Vector view_corner = WorldManager::getInstance().getView().getCorner();
    return Vector(world_pos.getX() - view_corner.getX(), world_pos.getY() - view_corner.getY());
}

Vector viewToWorld(const Vector& view_pos) {
    const Vector view_corner = WorldManager::getInstance().getView().getCorner();
    return Vector(view_pos.getX() + view_corner.getX(), view_pos.getY() + view_corner.getY());
}

Vector getNormal(const Object* p_moving, const Object* p_obstacle) {
    return getNormal(p_moving, getWorldBox(p_obstacle));
}

Vector getNormal(const Object* p_moving, const Box& obstacle) {
    const Vector velocity = p_moving->getVelocity();
    const Vector start = p_moving->getPosition();
    Vector last = start;

    // Bisect the move from start to start + velocity for the last place where
    // the mover does not yet touch the obstacle.
    float fraction = 0.5f;
    double step = 1.0;
    for (int pass = 1; pass <= NORMAL_BISECTION_PASSES; pass++) {
        step *= 0.5;
        const Vector probe(start.getX() + velocity.getX() * fraction,
                           start.getY() + velocity.getY() * fraction);
        if (boxIntersectsBox(getWorldBox(p_moving, probe), obstacle)) {
            fraction = fraction - static_cast<float>(step);
        } else {
            last = probe;
            fraction = fraction + static_cast<float>(step);
        }
    }

    const Box mover = getWorldBox(p_moving, last);
    const float width = obstacle.getHorizontal();
    const float height = obstacle.getVertical();
    const float x = obstacle.getCorner().getX();
    const float y = obstacle.getCorner().getY();
    struct Side {
        float x, y, normal_x, normal_y;
    };
    // The four sides are tried before the four corners.
    const Side sides[] = {
        {x, y - height, 0, -1},
        {x, y + height, 0, 1},
        {x - width, y, -1, 0},
        {x + width, y, 1, 0},
        // Corners: up-left, up-right, down-left, down-right.
        {x - width, y - height, -1, -1},
        {x + width, y - height, 1, -1},
        {x - width, y + height, -1, 1},
        {x + width, y + height, 1, 1},
    };
    for (const Side& side : sides) {
        if (boxIntersectsBox(mover, Box(Vector(side.x, side.y), width, height)))
            return Vector(side.normal_x, side.normal_y);
    }
    LogManager::getInstance().writeLog(1, "getNormal(): No collision detected. Returning (0,0).");
    return Vector(0, 0);
}

namespace {

// match() keeps the tables of its last parse until the next call.
std::vector<std::string> g_match_keys;
std::vector<std::string> g_match_values;

} // namespace

std::string match(std::string text, const std::string& key) {
    LogManager& lm = LogManager::getInstance();
    lm.writeLog(25, "match(\"%s\", \"%s\")", clipForLog(text).c_str(), clipForLog(key).c_str());

    std::string compact;
    compact.reserve(text.size());
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            compact += c;

    g_match_keys.clear();
    g_match_values.clear();
    std::size_t slots = 1;
    for (char c : compact)
        if (c == ',')
            slots++;
    lm.writeLog(25, "match(): number of elements allocated is %d", static_cast<int>(slots));
    g_match_keys.reserve(slots);
    g_match_values.reserve(slots);

    // Entries split at ','; empty pieces are skipped, as strtok does.
    int item = 0;
    std::size_t pos = 0;
    while (pos < compact.size()) {
        const std::size_t comma = compact.find(',', pos);
        const std::size_t end = comma == std::string::npos ? compact.size() : comma;
        if (end == pos) {
            pos = end + 1;
            continue;
        }
        const std::string element = compact.substr(pos, end - pos);
        pos = end + 1;

        lm.writeLog(25, "\titem number %d", item);
        lm.writeLog(28, "\tp_element is '%s' (%p)", clipForLog(element).c_str(),
                    static_cast<const void*>(element.c_str()));

        std::size_t key_start = element.find_first_not_of(':');
        if (key_start == std::string::npos)
            break;
        std::size_t key_end = element.find(':', key_start);
        if (key_end == std::string::npos)
            key_end = element.size();
        const std::string token = element.substr(key_start, key_end - key_start);
        lm.writeLog(28, "\ttoken is '%s' (%p)", clipForLog(token).c_str(),
                    static_cast<const void*>(token.c_str()));
        lm.writeLog(25, "\tkey %s", clipForLog(token).c_str());

        std::string value;
        const std::size_t value_start = element.find_first_not_of(':', key_end);
        if (value_start != std::string::npos) {
            const std::size_t value_end = element.find(':', value_start);
            value = element.substr(value_start, value_end == std::string::npos ? std::string::npos
                                                                               : value_end - value_start);
        }
        lm.writeLog(25, "\tval %s", clipForLog(value).c_str());
        g_match_keys.push_back(token);
        g_match_values.push_back(value);
        item++;
    }

    lm.writeLog(25, "match(): parsed.");
    for (std::size_t i = 0; i < g_match_keys.size(); i++)
        lm.writeLog(28, "\t%d  %s : %s", static_cast<int>(i), clipForLog(g_match_keys[i]).c_str(),
                    clipForLog(g_match_values[i]).c_str());

    lm.writeLog(25, "match(): Looking for match '%s' among %d items.", clipForLog(key).c_str(),
                static_cast<int>(g_match_keys.size()));
    for (std::size_t i = 0; i < g_match_keys.size(); i++) {
        lm.writeLog(28, "match(): %d: %s == %s?", static_cast<int>(i), clipForLog(key).c_str(),
                    clipForLog(g_match_keys[i]).c_str());
        if (g_match_keys[i] == key)
            return g_match_values[i];
    }
    return "";
}

std::string toString(int value) {
    std::ostringstream stream;
    stream << value;
    return stream.str();
}

std::string toString(float value) {
    std::ostringstream stream;
    stream << value;
    return stream.str();
}

std::string toBitString(std::uint32_t value) {
    std::string bits(32, '0');
    for (int i = 0; i < 32; i++)
        if (value & (1u << (31 - i)))
            bits[static_cast<std::size_t>(i)] = '1';
    return bits;
}

std::string clipForLog(const std::string& text) {
    std::size_t length = std::min(text.size(), MAX_QUOTED_CHARS);
    const bool cut = length < text.size();
    // A cut never splits a UTF-8 sequence: it backs off to the sequence's start.
    if (cut)
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            length--;
    std::string clipped = text.substr(0, length);
    for (char& c : clipped) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F)
            c = '?';
    }
    if (cut)
        clipped += "...";
    return clipped;
}

int checkStream(const std::string& where, const std::ios& stream) {
    if (stream.good())
        return 0;
    LogManager& lm = LogManager::getInstance();
    if (stream.eof())
        lm.writeLog("%s: Error! Stream eof.", where.c_str());
    else if (stream.fail())
        lm.writeLog("%s: Error! Stream fail.", where.c_str());
    else if (stream.bad())
        lm.writeLog("%s: Error! Stream bad.", where.c_str());
    else
        lm.writeLog("%s: Error! Stream error.", where.c_str());
    return -1;
}

const char* getTimeString() {
    static char time_str[32];
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (platform::localTimeOfDay(&hours, &minutes, &seconds) == 0)
        std::snprintf(time_str, sizeof(time_str), "%02d:%02d:%02d", hours, minutes, seconds);
    else
        std::snprintf(time_str, sizeof(time_str), "(time error)");
    return time_str;
}

} // namespace vt
