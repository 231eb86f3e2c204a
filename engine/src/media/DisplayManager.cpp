#include "vintrel/media/DisplayManager.h"

#include "vintrel/core/Config.h"

namespace vt {

DisplayManager::DisplayManager() : m_window_horizontal_chars(0), m_window_vertical_chars(0) {
    setType("DisplayManager");
}

DisplayManager::~DisplayManager() = default;

DisplayManager& DisplayManager::getInstance() {
    static DisplayManager display_manager;
    return display_manager;
}

int DisplayManager::startUp() {
    m_window_horizontal_chars = Config::getInstance().getWindowHorizontalChars();
    m_window_vertical_chars = Config::getInstance().getWindowVerticalChars();
    return Manager::startUp();
}

void DisplayManager::shutDown() { Manager::shutDown(); }

int DisplayManager::presentFrame() { return -1; }

int DisplayManager::drawCharacter(Vector, char, Color, float) const { return -1; }

int DisplayManager::getHorizontalChars() const { return m_window_horizontal_chars; }

int DisplayManager::getVerticalChars() const { return m_window_vertical_chars; }

} // namespace vt
