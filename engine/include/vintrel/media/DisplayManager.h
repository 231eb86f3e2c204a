#pragma once

#include "vintrel/core/Color.h"
#include "vintrel/core/Manager.h"
#include "vintrel/world/Vector.h"

namespace vt {

/// The window of character cells.
class DisplayManager : public Manager {
public:
    static DisplayManager& getInstance();
    ~DisplayManager() override;
    int startUp() override;
    void shutDown() override;

    /// Shows the frame drawn in the previous step and clears the back buffer.
    int presentFrame();
    /// Draws one character in the cell at world_pos; 0 or -1.
    int drawCharacter(Vector world_pos, char ch, Color color, float rotation) const;
    /// Window size in characters.
    int getHorizontalChars() const;
    int getVerticalChars() const;

private:
    DisplayManager();
    int m_window_horizontal_chars;
    int m_window_vertical_chars;
};

} // namespace vt
