#include "replay/CheckpointDetail.h"

#include <set>
#include <unordered_map>

#include "core/ByteCodec.h"
#include "vintrel/core/ObjectList.h"
#include "vintrel/world/WorldManager.h"

namespace vt::replay {

namespace {

// Walks a detail's entries: on_object(id) for each object, then
// on_attribute(id, slot, bytes) for each of its attributes. False, with the
// reason, when the bytes are not a detail or on_object refuses an id.
template <typename ON_OBJECT, typename ON_ATTRIBUTE>
bool readDetail(const std::string& detail, std::string& error, ON_OBJECT on_object,
                ON_ATTRIBUTE on_attribute) {
    ByteReader in(detail);
    bool first = true;
    int previous_id = 0;
    while (in.left() > 0) {
        int id = 0;
        std::uint32_t mask = 0;
        if (!in.i32(id) || !in.u32(mask)) {
            error = "an object's detail is cut short";
            return false;
        }
        if (mask == 0 || (mask & ~EVERY_ATTRIBUTE) != 0 || (!first && id <= previous_id) || !on_object(id)) {
            error = "the detail of object " + std::to_string(id) + " does not fit its checkpoint";
            return false;
        }
        for (std::size_t slot = 0; slot < ATTRIBUTE_SLOTS; slot++) {
            if ((mask & (1u << slot)) == 0)
                continue;
            std::uint32_t length = 0;
            std::string bytes;
            if (!in.u32(length) || !in.raw(bytes, length)) {
                error = "the detail of object " + std::to_string(id) + " is cut short";
                return false;
            }
            on_attribute(id, slot, std::move(bytes));
        }
        first = false;
        previous_id = id;
    }
    return true;
}

} // namespace

std::string CheckpointDetail::take(const ReplayFile::Checkpoint& checkpoint) {
    static const AttributeBytes NOTHING_SEEN;
    std::unordered_map<int, Object*> world;
    const auto objectWithId = [&world](int id) -> Object* {
        // Found only once some object changed: a quiet world costs nothing more.
        if (world.empty()) {
            const ObjectList all = WorldManager::getInstance().getAllObjects(true);
            for (int i = 0; i < all.getCount(); i++)
                world.emplace(all[i]->getId(), all[i]);
        }
        const auto found = world.find(id);
        return found != world.end() ? found->second : nullptr;
    };

    ByteWriter out;
    std::map<int, Seen> seen_now;
    for (const ReplayFile::ObjectSum& sum : checkpoint.objects) {
        const auto last = m_last.find(sum.id);
        if (last != m_last.end() && last->second.hash == sum.hash) {
            seen_now.emplace(sum.id, last->second);
            continue;
        }
        Object* p_object = objectWithId(sum.id);
        if (p_object == nullptr)
            continue;
        auto attributes = std::make_shared<const AttributeBytes>(attributeBytes(*p_object));
        const AttributeBytes& before = last != m_last.end() ? *last->second.attributes : NOTHING_SEEN;
        std::uint32_t mask = 0;
        for (std::size_t slot = 0; slot < ATTRIBUTE_SLOTS; slot++)
            if ((*attributes)[slot] != before[slot])
                mask |= 1u << slot;
        if (mask != 0) {
            out.i32(sum.id);
            out.u32(mask);
            for (std::size_t slot = 0; slot < ATTRIBUTE_SLOTS; slot++) {
                if ((mask & (1u << slot)) == 0)
                    continue;
                out.u32(static_cast<std::uint32_t>((*attributes)[slot].size()));
                out.raw((*attributes)[slot]);
            }
        }
        seen_now.emplace(sum.id, Seen{sum.hash, std::move(attributes)});
    }
    m_before_last = std::move(m_last);
    m_last = std::move(seen_now);
    return out.bytes();
}

void CheckpointDetail::forgetLast() {
    m_last = std::move(m_before_last);
    m_before_last.clear();
}

void CheckpointDetail::clear() {
    m_last.clear();
    m_before_last.clear();
}

bool CheckpointDetail::check(const std::string& detail, const ReplayFile::Checkpoint& checkpoint,
                             std::string& error) {
    // Both lists are in id order: one pass pairs them up.
    std::size_t next = 0;
    const auto inCheckpoint = [&checkpoint, &next](int id) {
        while (next < checkpoint.objects.size() && checkpoint.objects[next].id < id)
            next++;
        return next < checkpoint.objects.size() && checkpoint.objects[next].id == id;
    };
    return readDetail(detail, error, inCheckpoint, [](int, std::size_t, std::string&&) {});
}

std::vector<AttributeDifference> CheckpointDetail::explain(const ReplayFile& file, int step,
                                                           const std::vector<ObjectDifference>& differences) {
    std::map<int, AttributeBytes> recorded;
    for (const ObjectDifference& difference : differences)
        if (difference.kind == ObjectDifference::CHANGED)
            recorded[difference.id];
    std::set<int> seen;
    for (const auto& [at, detail] : file.details) {
        if (at > step)
            break;
        std::string error;
        readDetail(
            detail, error,
            [&seen, &recorded](int id) {
                if (recorded.count(id) != 0)
                    seen.insert(id);
                return true;
            },
            [&recorded](int id, std::size_t slot, std::string&& bytes) {
                const auto found = recorded.find(id);
                if (found != recorded.end())
                    found->second[slot] = std::move(bytes);
            });
    }

    std::vector<AttributeDifference> attributes;
    const ObjectList all = WorldManager::getInstance().getAllObjects(true);
    std::map<int, Object*> world;
    for (int i = 0; i < all.getCount(); i++)
        world.emplace(all[i]->getId(), all[i]);
    for (const int id : seen) {
        const auto found = world.find(id);
        if (found == world.end())
            continue;
        const AttributeBytes now = attributeBytes(*found->second);
        const AttributeBytes& then = recorded[id];
        for (std::size_t slot = 0; slot < ATTRIBUTE_SLOTS; slot++)
            if (now[slot] != then[slot])
                attributes.push_back({id, found->second->getType(), attributeName(slot),
                                      attributeText(slot, now[slot]), attributeText(slot, then[slot])});
    }
    return attributes;
}

} // namespace vt::replay
