#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "replay/ObjectAttributes.h"
#include "vintrel/replay/ReplayFile.h"
#include "vintrel/replay/WorldChecksum.h"

namespace vt::replay {

// What a recording keeps of a checkpoint beside its hashes: for each object
// whose record changed since the checkpoint before, the attributes that
// changed, with their bytes. Most objects change one or two attributes
// between checkpoints (a position, an animation frame), so this stays a few
// times the size of the hashes, where whole records would be twenty times.
// A replay that finds an object changed folds the details up to that
// checkpoint and names the attributes that differ, with both values.
//
// Encoded per object, in id order: i32 id, u32 mask of the attributes that
// follow, then per attribute, the lowest bit first, u32 length and bytes.
class CheckpointDetail {
  public:
    // The detail of a checkpoint just taken of the world as it is now;
    // empty when no object changed.
    std::string take(const ReplayFile::Checkpoint& checkpoint);
    // Forgets the last take: its checkpoint was taken again.
    void forgetLast();
    // Forgets every object seen.
    void clear();

    // True when the bytes are a detail of this checkpoint: its objects, in
    // id order, each once, with known attributes and lengths within the
    // bytes. Otherwise false, with the reason in `error`.
    static bool check(const std::string& detail, const ReplayFile::Checkpoint& checkpoint,
                      std::string& error);

    // For the objects that changed, the attributes in which the world now
    // differs from the recording's checkpoint of `step`; none for objects
    // the recording holds no detail of.
    static std::vector<AttributeDifference> explain(const ReplayFile& file, int step,
                                                    const std::vector<ObjectDifference>& differences);

  private:
    // What was last written of an object: its record's hash and attributes.
    struct Seen {
        std::uint32_t hash = 0;
        std::shared_ptr<const AttributeBytes> attributes;
    };
    std::map<int, Seen> m_last;
    std::map<int, Seen> m_before_last;
};

} // namespace vt::replay
