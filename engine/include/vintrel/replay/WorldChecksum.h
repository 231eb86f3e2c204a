#pragma once

#include <string>
#include <vector>

#include "vintrel/replay/ReplayFile.h"

namespace vt {

/// One object that is not the same in two checkpoints of the same step.
struct ObjectDifference {
    /// How the object differs.
    enum Kind { CHANGED, ONLY_RECORDED, ONLY_NOW };
    /// The object's id.
    int id = 0;
    /// The type in this run, or the recorded one for objects only recorded.
    std::string type;
    /// How the object differs.
    Kind kind = CHANGED;

    /// "Asteroid 12 differs", "Bullet 40 is only in the recording", ...
    [[nodiscard]] std::string describe() const;
};

/// One attribute in which an object of this run differs from the same
/// object in the recording (recordings that hold their checkpoints' detail).
struct AttributeDifference {
    /// The object's id.
    int id = 0;
    /// Its type in this run.
    std::string type;
    /// The attribute: "position", "value", "speed", ...
    std::string attribute;
    /// Its value in this run, as text.
    std::string here;
    /// Its value in the recording, as text.
    std::string recorded;

    /// "value 10 here, 12 in the recording"
    [[nodiscard]] std::string describe() const;
};

/// The world at the end of step `step`: every object but onlookers, active or not, hashed
/// by its complete serialized record (which it keeps unmodified), in id order.
[[nodiscard]] ReplayFile::Checkpoint checksumWorld(int step);

/// The objects in which `now` differs from `recorded`, in id order; empty
/// when the two are the same.
[[nodiscard]] std::vector<ObjectDifference> compareCheckpoints(const ReplayFile::Checkpoint& recorded,
                                                               const ReplayFile::Checkpoint& now);

} // namespace vt
