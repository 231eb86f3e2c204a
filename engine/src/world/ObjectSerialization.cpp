#include <cstdint>
#include <sstream>

#include "core/TextTables.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/world/Object.h"
#include "world/ObjectRecord.h"
#include "world/RecordIO.h"

namespace vt {

namespace {

using text::boolText;

} // namespace

int Object::serialize(std::stringstream* p_ss, std::uint32_t attr) {
    LogManager& lm = LogManager::getInstance();
    if (!p_ss) {
        lm.writeLog("Object::serialize(): Error! No stream.");
        return -1;
    }
    std::stringstream& ss = *p_ss;
    lm.writeLog(20, "Object::serialize(): attr is %u, modified is %u (%s)", attr, m_modified,
                boolText(m_modified != 0));
    // The detail texts are costly to build and the detail level is rarely on.
    const bool detail = lm.getLogLevel() >= ObjectRecord::DETAIL_LEVEL;
    if (detail)
        lm.writeLog(ObjectRecord::DETAIL_LEVEL, "\t%s", toBitString(attr).c_str());

    std::uint32_t mask = attr != 0 ? attr : m_modified;
    // Objects that never set a layer or mask write records as they always
    // did, whatever they are asked for.
    if (!m_uses_collision_layers)
        mask &= ~static_cast<std::uint32_t>(COLLISION_LAYERS);
    writeField(ss, mask);
    for (const RecordAttribute& attribute : ObjectRecord::attributes()) {
        if ((mask & attribute.bit) == 0)
            continue;
        attribute.write(*this, ss);
        m_modified &= ~attribute.bit;
        if (detail)
            attribute.log(*this, lm);
    }
    return checkStream("Object::serialize()", ss);
}

int Object::deserialize(std::stringstream* p_ss, std::uint32_t* p_mask) {
    LogManager& lm = LogManager::getInstance();
    if (!p_ss) {
        lm.writeLog("Object::deserialize(): Error! No stream.");
        return -1;
    }
    std::stringstream& ss = *p_ss;
    std::uint32_t mask = 0;
    readField(ss, mask);
    if (p_mask)
        *p_mask = mask;
    lm.writeLog(20, "Object::deserialize(): attr %u (%s)", mask, toBitString(mask).c_str());

    if (ss) {
        const bool detail = lm.getLogLevel() >= ObjectRecord::DETAIL_LEVEL;
        RecordReading reading{ss, mask, Box()};
        for (const RecordAttribute& attribute : ObjectRecord::attributes()) {
            if ((mask & attribute.bit) == 0)
                continue;
            if (!attribute.read(*this, reading)) {
                // A part may refuse its bytes while the stream itself is still good.
                checkStream("Object::deserialize()", ss);
                return -1;
            }
            if (detail)
                attribute.log(*this, lm);
        }
        // A freshly rebuilt object has nothing left to send.
        m_modified = 0;
        lm.writeLog(20, "Object::deserialize(): done checking all types.");
    }
    return checkStream("Object::deserialize()", ss);
}

} // namespace vt
