#include "vintrel/replay/WorldChecksum.h"

#include <algorithm>
#include <sstream>

#include "replay/Fnv.h"
#include "replay/ObjectAttributes.h"
#include "vintrel/core/ObjectList.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

namespace {

using replay::EVERY_ATTRIBUTE;

std::uint64_t hashRecord(Object& object) {
    // Writing a record clears the bits it wrote; whoever sends changes
    // (a network peer) must still see them.
    const std::uint32_t modified = object.getModified();
    std::stringstream record;
    object.serialize(&record, EVERY_ATTRIBUTE);
    object.setModified(modified);
    const std::string bytes = record.str();
    return fnv1a(bytes.data(), bytes.size());
}

} // namespace

std::string ObjectDifference::describe() const {
    const std::string name = type + " " + std::to_string(id);
    switch (kind) {
    case ONLY_RECORDED:
        return name + " is only in the recording";
    case ONLY_NOW:
        return name + " is only in this run";
    case CHANGED:
        break;
    }
    return name + " differs";
}

std::string AttributeDifference::describe() const {
    return attribute + " " + here + " here, " + recorded + " in the recording";
}

ReplayFile::Checkpoint checksumWorld(int step) {
    ReplayFile::Checkpoint checkpoint;
    checkpoint.step = step;
    const ObjectList all = WorldManager::getInstance().getAllObjects(true);
    checkpoint.objects.reserve(static_cast<std::size_t>(all.getCount()));
    for (int i = 0; i < all.getCount(); i++) {
        // Onlookers (a world host) are not part of the game a replay reproduces.
        if (all[i]->isOnlooker())
            continue;
        const std::uint64_t hash = hashRecord(*all[i]);
        checkpoint.objects.push_back({all[i]->getId(), all[i]->getType(), static_cast<std::uint32_t>(hash)});
    }
    std::sort(checkpoint.objects.begin(), checkpoint.objects.end(),
              [](const ReplayFile::ObjectSum& a, const ReplayFile::ObjectSum& b) { return a.id < b.id; });
    std::uint64_t world = FNV_OFFSET;
    for (const ReplayFile::ObjectSum& object : checkpoint.objects) {
        world = fnv1a(&object.id, sizeof(object.id), world);
        world = fnv1a(&object.hash, sizeof(object.hash), world);
    }
    checkpoint.world_hash = world;
    return checkpoint;
}

std::vector<ObjectDifference> compareCheckpoints(const ReplayFile::Checkpoint& recorded,
                                                 const ReplayFile::Checkpoint& now) {
    std::vector<ObjectDifference> differences;
    std::size_t r = 0;
    std::size_t n = 0;
    // Both lists are in id order: one merge pass pairs them up.
    while (r < recorded.objects.size() || n < now.objects.size()) {
        const ReplayFile::ObjectSum* p_recorded =
            r < recorded.objects.size() ? &recorded.objects[r] : nullptr;
        const ReplayFile::ObjectSum* p_now = n < now.objects.size() ? &now.objects[n] : nullptr;
        if (p_now == nullptr || (p_recorded != nullptr && p_recorded->id < p_now->id)) {
            differences.push_back({p_recorded->id, p_recorded->type, ObjectDifference::ONLY_RECORDED});
            r++;
        } else if (p_recorded == nullptr || p_now->id < p_recorded->id) {
            differences.push_back({p_now->id, p_now->type, ObjectDifference::ONLY_NOW});
            n++;
        } else {
            if (p_recorded->hash != p_now->hash || p_recorded->type != p_now->type)
                differences.push_back({p_now->id, p_now->type, ObjectDifference::CHANGED});
            r++;
            n++;
        }
    }
    return differences;
}

} // namespace vt
