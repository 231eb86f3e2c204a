#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "vintrel/core/Box.h"
#include "vintrel/core/Vector.h"
#include "vintrel/media/Animation.h"
#include "vintrel/media/Shape.h"
#include "vintrel/paths/Path.h"

namespace vt {

class Event;
class PathFind;

/// How an object collides.
enum Solidness : int {
    HARD = 0,     ///< collides; cannot move into another HARD object
    SOFT = 1,     ///< collides; blocks only objects with no_soft set
    SPECTRAL = 2, ///< never collides
};

/// Drawing layers: 0 is drawn first.
constexpr int ALTITUDE_MIN = 0;
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
};
constexpr std::uint32_t ALL_ATTRIBUTES = 0x3FFFF;

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

    virtual void setType(const std::string& type);
    /// Moves the object (in spaces); always 0.
    virtual int setPosition(const Vector& position);
    /// Handles an event; 1 when handled, 0 when ignored.
    virtual int eventHandler(const Event* p_event);
    /// HARD, SOFT or SPECTRAL; 0 or -1.
    virtual int setSolidness(Solidness solidness);
    virtual void setAvoidCollisions(bool avoid_collisions = true);
    /// Drawing layer ALTITUDE_MIN .. ALTITUDE_MAX; 0 or -1.
    virtual int setAltitude(int altitude);
    /// Stores the direction as given, not normalized.
    virtual void setDirection(const Vector& direction);
    /// Sets speed to the vector's length and direction to the unit vector.
    virtual void setVelocity(const Vector& velocity);
    /// Added to the velocity once per step.
    virtual void setAcceleration(const Vector& acceleration);
    virtual bool isVisible() const;
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
    virtual void setModified(std::uint32_t modified);
    virtual std::uint32_t getModified() const;
    virtual void setShape(const Shape& shape);
    virtual void setFollowPath(bool follow_path = true);

    int getId() const { return m_id; }
    /// Only for rebuilding an object from a record.
    void setId(int id);
    std::string getType() const { return m_type; }
    bool isActive() const { return m_is_active; }
    int setVisible(bool visible = true);
    Box getBox() const { return m_box; }
    Vector getPosition() const { return m_position; }
    Vector getDirection() const { return m_direction; }
    float getSpeed() const { return m_speed; }
    void setSpeed(float speed);
    /// direction x speed, in spaces per step.
    Vector getVelocity() const;
    Vector getAcceleration() const { return m_acceleration; }
    int getAltitude() const { return m_altitude; }
    Solidness getSolidness() const { return m_solidness; }
    /// True for HARD and SOFT.
    bool isSolid() const;
    bool getNoSoft() const { return m_no_soft; }
    void setNoSoft(bool no_soft = true);
    Animation getAnimation() const { return m_animation; }
    Shape getShape() const { return m_shape; }
    bool getFollowPath() const { return m_follow_path; }
    bool getAvoidCollisions() const { return m_avoid_collisions; }
    bool isModified() const { return m_modified != 0; }
    Path getPath() const { return m_path; }
    void setPath(const Path& path);
    /// The pending path search, owned by the object, or null.
    PathFind* getPathSearch() const { return m_p_path_search; }
    /// Takes ownership of a search (replacing and deleting any pending one).
    void setPathSearch(PathFind* p_path_search);

    /// The position the object will try to reach in the next step.
    Vector predictPosition() const;
    /// Registers interest with the manager that delivers the event; 0 or -1.
    int registerInterest(const std::string& event_type);
    int unregisterInterest(const std::string& event_type);
    int getEventCount() const { return static_cast<int>(m_event_name.size()); }
    std::string getEventName(int index) const;

    /// Walks the path one step when following it.
    void stepAlongPath();
    /// Adds the acceleration to the velocity.
    void applyAcceleration();

  protected:
    /// Marks attribute bits in `modified`.
    void markModified(std::uint32_t attributes) { m_modified |= attributes; }
    /// Drops the pending search: removes it from the path manager and deletes it.
    void clearPathSearch();

  private:
    static int next_id;

    int m_id;
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
};

} // namespace vt
