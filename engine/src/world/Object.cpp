#include "vintrel/world/Object.h"

#include <algorithm>
#include <climits>
#include <sstream>
#include <unordered_set>

#include "core/TextTables.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/Geometry.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/events/Event.h"
#include "vintrel/input/InputManager.h"
#include "vintrel/media/ResourceManager.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/paths/EventPath.h"
#include "vintrel/paths/PathFind.h"
#include "vintrel/paths/PathManager.h"
#include "vintrel/world/SceneGraph.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

int Object::next_id = 1;
int Object::next_onlooker_id = -1;

namespace {

// How much smaller than its sprite an inset box is, as the 0.99 box of an
// object without a sprite is smaller than its cell.
constexpr float SPRITE_BOX_INSET = 0.01f;

// The manager that holds interest in an event of this name.
Manager& managerFor(const std::string& event_type) {
    if (event_type == EVENT_KEYBOARD || event_type == EVENT_MOUSE)
        return InputManager::getInstance();
    if (event_type == EVENT_STEP)
        return GameManager::getInstance();
    if (text::isNetworkEvent(event_type))
        return NetworkManager::getInstance();
    return WorldManager::getInstance();
}

// The ids of the objects that were in the world when numbering last started
// again from 1, and the largest of them; new ids pass over these.
std::unordered_set<int> ids_in_use;
int largest_id_in_use = 0;

} // namespace

int Object::takeNextId() {
    while (next_id < INT_MAX && ids_in_use.count(next_id) != 0)
        next_id++;
    if (!ids_in_use.empty() && next_id > largest_id_in_use)
        std::unordered_set<int>().swap(ids_in_use);
    const int id = next_id;
    if (next_id < INT_MAX) {
        next_id++;
        return id;
    }
    // Records can move the counter here long before that many objects exist.
    ids_in_use.clear();
    largest_id_in_use = 0;
    const ObjectList all = WorldManager::getInstance().getAllObjects(true);
    for (int i = 0; i < all.getCount(); i++) {
        ids_in_use.insert(all[i]->getId());
        largest_id_in_use = std::max(largest_id_in_use, all[i]->getId());
    }
    next_id = 1;
    LogManager::getInstance().writeLog(
        "Object::Object(): Warning! Object ids used up; numbering starts again from 1, passing over the %d "
        "ids in use.",
        static_cast<int>(ids_in_use.size()));
    return id;
}

int Object::takeNextOnlookerId() {
    const int id = next_onlooker_id;
    if (next_onlooker_id > INT_MIN)
        next_onlooker_id--;
    return id;
}

int Object::resetIds() {
    if (WorldManager::getInstance().getAllObjects(true).getCount() > 0) {
        LogManager::getInstance().writeLog("Object::resetIds(): Warning! The world still holds objects.");
        return -1;
    }
    next_id = 1;
    next_onlooker_id = -1;
    ids_in_use.clear();
    largest_id_in_use = 0;
    return 0;
}

Object::Object() : Object(takeNextId(), false) {}

Object::Object(Onlooker) : Object(takeNextOnlookerId(), true) {}

Object::Object(int id, bool is_onlooker)
    : m_id(id), m_is_onlooker(is_onlooker), m_type("(Undefined)"), m_is_active(true), m_is_visible(true),
      m_box(Vector(-0.5f, -0.5f), 0.99f, 0.99f), m_position(1, 1), m_direction(0, 0), m_speed(0),
      m_acceleration(0, 0), m_altitude(2), m_solidness(HARD), m_animation(), m_no_soft(false), m_event_name(),
      m_modified(ALL_ATTRIBUTES), m_shape(), m_p_path_search(nullptr), m_path(), m_follow_path(false),
      m_avoid_collisions(false), m_collision_layer(ALL_COLLISION_LAYERS),
      m_collision_mask(ALL_COLLISION_LAYERS), m_uses_collision_layers(false),
      m_sprite_box_inset(Config::getInstance().getSpriteBoxInset()), m_p_scene(nullptr), m_is_frozen(false) {
    m_list_slot.fill(-1);
    m_shape.setType(-1);
    WorldManager::getInstance().insertObject(this);
}

Object::~Object() {
    while (!m_event_name.empty()) {
        const std::string name = m_event_name.back();
        if (unregisterInterest(name) == -1) {
            // The manager no longer holds it; forget the name regardless.
            m_event_name.pop_back();
        }
    }
    clearPathSearch();
    WorldManager::getInstance().removeObject(this);
}

void Object::setId(int id) {
    m_id = id;
    markModified(ID);
}

void Object::setType(const std::string& type) {
    WorldManager::getInstance().getSceneGraph().updateType(this, type);
    m_type = type;
    markModified(TYPE);
}

int Object::setPosition(const Vector& position) {
    if (position == m_position)
        return 0;
    WorldManager::getInstance().getSceneGraph().updatePosition(this, position);
    markModified(POSITION);
    m_position = position;
    return 0;
}

int Object::eventHandler(const Event* p_event) {
    if (p_event->getType() != EVENT_PATH)
        return 0;
    const auto* p_path_event = dynamic_cast<const EventPath*>(p_event);
    if (!p_path_event) {
        LogManager::getInstance().writeLog(
            "Object::eventHandler(): Error! Dynamic cast to EventPath failed.");
        return 0;
    }
    if (p_path_event->getStatus() == EventPath::FOUND) {
        setPath(p_path_event->getPath());
        setFollowPath(true);
    }
    clearPathSearch();
    return 1;
}

int Object::setSolidness(Solidness solidness) {
    if (solidness == m_solidness)
        return 0;
    if (static_cast<unsigned>(solidness) > static_cast<unsigned>(SPECTRAL)) {
        LogManager::getInstance().writeLog(
            "Object::setSolidness(): Solidness %d not one of HARD, SOFT or SPECTRAL.",
            static_cast<int>(solidness));
        return -1;
    }
    if (WorldManager::getInstance().getSceneGraph().updateSolidness(this, solidness) == -1)
        return -1;
    markModified(SOLIDNESS);
    m_solidness = solidness;
    return 0;
}

void Object::setAvoidCollisions(bool avoid_collisions) {
    m_avoid_collisions = avoid_collisions;
    markModified(AVOID_COLLISIONS);
}

int Object::setAltitude(int altitude) {
    if (altitude == m_altitude)
        return 0;
    if (altitude < ALTITUDE_MIN || altitude > ALTITUDE_MAX) {
        LogManager::getInstance().writeLog(
            "Object::setAltitude(): Altitude %d not in range [%d,%d].  Ignored.", altitude, ALTITUDE_MIN,
            ALTITUDE_MAX);
        return -1;
    }
    if (WorldManager::getInstance().getSceneGraph().updateAltitude(this, altitude) == -1)
        return -1;
    markModified(ALTITUDE);
    m_altitude = altitude;
    return 0;
}

void Object::setDirection(const Vector& direction) { m_direction = direction; }

void Object::setVelocity(const Vector& velocity) {
    m_speed = velocity.getMagnitude();
    Vector direction = velocity;
    direction.normalize();
    m_direction = direction;
    markModified(DIRECTION | SPEED);
}

void Object::setAcceleration(const Vector& acceleration) {
    m_acceleration = acceleration;
    markModified(ACCELERATION);
}

bool Object::isVisible() const { return m_is_visible; }

int Object::setActive(bool active) {
    if (active == m_is_active)
        return 0;
    // The scene graph adds up its lists' refusals: any negative sum is one.
    if (WorldManager::getInstance().getSceneGraph().updateActive(this, active) < 0)
        return -1;
    markModified(ACTIVE);
    m_is_active = active;
    return 0;
}

int Object::setVisible(bool visible) {
    if (visible == isVisible())
        return 0;
    if (WorldManager::getInstance().getSceneGraph().updateVisible(this, visible) == -1)
        return -1;
    m_is_visible = visible;
    markModified(VISIBLE);
    return 0;
}

void Object::setBox(const Box& box) {
    if (box == m_box)
        return;
    // Leave and re-enter the index so that the grid cells follow the new box.
    SceneGraph& scene_graph = WorldManager::getInstance().getSceneGraph();
    scene_graph.removeObject(this);
    m_box = box;
    scene_graph.insertObject(this);
    markModified(BOX);
}

int Object::setSprite(const std::string& sprite_label) {
    Sprite* p_sprite = ResourceManager::getInstance().getSprite(sprite_label);
    if (!p_sprite) {
        LogManager::getInstance().writeLog("Object::setSprite(): Warning! Sprite '%s' not found",
                                           clipForLog(sprite_label).c_str());
        return -1;
    }
    m_animation.setSprite(p_sprite);
    setBox(spriteBox());
    return 0;
}

void Object::setAnimation(const Animation& animation, bool set_box) {
    m_animation = animation;
    markModified(ANIMATION);
    if (set_box)
        setBox(spriteBox());
}

Box Object::spriteBox() const {
    const Box box = m_animation.getBox();
    // Without a sprite the animation's box is already the inset one.
    if (!m_sprite_box_inset || !m_animation.getSprite())
        return box;
    return Box(box.getCorner(), box.getHorizontal() - SPRITE_BOX_INSET, box.getVertical() - SPRITE_BOX_INSET);
}

void Object::setSpriteBoxInset(bool inset) {
    if (inset == m_sprite_box_inset)
        return;
    // Only a box that follows the sprite changes; one the game set is its own.
    const bool box_follows_sprite = m_box == spriteBox();
    m_sprite_box_inset = inset;
    if (box_follows_sprite)
        setBox(spriteBox());
}

void Object::setCollisionLayer(std::uint32_t layer) {
    m_collision_layer = layer;
    m_uses_collision_layers = true;
    markModified(COLLISION_LAYERS);
}

void Object::setCollisionMask(std::uint32_t mask) {
    m_collision_mask = mask;
    m_uses_collision_layers = true;
    markModified(COLLISION_LAYERS);
}

int Object::draw() {
    const int result = m_animation.draw(m_position);
    if (m_shape.getType() != -1)
        m_shape.draw(m_position);
    return result;
}

void Object::setModified(std::uint32_t modified) { m_modified = modified; }

std::uint32_t Object::getModified() const { return m_modified; }

void Object::setShape(const Shape& shape) {
    m_shape = shape;
    markModified(SHAPE);
}

void Object::setFollowPath(bool follow_path) {
    m_follow_path = follow_path;
    if (!m_path.isDone()) {
        Vector toward = m_path.getCurrent() - m_position;
        toward.normalize();
        setDirection(toward);
    }
    markModified(FOLLOW_PATH);
}

void Object::setSpeed(float speed) {
    m_speed = speed;
    markModified(SPEED);
}

Vector Object::getVelocity() const {
    Vector velocity = m_direction;
    velocity.scale(m_speed);
    return velocity;
}

bool Object::isSolid() const { return m_solidness == HARD || m_solidness == SOFT; }

void Object::setNoSoft(bool no_soft) {
    m_no_soft = no_soft;
    markModified(NO_SOFT);
}

void Object::setPath(const Path& path) {
    m_path = path;
    markModified(PATH);
}

void Object::setPathSearch(PathFind* p_path_search) {
    if (p_path_search == m_p_path_search)
        return;
    clearPathSearch();
    m_p_path_search = p_path_search;
}

void Object::clearPathSearch() {
    if (!m_p_path_search)
        return;
    PathManager::getInstance().removeSearch(m_p_path_search);
    delete m_p_path_search;
    m_p_path_search = nullptr;
}

Vector Object::predictPosition() const { return m_position + getVelocity(); }

int Object::registerInterest(const std::string& event_type) {
    if (getEventCount() >= MAX_OBJECT_EVENTS) {
        LogManager::getInstance().writeLog(
            "Object::registerInterest(): maximum (%d) reached, cannot register for event '%s'",
            MAX_OBJECT_EVENTS, clipForLog(event_type).c_str());
        return -1;
    }
    if (managerFor(event_type).registerInterest(this, event_type) == -1)
        return -1;
    m_event_name.push_back(event_type);
    markModified(EVENTS);
    return 0;
}

int Object::unregisterInterest(const std::string& event_type) {
    for (std::size_t i = 0; i < m_event_name.size(); i++) {
        if (m_event_name[i] != event_type)
            continue;
        if (managerFor(event_type).unregisterInterest(this, event_type) == -1)
            return -1;
        m_event_name.erase(m_event_name.begin() + static_cast<std::ptrdiff_t>(i));
        markModified(EVENTS);
        return 0;
    }
    LogManager::getInstance().writeLog("Object::unregisterInterest(): event '%s' not previously registered",
                                       clipForLog(event_type).c_str());
    return -1;
}

std::string Object::getEventName(int index) const {
    if (index < 0 || index >= getEventCount())
        return "";
    return m_event_name[static_cast<std::size_t>(index)];
}

void Object::stepAlongPath() {
    if (!m_follow_path)
        return;
    while (!m_path.isDone()) {
        const Vector node = m_path.getCurrent();
        const float d = distance(m_position, node);
        const float step_reach = m_speed * 3.0f;
        if (static_cast<double>(d) > static_cast<double>(step_reach) * 0.25) {
            Vector toward = node - m_position;
            toward.normalize();
            setDirection(toward);
            return;
        }
        setPosition(node);
        m_path.advance();
        markModified(PATH);
    }
    setDirection(Vector(0, 0));
    setFollowPath(false);
}

void Object::applyAcceleration() {
    if (m_acceleration == Vector(0, 0))
        return;
    setVelocity(getVelocity() + m_acceleration);
}

int Object::startTimer(const std::string& name, int steps, TimerRepeat repeat) {
    return WorldManager::getInstance().startTimer(this, name, steps, repeat);
}

int Object::cancelTimer(const std::string& name) {
    return WorldManager::getInstance().cancelTimer(this, name);
}

} // namespace vt
