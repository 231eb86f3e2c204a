#include "support/WorldDump.h"

#include <cstdio>
#include <map>

#include "vintrel/network/Mirror.h"
#include "vintrel/world/ObjectList.h"
#include "vintrel/world/WorldManager.h"

namespace vt::test {

namespace {

// A mirror's is its source's.
int idOf(const Object* p_o) {
    if (const auto* p_mirror = dynamic_cast<const ObjectMirror*>(p_o))
        return p_mirror->getSourceId();
    if (const auto* p_view_mirror = dynamic_cast<const ViewMirror*>(p_o))
        return p_view_mirror->getSourceId();
    return p_o->getId();
}

std::string describe(const Object* p_o) {
    Vector velocity = p_o->getVelocity();
    int frame = p_o->getAnimation().getIndex();
    int count = p_o->getAnimation().getSlowdownCount();
    if (const auto* p_mirror = dynamic_cast<const ObjectMirror*>(p_o)) {
        velocity = p_mirror->getSourceVelocity();
        frame = p_mirror->getSourceFrame();
        count = p_mirror->getSourceSlowdownCount();
    } else if (const auto* p_view_mirror = dynamic_cast<const ViewMirror*>(p_o)) {
        velocity = p_view_mirror->getSourceVelocity();
        frame = p_view_mirror->getSourceFrame();
        count = p_view_mirror->getSourceSlowdownCount();
    }
    char line[512];
    std::snprintf(line, sizeof(line), "%d %s at %.9g,%.9g moving %.9g,%.9g sprite '%s' %d/%d alt %d %s%s",
                  idOf(p_o), p_o->getType().c_str(), static_cast<double>(p_o->getPosition().getX()),
                  static_cast<double>(p_o->getPosition().getY()), static_cast<double>(velocity.getX()),
                  static_cast<double>(velocity.getY()), p_o->getAnimation().getName().c_str(), frame, count,
                  p_o->getAltitude(), p_o->isActive() ? "active" : "asleep",
                  p_o->isVisible() ? "" : " hidden");
    std::string text = line;
    if (const auto* p_view = dynamic_cast<const ViewObject*>(p_o))
        text += " '" + p_view->getViewString() + "' " + std::to_string(p_view->getValue());
    return text + "\n";
}

} // namespace

std::string describeWorld() { return describeObjects(WorldManager::getInstance().getAllObjects(true)); }

std::string describeObjects(const ObjectList& objects) {
    std::map<int, std::string> lines;
    for (int i = 0; i < objects.getCount(); i++) {
        const std::string type = objects[i]->getType();
        if (type != "WorldHost" && type != "WorldMirror")
            lines[idOf(objects[i])] = describe(objects[i]);
    }
    std::string text;
    for (const auto& entry : lines)
        text += entry.second;
    return text;
}

} // namespace vt::test
