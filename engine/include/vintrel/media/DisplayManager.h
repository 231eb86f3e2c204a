#pragma once

#include "vintrel/core/Manager.h"

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
    /// Window size in characters.
    int getHorizontalChars() const;
    int getVerticalChars() const;

private:
    DisplayManager();
    int m_window_horizontal_chars;
    int m_window_vertical_chars;
};

} // namespace vt
