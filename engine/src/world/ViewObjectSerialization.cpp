#include <cstdint>
#include <sstream>
#include <string>

#include "core/TextTables.h"
#include "vintrel/core/Color.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/world/ViewObject.h"
#include "world/RecordIO.h"

namespace vt {

namespace {

constexpr int DETAIL_LEVEL = 25;

using text::boolText;

} // namespace

int ViewObject::serialize(std::stringstream* p_ss, std::uint32_t attr) {
    LogManager& lm = LogManager::getInstance();
    const std::uint32_t mask = attr != 0 ? attr : getModified();
    lm.writeLog(20, "ViewObject::serialize(): serializing attributes");
    lm.writeLog(20, "ViewObject::serialize(): attr is %u, modified is %u (%s)", attr, getModified(),
                boolText(getModified() != 0));
    const int object_result = Object::serialize(p_ss, attr);
    if (!p_ss)
        return object_result;
    std::stringstream& ss = *p_ss;
    if (mask & VALUE) {
        lm.writeLog(DETAIL_LEVEL, "\tVALUE");
        writeField(ss, m_value);
        setModified(getModified() & ~VALUE);
    }
    if (mask & APPEARANCE) {
        lm.writeLog(DETAIL_LEVEL, "\tAPPEARANCE");
        writeText(ss, m_view_string);
        lm.writeLog(DETAIL_LEVEL, "\tVIEW_STRING: %s", clipForLog(m_view_string).c_str());
        writeFlag(ss, m_border);
        lm.writeLog(DETAIL_LEVEL, "\tBORDER: %s", boolText(m_border));
        writeField(ss, static_cast<std::int32_t>(m_color));
        if (lm.getLogLevel() >= DETAIL_LEVEL)
            lm.writeLog(DETAIL_LEVEL, "\tCOLOR: %s", colorToString(m_color).c_str());
        writeField(ss, static_cast<std::int32_t>(m_location));
        if (lm.getLogLevel() >= DETAIL_LEVEL)
            lm.writeLog(DETAIL_LEVEL, "\tLOCATION: %s", locationToString(m_location).c_str());
        writeFlag(ss, m_draw_value);
        lm.writeLog(DETAIL_LEVEL, "\tDRAW_VALUE: %s", boolText(m_draw_value));
        setModified(getModified() & ~APPEARANCE);
    }
    return checkStream("ViewObject::serialize()", ss);
}

int ViewObject::deserialize(std::stringstream* p_ss, std::uint32_t* p_mask) {
    LogManager& lm = LogManager::getInstance();
    std::uint32_t mask = 0;
    const int result = Object::deserialize(p_ss, &mask);
    if (p_mask)
        *p_mask = mask;
    if (result != 0) {
        lm.writeLog("ViewObject::deserialize(): Error calling Object::deserialize().");
        return result;
    }
    std::stringstream& ss = *p_ss;
    if (lm.getLogLevel() >= 20)
        lm.writeLog(20, "ViewObject::deserialize(): attr %u (%s)", mask, toBitString(mask).c_str());

    if (mask & VALUE) {
        std::int32_t value = 0;
        if (!readField(ss, value))
            return checkStream("ViewObject::deserialize()", ss);
        setValue(value);
        lm.writeLog(DETAIL_LEVEL, "\tVALUE: %d", m_value);
    }
    if (mask & APPEARANCE) {
        // Every field is read before any is applied, so that a short or
        // lying record changes nothing of the appearance.
        std::string view_string;
        bool border = false;
        std::int32_t color = 0;
        std::int32_t location = 0;
        bool draw_value = false;
        if (!readText(ss, view_string, "ViewObject::deserialize()", "View string") || !readFlag(ss, border) ||
            !readField(ss, color) || !readField(ss, location) || !readFlag(ss, draw_value)) {
            checkStream("ViewObject::deserialize()", ss);
            return -1;
        }
        if (color < BLACK || color > CUSTOM) {
            lm.writeLog("ViewObject::deserialize(): Error! Color %d is not one of the engine's colors.",
                        static_cast<int>(color));
            return -1;
        }
        setViewString(view_string);
        lm.writeLog(DETAIL_LEVEL, "\tVIEW_STRING: %s", clipForLog(m_view_string).c_str());
        setBorder(border);
        lm.writeLog(DETAIL_LEVEL, "\tBORDER: %s", boolText(m_border));
        setColor(static_cast<Color>(color));
        if (lm.getLogLevel() >= DETAIL_LEVEL)
            lm.writeLog(DETAIL_LEVEL, "\tCOLOR: %s", colorToString(m_color).c_str());
        if (location == -1 && m_accepts_placed_records)
            m_location = -1; // the position read with the object's part stands
        else
            setLocation(location);
        if (lm.getLogLevel() >= DETAIL_LEVEL)
            lm.writeLog(DETAIL_LEVEL, "\tLOCATION: %s", locationToString(m_location).c_str());
        setDrawValue(draw_value);
        lm.writeLog(DETAIL_LEVEL, "\tDRAW_VALUE: %s", boolText(m_draw_value));
    }
    lm.writeLog(20, "ViewObject::deserialize(): done checking all types.");
    return checkStream("ViewObject::deserialize()", ss);
}

} // namespace vt
