#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "vintrel/core/Box.h"
#include "vintrel/core/Vector.h"
#include "vintrel/events/EventTimer.h"
#include "vintrel/media/Animation.h"
#include "vintrel/media/Shape.h"
#include "vintrel/paths/Path.h"

namespace vt {

class Event;
class PathFind;
class Scene;

/// How an object collides.
enum Solidness : int {
    HARD = 0,     ///< collides; cannot move into another HARD object
    SOFT = 1,     ///< collides; blocks only objects with no_soft set
    SPECTRAL = 2, ///< never collides
};

/// Drawing layers: 0 is drawn first.
constexpr int ALTITUDE_MIN = 0;
/// Drawing layers: the highest, drawn last.
constexpr int ALTITUDE_MAX = 4;
/// Most event names one object can register interest in.
constexpr int MAX_OBJECT_EVENTS = 100;

/// Attribute bits of the `modified` mask and of serialized records.
enum ObjectAttribute : std::uint32_t {
    ID = 0x1,
    ACTIVE = 0x2,
    VISIBLE = 0x4,
    EVENTS = 0x8,
    BOX = 0x10,
    POSITION = 0x20,
    TYPE = 0x40,
    ANIMATION = 0x80,
    ALTITUDE = 0x100,
    SOLIDNESS = 0x200,
    NO_SOFT = 0x400,
    SPEED = 0x800,
    DIRECTION = 0x1000,
    ACCELERATION = 0x2000,
    SHAPE = 0x4000,
    PATH = 0x8000,
    FOLLOW_PATH = 0x10000,
    AVOID_COLLISIONS = 0x20000,
    /// Collision layer and mask. Records carry it only for objects that set
    /// either (see setCollisionLayer), so records of every other object stay
    /// as they always were; not part of ALL_ATTRIBUTES for the same reason.
    COLLISION_LAYERS = 0x100000,
};
/// The attribute bits every object has from the start (all but COLLISION_LAYERS).
constexpr std::uint32_t ALL_ATTRIBUTES = 0x3FFFF;

/// A collision layer or mask with every layer: a new object is on all of them
/// and collides with all of them.
constexpr std::uint32_t ALL_COLLISION_LAYERS = 0xFFFFFFFFu;

/// Base of everything in the game world. Objects are created with new and
/// hand themselves to the world manager, which owns and deletes them; game
/// code marks objects with WorldManager::markForDelete instead of deleting.
class Object {
  public:
    Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    /// Unregisters every interest, drops a pending path search and leaves the world.
    virtual ~Object();

    /// Sets the type name other objects recognise it by, such as "Asteroid".
    virtual void setType(const std::string& type);
    /// Moves the object (in spaces); always 0.
    virtual int setPosition(const Vector& position);
    /// Handles an event; 1 when handled, 0 when ignored.
    virtual int eventHandler(const Event* p_event);
    /// HARD, SOFT or SPECTRAL; 0 or -1.
    virtual int setSolidness(Solidness solidness);
    /// With true, a HARD object that meets a HARD obstacle slides along it instead of stopping.
    virtual void setAvoidCollisions(bool avoid_collisions = true);
    /// Drawing layer ALTITUDE_MIN .. ALTITUDE_MAX; 0 or -1.
    virtual int setAltitude(int altitude);
    /// Stores the direction as given, not normalized.
    virtual void setDirection(const Vector& direction);
    /// Sets speed to the vector's length and direction to the unit vector.
    virtual void setVelocity(const Vector& velocity);
    /// Added to the velocity once per step.
    virtual void setAcceleration(const Vector& acceleration);
    /// True when the object is drawn.
    virtual bool isVisible() const;
    /// Inactive objects are neither moved, drawn nor sent events; 0 or -1.
    virtual int setActive(bool active = true);
    /// Bounding box relative to the position.
    virtual void setBox(const Box& box);
    /// Shows the sprite with this label from the resource manager; 0 or -1.
    virtual int setSprite(const std::string& sprite_label);
    /// Copies the animation state; with set_box the box follows the sprite.
    virtual void setAnimation(const Animation& animation, bool set_box = true);
    /// Draws the animation (and the shape) at the position; 0 or -1.
    virtual int draw();
    /// Writes one record of the attributes in attr (0: the modified ones); 0 or -1.
    virtual int serialize(std::stringstream* p_ss, std::uint32_t attr = 0);
    /// Reads one record and applies it; the mask read goes to p_mask when given.
    virtual int deserialize(std::stringstream* p_ss, std::uint32_t* p_mask = nullptr);
    /// Replaces the mask of attributes changed since the last serialize().
    virtual void setModified(std::uint32_t modified);
    /// The mask of attributes changed since the last serialize().
    virtual std::uint32_t getModified() const;
    /// Gives the object a figure drawn after its sprite.
    virtual void setShape(const Shape& shape);
    /// With true, the object walks its path one waypoint at a time.
    virtual void setFollowPath(bool follow_path = true);

    /// The object's number, unique among the objects made since numbering started.
    int getId() const { return m_id; }
    /// True for an object that watches the world without taking part in it
    /// (see Object(Onlooker)).
    bool isOnlooker() const { return m_is_onlooker; }
    /// Only for rebuilding an object from a record.
    void setId(int id);
    /// Numbers the next new object 1 again, as in a fresh process, for programs
    /// that start the engine more than once. Refused (-1, with a log line)
    /// while the world holds objects, whose ids new objects would repeat.
    static int resetIds();
    /// The type name, "(Undefined)" until set.
    std::string getType() const { return m_type; }
    /// True when the object is moved, drawn and sent events.
    bool isActive() const { return m_is_active; }
    /// Shows or hides the object; 0 or -1.
    int setVisible(bool visible = true);
    /// Bounding box relative to the position, in spaces.
    Box getBox() const { return m_box; }
    /// Position in spaces (world cells).
    Vector getPosition() const { return m_position; }
    /// Direction of movement, as set.
    Vector getDirection() const { return m_direction; }
    /// Speed in spaces per step.
    float getSpeed() const { return m_speed; }
    /// Sets the speed in spaces per step, keeping the direction.
    void setSpeed(float speed);
    /// direction x speed, in spaces per step.
    Vector getVelocity() const;
    /// Added to the velocity once per step.
    Vector getAcceleration() const { return m_acceleration; }
    /// Drawing layer, ALTITUDE_MIN .. ALTITUDE_MAX.
    int getAltitude() const { return m_altitude; }
    /// HARD, SOFT or SPECTRAL.
    Solidness getSolidness() const { return m_solidness; }
    /// True for HARD and SOFT.
    bool isSolid() const;
    /// True when SOFT objects block this one.
    bool getNoSoft() const { return m_no_soft; }
    /// With true, SOFT objects block this one as HARD ones do.
    void setNoSoft(bool no_soft = true);
    /// A copy of the animation state.
    Animation getAnimation() const { return m_animation; }
    /// A copy of the figure drawn after the sprite.
    Shape getShape() const { return m_shape; }
    /// True when the object walks its path.
    bool getFollowPath() const { return m_follow_path; }
    /// True when the object slides along HARD obstacles instead of stopping.
    bool getAvoidCollisions() const { return m_avoid_collisions; }

    /// Puts the object on the collision layers whose bits are set (one bit
    /// per layer, 32 layers); ALL_COLLISION_LAYERS, every layer, at first.
    /// Marks COLLISION_LAYERS.
    void setCollisionLayer(std::uint32_t layer);
    /// The layers this object collides with; ALL_COLLISION_LAYERS at first.
    /// Two objects collide only when each one's mask holds a layer of the
    /// other: a bullet with a mask of enemies passes through its own ship
    /// even when the ship's mask would take it. Marks COLLISION_LAYERS.
    void setCollisionMask(std::uint32_t mask);
    /// The collision layers the object is on.
    std::uint32_t getCollisionLayer() const { return m_collision_layer; }
    /// The collision layers the object collides with.
    std::uint32_t getCollisionMask() const { return m_collision_mask; }
    /// True when each object's mask holds a layer of the other's.
    bool collidesWith(const Object& other) const {
        return (m_collision_mask & other.m_collision_layer) != 0 &&
               (other.m_collision_mask & m_collision_layer) != 0;
    }

    /// With true, a sprite gives the object a box 0.01 space smaller than the
    /// sprite on the right and at the bottom, as the box of an object without
    /// a sprite is, so that sprite objects in neighbouring cells do not
    /// collide. Later setSprite and setAnimation calls keep to it. Applies at
    /// once to a box that follows the sprite; a box the game set stays.
    /// Objects start with the configuration's sprite_box_inset (false).
    void setSpriteBoxInset(bool inset = true);
    /// True when a sprite gives the object the inset box.
    bool getSpriteBoxInset() const { return m_sprite_box_inset; }
    /// True when any attribute changed since the last serialize().
    bool isModified() const { return m_modified != 0; }
    /// A copy of the path the object walks.
    Path getPath() const { return m_path; }
    /// Gives the object a path to walk (see setFollowPath).
    void setPath(const Path& path);
    /// The pending path search, owned by the object, or null.
    PathFind* getPathSearch() const { return m_p_path_search; }
    /// Takes ownership of a search (replacing and deleting any pending one).
    void setPathSearch(PathFind* p_path_search);

    /// The position the object will try to reach in the next step.
    Vector predictPosition() const;
    /// Registers interest with the manager that delivers the event; 0 or -1.
    int registerInterest(const std::string& event_type);
    /// Stops delivery of the event type to this object; 0 or -1.
    int unregisterInterest(const std::string& event_type);
    /// Number of event types the object is registered for.
    int getEventCount() const { return static_cast<int>(m_event_name.size()); }
    /// Name of registration index (0 .. getEventCount() - 1); empty outside.
    std::string getEventName(int index) const;

    /// Walks the path one step when following it.
    void stepAlongPath();
    /// Adds the acceleration to the velocity.
    void applyAcceleration();

    /// Asks for an EventTimer named `name` in `steps` steps (see
    /// WorldManager::startTimer); 0 or -1.
    int startTimer(const std::string& name, int steps, TimerRepeat repeat = TIMER_ONCE);
    /// Cancels this object's timer of that name; 0, or -1 when it has none.
    int cancelTimer(const std::string& name);
    /// The scene the object belongs to (the one on top when it was made), or
    /// null for an object made outside every scene.
    Scene* getScene() const { return m_p_scene; }
    /// True while the object's scene is covered by another or leaving: the
    /// object then gets no events and does not move, nothing collides with
    /// it, and it is drawn only when the scenes above show it.
    bool isFrozen() const { return m_is_frozen; }

  protected:
    /// Selects the onlooker constructor.
    struct Onlooker {};
    /// An object that watches the world without taking part in it, such as a
    /// world host: it takes no number from the game's objects (onlookers count
    /// down from -1 instead) and replay checksums pass over it, so that making
    /// one leaves the game and its recording exactly as they would be without it.
    explicit Object(Onlooker);

    /// Marks attribute bits in `modified`.
    void markModified(std::uint32_t attributes) { m_modified |= attributes; }
    /// Drops the pending search: removes it from the path manager and deletes it.
    void clearPathSearch();

  private:
    friend class IndexedObjectList;
    // Describes each attribute of the object's records.
    friend class ObjectRecord;
    // Keeps m_p_scene and m_is_frozen.
    friend class SceneManager;

    // The id for a new object, from next_id. Past the largest int, numbering
    // starts again from 1, passing over the ids of the objects in the world.
    static int takeNextId();
    // The id for a new onlooker, from next_onlooker_id.
    static int takeNextOnlookerId();
    Object(int id, bool is_onlooker);
    // The box a sprite gives: the animation's, inset when asked.
    Box spriteBox() const;

    static int next_id;
    static int next_onlooker_id;

    int m_id;
    bool m_is_onlooker;
    std::string m_type;
    bool m_is_active;
    bool m_is_visible;
    Box m_box;
    Vector m_position;
    Vector m_direction;
    float m_speed;
    Vector m_acceleration;
    int m_altitude;
    Solidness m_solidness;
    Animation m_animation;
    bool m_no_soft;
    // At most MAX_OBJECT_EVENTS names, in registration order.
    std::vector<std::string> m_event_name;
    std::uint32_t m_modified;
    Shape m_shape;
    PathFind* m_p_path_search;
    Path m_path;
    bool m_follow_path;
    bool m_avoid_collisions;
    std::uint32_t m_collision_layer;
    std::uint32_t m_collision_mask;
    // Set once a layer or mask was set: only then do records carry them.
    bool m_uses_collision_layers;
    bool m_sprite_box_inset;
    // Where each kind of the world's lists (IndexedObjectList::Kind) holds
    // this object, -1 where none does; kept by those lists.
    std::array<int, 6> m_list_slot;
    Scene* m_p_scene;
    bool m_is_frozen;
};

} // namespace vt
