#pragma once

#include <string>

namespace vt {

// Event type names. Every engine name begins "vt-".
inline constexpr char EVENT_UNDEFINED[] = "vt-undefined";
inline constexpr char EVENT_STEP[] = "vt-step";
inline constexpr char EVENT_COLLISION[] = "vt-collision";
inline constexpr char EVENT_OUT[] = "vt-out";
inline constexpr char EVENT_VIEW[] = "vt-view";
inline constexpr char EVENT_KEYBOARD[] = "vt-keyboard";
inline constexpr char EVENT_MOUSE[] = "vt-mouse";
inline constexpr char EVENT_PATH[] = "vt-path";
inline constexpr char EVENT_NETWORK[] = "vt-network";
inline constexpr char EVENT_NETWORK_ACCEPT[] = "vt-network-accept";
inline constexpr char EVENT_NETWORK_CLOSE[] = "vt-network-close";
inline constexpr char EVENT_NETWORK_CONNECT[] = "vt-network-connect";
inline constexpr char EVENT_NETWORK_CREATE[] = "vt-network-create";
inline constexpr char EVENT_NETWORK_DELETE[] = "vt-network-delete";
inline constexpr char EVENT_NETWORK_SYNC[] = "vt-network-sync";
inline constexpr char EVENT_NETWORK_GAME_OVER[] = "vt-network-game-over";
inline constexpr char EVENT_KEYBOARD_NETWORK[] = "vt-keyboard-network";
inline constexpr char EVENT_MOUSE_NETWORK[] = "vt-mouse-network";
inline constexpr char EVENT_CUSTOM_NETWORK[] = "vt-custom-network";

/// Base of every event: a type name that receivers compare before casting to
/// the concrete class. Events live for one delivery.
class Event {
  public:
    Event();
    virtual ~Event();

    void setType(const std::string& type);
    std::string getType() const;

  private:
    std::string m_type;
};

} // namespace vt
