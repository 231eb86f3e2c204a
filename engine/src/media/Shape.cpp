#include "vintrel/media/Shape.h"

#include <SFML/Graphics.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <istream>
#include <ostream>

#include "media/SfmlCompat.h"
#include "vintrel/core/Color.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/media/DisplayManager.h"

namespace vt {

namespace {

// Every shape draws through this one figure, so drawing allocates nothing.
sf::CircleShape& sharedFigure() {
    static sf::CircleShape figure(0.0f, 30);
    return figure;
}

bool isShapeType(std::int32_t type) { return type >= SHAPE_UNDEFINED && type <= SHAPE_TRIANGLE; }

const char* shapeTypeName(ShapeType type) {
    switch (type) {
    case SHAPE_CIRCLE:
        return "circle";
    case SHAPE_SQUARE:
        return "square";
    case SHAPE_TRIANGLE:
        return "triangle";
    case SHAPE_UNDEFINED:
        break;
    }
    return "undefined";
}

} // namespace

Shape::Shape()
    : m_color(WHITE), m_red(255), m_green(255), m_blue(255), m_type(SHAPE_CIRCLE), m_size(0.0f),
      m_alpha(255) {
    const float smaller_cell = std::trunc(std::min(cellWidth(), cellHeight()));
    m_size = Config::getInstance().getFontScale() * smaller_cell;
}

void Shape::setType(int type) {
    if (!isShapeType(type)) {
        LogManager::getInstance().writeLog("Shape::setType(): Unknown shape type %d. Ignoring.", type);
        return;
    }
    m_type = static_cast<ShapeType>(type);
}

int Shape::setSize(float size) {
    if (!std::isfinite(size)) {
        LogManager::getInstance().writeLog("Shape::setSize(): Size is not a number. Ignoring.");
        return -1;
    }
    m_size = size;
    return 0;
}

void Shape::draw(const Vector& position) {
    DisplayManager& display_manager = DisplayManager::getInstance();
    sf::RenderWindow* p_window = display_manager.getWindow();
    if (p_window == nullptr) {
        LogManager::getInstance().writeLog(5, "Shape::draw(): DisplayManager window not defined.");
        return;
    }

    const Vector pixels = spacesToPixels(position - DisplayManager::getInstance().getViewCorner());
    const float px = pixels.getX();
    const float py = pixels.getY();

    sf::CircleShape& figure = sharedFigure();
    if (m_color != CUSTOM)
        colorToRGB(m_color, m_red, m_green, m_blue);
    figure.setFillColor(sf::Color(m_red, m_green, m_blue, m_alpha));

    // A square left rotated must not turn the next circle or triangle.
    sfml::setRotation(figure, 0.0f);
    switch (m_type) {
    case SHAPE_CIRCLE: {
        std::size_t points = 10;
        if (m_size < 3)
            points = 3;
        else if (m_size <= 10)
            points = static_cast<std::size_t>(m_size);
        figure.setPointCount(points);
        figure.setRadius(m_size);
        figure.setPosition(sf::Vector2f(px - m_size * 0.5f, py - m_size * 0.5f));
        break;
    }
    case SHAPE_SQUARE: {
        const float font_scale = Config::getInstance().getFontScale();
        figure.setPointCount(4);
        sfml::setRotation(figure, 45.0f);
        figure.setRadius(font_scale > 0 ? m_size / font_scale : m_size);
        figure.setPosition(sf::Vector2f(px + m_size * 0.5f, py - m_size / 1.75f));
        break;
    }
    case SHAPE_TRIANGLE:
        figure.setPointCount(3);
        figure.setRadius(m_size * 0.5f);
        figure.setPosition(sf::Vector2f(px - m_size * 0.5f, py - m_size * 0.5f));
        break;
    case SHAPE_UNDEFINED:
        return;
    }

    LogManager::getInstance().writeLog(25, "Shape::draw(): Drawing at (%.2f, %.2f)", static_cast<double>(px),
                                       static_cast<double>(py));
    display_manager.drawFigure(figure);
}

int Shape::serialize(std::ostream& stream) const {
    const std::int32_t type = m_type;
    const float size = m_size;
    const std::int32_t color = m_color;
    const std::uint8_t alpha = m_alpha;
    stream.write(reinterpret_cast<const char*>(&type), sizeof(type));
    stream.write(reinterpret_cast<const char*>(&size), sizeof(size));
    stream.write(reinterpret_cast<const char*>(&color), sizeof(color));
    stream.write(reinterpret_cast<const char*>(&alpha), sizeof(alpha));
    return checkStream("Shape::serialize()", stream);
}

int Shape::deserialize(std::istream& stream) {
    std::int32_t type = 0;
    float size = 0;
    std::int32_t color = 0;
    std::uint8_t alpha = 0;
    stream.read(reinterpret_cast<char*>(&type), sizeof(type));
    stream.read(reinterpret_cast<char*>(&size), sizeof(size));
    stream.read(reinterpret_cast<char*>(&color), sizeof(color));
    stream.read(reinterpret_cast<char*>(&alpha), sizeof(alpha));
    if (checkStream("Shape::deserialize()", stream) == -1)
        return -1;
    // The bytes come from outside: a figure that could not be drawn is refused whole.
    if (!isShapeType(type) || !std::isfinite(size) || color < BLACK || color > CUSTOM) {
        LogManager::getInstance().writeLog(
            "Shape::deserialize(): Error! Shape type %d, size or color %d not valid.", static_cast<int>(type),
            static_cast<int>(color));
        return -1;
    }
    m_type = static_cast<ShapeType>(type);
    m_size = size;
    m_color = static_cast<Color>(color);
    m_alpha = alpha;
    return 0;
}

std::string Shape::toString() const {
    char size_text[64];
    std::snprintf(size_text, sizeof(size_text), "%f", static_cast<double>(m_size));
    return std::string(shapeTypeName(m_type)) + ", size " + size_text + ", " + colorToString(m_color) + ", " +
           vt::toString(static_cast<int>(m_alpha));
}

} // namespace vt
