#pragma once

#include <string>

namespace vt::platform {

/// A connection of the engine's own to the X display the environment names
/// (DISPLAY). The window library ends the process when it cannot connect, so
/// the engine connects first and asks. Held while the window library opens
/// its own connection: an X server without other clients resets when its
/// last client leaves, and a connection made during the reset fails.
class DisplayConnection {
  public:
    DisplayConnection() = default;
    /// Closes the connection if open.
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    /// Connects, trying again for about a second while a named display
    /// refuses (a server in the middle of a reset refuses for a moment);
    /// true when connected.
    bool open();
    /// Lets the connection go; nothing when not open.
    void close();
    /// True while connected.
    [[nodiscard]] bool isOpen() const { return m_p_display != nullptr; }
    /// The display name tried by open(), empty when none is set.
    [[nodiscard]] const std::string& getName() const { return m_name; }

  private:
    void* m_p_display = nullptr; // an Xlib Display, kept out of this header
    std::string m_name;
};

} // namespace vt::platform
