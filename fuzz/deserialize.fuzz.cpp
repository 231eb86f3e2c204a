// Feeds arbitrary bytes to Object::deserialize and ViewObject::deserialize,
// as records from a peer would arrive. The first byte chooses the kind of
// object, the rest is the record. Any crash, sanitizer report or runaway
// allocation is a fault, and so is an object whose own record does not read
// back, or a text that the UTF-8 decoding drawing uses does not take apart
// and put together consistently.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "support/ScratchEngine.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ViewObject.h"

namespace {

// The same two objects are rebuilt again and again. Making fresh objects for
// every input would run the id counter up to its end on records that carry
// huge ids.
vt::Object* p_object = nullptr;
vt::ViewObject* p_view_object = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Refused records are logged; millions of them would fill a disk.
    const vt::test::ScratchEngine engine("headless:true,\nnetworking:false,\nrandom_seed:42,\n", "/dev/null");
    if (engine.result() == 0) {
        p_object = new vt::Object;
        p_view_object = new vt::ViewObject;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!p_object || size == 0)
        return 0;
    vt::Object* p_target = (data[0] & 1) ? p_view_object : p_object;
    std::stringstream ss(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    std::uint32_t mask = 0;
    p_target->deserialize(&ss, &mask);

    // Finite but extreme coordinates can still overflow in the object's own
    // arithmetic (aiming along a path from the far end of the float range),
    // and records refuse what that yields; such states are not checked.
    const vt::Vector direction = p_target->getDirection();
    if (!std::isfinite(direction.getX()) || !std::isfinite(direction.getY()))
        return 0;
    // Texts arrive as any bytes; what drawing makes of them must agree with
    // itself: one cell per decoded character, and well-formed UTF-8 again.
    for (const std::string& text : {p_target->getType(), p_view_object->getViewString()}) {
        std::u32string cells;
        const bool valid = vt::decodeUtf8(text, cells);
        const std::string again = vt::encodeUtf8(cells);
        if (cells.size() != vt::countUtf8Cells(text) ||
            valid != (vt::findInvalidUtf8(text) == std::string::npos) || (valid && again != text) ||
            vt::findInvalidUtf8(again) != std::string::npos)
            __builtin_trap();
    }
    std::stringstream out;
    if (p_target->serialize(&out, 0x1FFFFF) != 0 || p_target->deserialize(&out) != 0)
        __builtin_trap();
    return 0;
}
