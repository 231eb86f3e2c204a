#pragma once

#include <string>

namespace vt {

// Event type names. Every engine name begins "vt-".
/// An event whose type was never set.
inline constexpr char EVENT_UNDEFINED[] = "vt-undefined";
/// Once per step, from the game manager.
inline constexpr char EVENT_STEP[] = "vt-step";
/// To both objects of a collision, unregistered.
inline constexpr char EVENT_COLLISION[] = "vt-collision";
/// To an object that left the world, unregistered.
inline constexpr char EVENT_OUT[] = "vt-out";
/// To an object that met a solid cell of the tile map, unregistered.
inline constexpr char EVENT_TILE_COLLISION[] = "vt-tile-collision";
/// Changes the values of view objects.
inline constexpr char EVENT_VIEW[] = "vt-view";
/// Key pressed, held or released, from the input manager.
inline constexpr char EVENT_KEYBOARD[] = "vt-keyboard";
/// Mouse clicked, held or moved, from the input manager.
inline constexpr char EVENT_MOUSE[] = "vt-mouse";
/// Result of a path search, to the searching object.
inline constexpr char EVENT_PATH[] = "vt-path";
/// A step timer fell due, to the object that started it.
inline constexpr char EVENT_TIMER[] = "vt-timer";
/// Network traffic on a connection.
inline constexpr char EVENT_NETWORK[] = "vt-network";
/// A connection was accepted.
inline constexpr char EVENT_NETWORK_ACCEPT[] = "vt-network-accept";
/// A connection was closed.
inline constexpr char EVENT_NETWORK_CLOSE[] = "vt-network-close";
/// A connection was made, free for games.
inline constexpr char EVENT_NETWORK_CONNECT[] = "vt-network-connect";
/// An object to create, free for games.
inline constexpr char EVENT_NETWORK_CREATE[] = "vt-network-create";
/// An object to delete, free for games.
inline constexpr char EVENT_NETWORK_DELETE[] = "vt-network-delete";
/// Objects to update, free for games.
inline constexpr char EVENT_NETWORK_SYNC[] = "vt-network-sync";
/// The game ended: a WorldMirror sends it when watching stops; free for games too.
inline constexpr char EVENT_NETWORK_GAME_OVER[] = "vt-network-game-over";
/// A key from a peer, free for games.
inline constexpr char EVENT_KEYBOARD_NETWORK[] = "vt-keyboard-network";
/// A mouse action from a peer, free for games.
inline constexpr char EVENT_MOUSE_NETWORK[] = "vt-mouse-network";
/// Anything else a game sends, free for games.
inline constexpr char EVENT_CUSTOM_NETWORK[] = "vt-custom-network";

/// Base of every event: a type name that receivers compare before casting to
/// the concrete class. Events live for one delivery.
class Event {
  public:
    Event();
    virtual ~Event();

    /// Sets the type name receivers compare, such as EVENT_STEP.
    void setType(const std::string& type);
    /// The type name, "vt-undefined" until set.
    std::string getType() const;

  private:
    std::string m_type;
};

/// The event as its concrete class, or null when it is not one (or is null),
/// so that a handler needs neither a type-name compare nor a cast:
/// `if (const auto* p_key = vt::eventAs<vt::EventKeyboard>(p_event)) ...`
template <class EventClass> const EventClass* eventAs(const Event* p_event) {
    return dynamic_cast<const EventClass*>(p_event);
}

/// The event as its concrete class, or null when it is not one.
template <class EventClass> const EventClass* eventAs(const Event& event) {
    return dynamic_cast<const EventClass*>(&event);
}

} // namespace vt
