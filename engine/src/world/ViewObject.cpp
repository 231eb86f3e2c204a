#include "vintrel/world/ViewObject.h"

#include <cstdint>
#include <limits>

#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/events/EventView.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/world/WorldManager.h"
#include "vintrel/world/WorldUtility.h"

namespace vt {

namespace {

// Where location 0 to 8 puts a view object, in view coordinates.
Vector locationPosition(int location, bool border) {
    const Box view = WorldManager::getInstance().getView();
    const float horizontal = view.getHorizontal();
    const float vertical = view.getVertical();

    float x = horizontal * 3 / 6;
    switch (location % 3) {
    case 0:
        x = horizontal / 6;
        break;
    case 2:
        x = horizontal * 5 / 6;
        break;
    default:
        break;
    }
    const float border_rows = border ? 0.0f : 1.0f;
    float y = 0;
    if (location < 3)
        y = 1 - border_rows;
    else if (location < 6)
        y = vertical * 0.5f - border_rows;
    else
        y = vertical - 2 + border_rows;
    return Vector(x, y);
}

} // namespace

std::string locationToString(int location) {
    switch (location) {
    case TOP_LEFT:
        return "top-left";
    case TOP_CENTER:
        return "top-center";
    case TOP_RIGHT:
        return "top-right";
    case CENTER_LEFT:
        return "center-left";
    case CENTER_CENTER:
        return "center-center";
    case CENTER_RIGHT:
        return "center-right";
    case BOTTOM_LEFT:
        return "bot-left";
    case BOTTOM_CENTER:
        return "bot-center";
    case BOTTOM_RIGHT:
        return "bot-right";
    default:
        return "unknown";
    }
}

ViewObject::ViewObject()
    : m_view_string(), m_value(0), m_draw_value(true), m_border(true), m_color(WHITE), m_location(-1) {
    setSolidness(SPECTRAL);
    setAltitude(ALTITUDE_MAX);
    setType("ViewObject");
    setPosition(locationPosition(TOP_CENTER, m_border));
    m_location = TOP_CENTER;
    mark(APPEARANCE);
    registerInterest(EVENT_VIEW);
    mark(VALUE | APPEARANCE);
}

ViewObject::~ViewObject() = default;

void ViewObject::mark(std::uint32_t attributes) { setModified(getModified() | attributes); }

int ViewObject::setPosition(const Vector& view_pos) {
    if (view_pos == getPosition())
        return 0;
    m_location = -1;
    const int result = Object::setPosition(view_pos);
    mark(APPEARANCE);
    return result;
}

int ViewObject::eventHandler(const Event* p_event) {
    if (p_event->getType() != EVENT_VIEW)
        return Object::eventHandler(p_event);
    const auto* p_view_event = static_cast<const EventView*>(p_event);
    if (p_view_event->getTag() != m_view_string)
        return 0;
    if (p_view_event->getDelta()) {
        // Summed wide and held at the ends of the range, so no sender can overflow it.
        const std::int64_t sum = static_cast<std::int64_t>(m_value) + p_view_event->getValue();
        const std::int64_t low = std::numeric_limits<std::int32_t>::min();
        const std::int64_t high = std::numeric_limits<std::int32_t>::max();
        setValue(static_cast<int>(sum < low ? low : (sum > high ? high : sum)));
    } else {
        setValue(p_view_event->getValue());
    }
    return 1;
}

int ViewObject::draw() {
    std::string text = m_view_string;
    if (m_draw_value)
        text += " " + toString(static_cast<int>(m_value));
    if (m_border)
        text = " " + text + " ";

    DisplayManager& display_manager = DisplayManager::getInstance();
    const Vector pos = viewToWorld(getPosition());
    int result = display_manager.drawText(pos, text, CENTER, m_color);
    if (m_border) {
        // The frame fits the cells the text takes, one per character.
        const auto cells = countUtf8Cells(text);
        const int length = static_cast<int>(cells);
        const std::string rule(cells, '-');
        const float x = pos.getX();
        const float y = pos.getY();
        result += display_manager.drawText(Vector(x, y - 1), rule, CENTER, m_color);
        result += display_manager.drawText(Vector(x, y + 1), rule, CENTER, m_color);
        result += display_manager.drawCharacter(Vector(x - static_cast<float>(length / 2) - 1, y), '|',
                                                m_color, 0.0f);
        result += display_manager.drawCharacter(
            Vector(x - static_cast<float>(length / 2) + static_cast<float>(length), y), '|', m_color, 0.0f);
    }
    return result;
}

void ViewObject::setLocation(int location) {
    if (location < TOP_LEFT || location > BOTTOM_RIGHT) {
        LogManager::getInstance().writeLog(
            "ViewObject::setLocation(): Warning! Location out of range (%d). Ignored.", location);
        return;
    }
    setPosition(locationPosition(location, m_border));
    m_location = location;
    mark(APPEARANCE);
}

void ViewObject::setDrawValue(bool draw_value) {
    if (draw_value == m_draw_value)
        return;
    m_draw_value = draw_value;
    mark(APPEARANCE);
}

void ViewObject::setValue(int value) {
    if (value == m_value)
        return;
    m_value = value;
    mark(VALUE);
}

void ViewObject::setBorder(bool border) {
    if (border == m_border)
        return;
    m_border = border;
    mark(APPEARANCE);
    if (m_location != -1)
        setLocation(m_location);
}

void ViewObject::setColor(Color color) {
    if (color == m_color)
        return;
    m_color = color;
    mark(APPEARANCE);
}

void ViewObject::setViewString(const std::string& view_string) {
    if (view_string == m_view_string)
        return;
    m_view_string = view_string;
    mark(APPEARANCE);
}

} // namespace vt
