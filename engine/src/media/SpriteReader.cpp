#include "media/SpriteReader.h"

#include <algorithm>
#include <cstddef>
#include <istream>
#include <utility>

#include "core/TextTables.h"
#include "vintrel/core/Color.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/media/Sprite.h"

namespace vt {

namespace {

using text::colorFromName;
using text::toInt;

// Robust headers may also say "default", which is white.
bool robustColorFromName(const std::string& name, Color* p_color) {
    if (name != "default")
        return colorFromName(name, p_color);
    *p_color = WHITE;
    return true;
}

} // namespace

SpriteReader::SpriteReader(std::istream& stream) : m_stream(stream), m_line_number(0) {}

std::string SpriteReader::getLine(bool count) {
    std::string line;
    std::getline(m_stream, line);
    if (count)
        m_line_number++;
    if (!m_stream.good()) {
        LogManager::getInstance().writeLog("getLine(): Error! Unexpected end of file.");
        return std::string();
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::unique_ptr<Sprite> SpriteReader::readSprite() {
    LogManager& lm = LogManager::getInstance();
    m_line_number = 0;
    const std::string first_line = getLine(false);
    m_stream.clear();
    m_stream.seekg(0);

    if (first_line == "<HEADER>") {
        lm.writeLog(5, "RM::loadSprite(): assuming robust sprite file format.");
        return loadRobustSprite();
    }
    if (toInt(first_line) > 0) {
        lm.writeLog(5, "RM::loadSprite(): assuming simple sprite file format.");
        return loadSimpleSprite();
    }
    lm.writeLog("RM::loadSprite(): Error! Unknown sprite file format.");
    lm.writeLog("RM::loadSprite(): First line is '%s'.", clipForLog(first_line).c_str());
    return nullptr;
}

bool SpriteReader::readSimpleValue(const char* what, std::string& text) {
    LogManager& lm = LogManager::getInstance();
    text = getLine(true);
    if (text.empty()) {
        lm.writeLog("RM::loadSimpleSprite(): Error! Unexpected end of file.");
        lm.writeLog("\tMissing %s.", what);
        return false;
    }
    lm.writeLog(20, "\tLine %2d: '%s'", m_line_number, clipForLog(text).c_str());
    return true;
}

bool SpriteReader::refuseNegative(const char* reader, const char* key, int value) {
    if (value >= 0)
        return true;
    LogManager::getInstance().writeLog("RM::%s(): Error! '%s' is %d, must not be negative.", reader, key,
                                       value);
    return false;
}

std::optional<SpriteReader::SimpleHeader> SpriteReader::readSimpleHeader() {
    LogManager& lm = LogManager::getInstance();
    SimpleHeader header;
    std::string text;
    if (!readSimpleValue("frames (an integer)", text))
        return std::nullopt;
    // Each number's own line check refuses negative values with the line's text.
    header.frames = toInt(text);
    if (header.frames <= 0) {
        lm.writeLog("RM::loadSimpleSprite(): Error line %d! Number of frames is %d.", m_line_number,
                    header.frames);
        return std::nullopt;
    }
    const struct {
        const char* what;
        const char* name;
        int minimum;
        int* p_value;
    } numbers[] = {{"width (an integer)", "Width", 1, &header.width},
                   {"height (an integer)", "Height", 1, &header.height},
                   {"slowdown (an integer)", "Slowdown", 0, &header.slowdown}};
    for (const auto& number : numbers) {
        if (!readSimpleValue(number.what, text))
            return std::nullopt;
        *number.p_value = toInt(text);
        if (*number.p_value < number.minimum) {
            lm.writeLog("RM::loadSimpleSprite(): Error line %d! %s is '%s'.", m_line_number, number.name,
                        clipForLog(text).c_str());
            return std::nullopt;
        }
    }

    if (!readSimpleValue("color (a string)", text))
        return std::nullopt;
    if (!colorFromName(text, &header.color)) {
        lm.writeLog("RM::loadSimpleSprite(): Error line %d! Unrecognized color '%s'.", m_line_number,
                    clipForLog(text).c_str());
        lm.writeLog("  Valid colors are: black, red, green, yellow,");
        lm.writeLog("                    blue, magenta, cyan or white.");
        return std::nullopt;
    }
    return header;
}

bool SpriteReader::readSimpleFrames(Sprite& sprite, const SimpleHeader& header) {
    LogManager& lm = LogManager::getInstance();
    for (int f = 0; f < header.frames; f++) {
        lm.writeLog(15, "RM::loadSimpleSprite(): Reading frame %d of %d.", f, header.frames);
        std::string rows;
        for (int r = 0; r < header.height; r++) {
            const std::string row = getLine(true);
            if (row.empty()) {
                lm.writeLog("RM::loadSimpleSprite(): Error! Unexpected end of file.");
                lm.writeLog("\tReading frame %d of %d, row %d of %d.", f + 1, header.frames, r + 1,
                            header.height);
                return false;
            }
            const RowCells measured = measureRow(row);
            if (measured.invalid_at != std::string::npos ||
                measured.cells != static_cast<std::size_t>(header.width)) {
                lm.writeLog("RM::loadSimpleSprite(): Error line %d!", m_line_number);
                lm.writeLog("\tLine %2d: '%s'", m_line_number, rowForLog(row).c_str());
                if (measured.invalid_at != std::string::npos)
                    lm.writeLog("\tNot UTF-8 from byte %zu on.", measured.invalid_at + 1);
                else
                    lm.writeLog("\tWidth is %zu, expected %d.", measured.cells, header.width);
                return false;
            }
            lm.writeLog(20, "\tLine %2d: '%s'", m_line_number, clipForLog(row).c_str());
            rows += row;
        }
        if (sprite.pushFrame(makeFrame(header.width, header.height, rows)) != 0) {
            lm.writeLog("RM::loadSimpleSprite(): Error! Cannot add Frame.");
            lm.writeLog("\tFramecount is %d, max is %d.", sprite.getFrameCount() + 1, header.frames);
            return false;
        }
    }
    return true;
}

bool SpriteReader::readSimpleEnd() {
    // The file must end right after the last row's line feed. Looking ahead
    // first keeps a clean end from being reported as a failed read.
    if (m_stream.peek() == std::istream::traits_type::eof())
        return true;
    const std::string extra = getLine(true);
    LogManager& lm = LogManager::getInstance();
    lm.writeLog("RM::loadSimpleSprite(): Error line %d!", m_line_number);
    lm.writeLog("\tExtra file data: '%s'", clipForLog(extra).c_str());
    return false;
}

std::unique_ptr<Sprite> SpriteReader::loadSimpleSprite() {
    const std::optional<SimpleHeader> header = readSimpleHeader();
    if (!header)
        return nullptr;
    logSizes(header->frames, header->width, header->height, header->slowdown);
    LogManager::getInstance().writeLog(5, "\t       Color: %s", colorToString(header->color).c_str());

    std::unique_ptr<Sprite> p_sprite =
        createSprite("loadSimpleSprite", header->frames, header->width, header->height, header->slowdown);
    if (!p_sprite)
        return nullptr;
    p_sprite->setColor(header->color);
    p_sprite->setTransparency(0);
    if (!readSimpleFrames(*p_sprite, *header) || !readSimpleEnd())
        return nullptr;
    return p_sprite;
}

SpriteReader::RowCells SpriteReader::measureRow(const std::string& row) {
    RowCells measured;
    measured.invalid_at = findInvalidUtf8(row);
    if (measured.invalid_at == std::string::npos)
        measured.cells = countUtf8Cells(row);
    return measured;
}

std::string SpriteReader::rowForLog(const std::string& row) {
    std::u32string cells;
    decodeUtf8(row, cells);
    return clipForLog(encodeUtf8(cells));
}

Frame SpriteReader::makeFrame(int width, int height, const std::string& rows) {
    // ASCII frames stay frames of bytes, exactly as they always loaded.
    const bool ascii =
        std::all_of(rows.begin(), rows.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return Frame(width, height, rows);
    std::u32string cells;
    decodeUtf8(rows, cells);
    return Frame(width, height, cells);
}

SpriteReader::Lines SpriteReader::readData(const std::string& tag) {
    LogManager& lm = LogManager::getInstance();
    const std::string open_tag = "<" + tag + ">";
    const std::string close_tag = "</" + tag + ">";

    const std::string first = getLine(true);
    if (first != open_tag) {
        lm.writeLog("readData(): Error line %d! Expected '%s', have '%s'.", m_line_number, open_tag.c_str(),
                    clipForLog(first).c_str());
        return Lines();
    }

    Lines lines;
    for (;;) {
        std::string line = getLine(true);
        if (line.empty()) {
            lm.writeLog("readData(): Error! Stop at line %d, never encountered '%s'.", m_line_number,
                        close_tag.c_str());
            return Lines();
        }
        if (line == close_tag)
            return lines;
        lines.push_back(std::move(line));
    }
}

std::optional<int> SpriteReader::matchLineInt(Lines& lines, const std::string& key) {
    std::optional<int> value;
    for (const std::string& line : takeKeyLines(lines, key)) {
        if (value)
            LogManager::getInstance().writeLog(1, "matchLineInt(): Warning! '%s' matches multiple lines.",
                                               clipForLog(line).c_str());
        value = toInt(valueOf(line, key));
    }
    return value;
}

std::string SpriteReader::matchLineStr(Lines& lines, const std::string& key) {
    std::string value;
    for (const std::string& line : takeKeyLines(lines, key)) {
        if (!value.empty())
            LogManager::getInstance().writeLog(1, "matchLineStr(): Warning! '%s' matches multiple lines.",
                                               clipForLog(line).c_str());
        value = valueOf(line, key);
    }
    return value;
}

std::vector<std::string> SpriteReader::takeKeyLines(Lines& lines, const std::string& key) {
    std::vector<std::string> taken;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < lines.size(); i++) {
        if (lines[i].compare(0, key.size(), key) == 0) {
            taken.push_back(std::move(lines[i]));
            continue;
        }
        if (kept != i)
            lines[kept] = std::move(lines[i]);
        kept++;
    }
    lines.resize(kept);
    return taken;
}

std::string SpriteReader::valueOf(const std::string& line, const std::string& key) {
    // Exactly one separator character follows the key, whatever it is.
    return line.size() > key.size() ? line.substr(key.size() + 1) : std::string();
}

void SpriteReader::logSizes(int frames, int width, int height, int slowdown) {
    LogManager& lm = LogManager::getInstance();
    lm.writeLog(5, "\t      Frames: %d", frames);
    lm.writeLog(5, "\t       Width: %d", width);
    lm.writeLog(5, "\t      Height: %d", height);
    lm.writeLog(5, "\t    Slowdown: %d", slowdown);
}

std::unique_ptr<Sprite> SpriteReader::createSprite(const char* reader, int frames, int width, int height,
                                                   int slowdown) {
    auto p_sprite = std::make_unique<Sprite>(frames);
    if (p_sprite->getMaxFrameCount() != frames) {
        LogManager::getInstance().writeLog("RM::%s(): Error! Unable to create Sprite.", reader);
        return nullptr;
    }
    p_sprite->setWidth(width);
    p_sprite->setHeight(height);
    p_sprite->setSlowdown(slowdown);
    return p_sprite;
}

Frame SpriteReader::readBodyFrame(Lines& body, int width, int height, int& line_number) {
    LogManager& lm = LogManager::getInstance();
    std::string frame_str;
    for (int r = 0; r < height; r++) {
        line_number++;
        if (body.empty()) {
            lm.writeLog("\tError! Line %d: No more frame data before 'end'.", line_number);
            return Frame();
        }
        const std::string& row = body.front();
        const RowCells measured = measureRow(row);
        if (measured.invalid_at != std::string::npos) {
            lm.writeLog("\tError! Line %d: Not UTF-8 from byte %zu on.", line_number,
                        measured.invalid_at + 1);
            lm.writeLog("\tLine %d: '%s'", line_number, rowForLog(row).c_str());
            return Frame();
        }
        lm.writeLog(20, "\tLine %2d: '%s'", line_number, clipForLog(row).c_str());
        if (measured.cells != static_cast<std::size_t>(width)) {
            lm.writeLog("\tError! Line %d: Line length is %zu (frame width is %d).", line_number,
                        measured.cells, width);
            lm.writeLog("\tLine %d: '%s'", line_number, clipForLog(row).c_str());
            return Frame();
        }
        frame_str += row;
        body.pop_front();
    }

    line_number++;
    if (body.empty()) {
        lm.writeLog("\tError! Line %d: No more frame data before 'end'.", line_number);
        return Frame();
    }
    if (body.front() != "end") {
        lm.writeLog("\tError! Line %d: Expected '%s'.", line_number, "end");
        lm.writeLog("\tLine %d: '%s'", line_number, clipForLog(body.front()).c_str());
        return Frame();
    }
    body.pop_front();
    return makeFrame(width, height, frame_str);
}

std::unique_ptr<Sprite> SpriteReader::loadRobustSprite() {
    const std::optional<RobustHeader> header = readRobustHeader();
    if (!header)
        return nullptr;
    std::unique_ptr<Sprite> p_sprite = readRobustBody(*header);
    if (!p_sprite || !readRobustFooter())
        return nullptr;
    return p_sprite;
}

std::optional<SpriteReader::RobustHeader> SpriteReader::readRobustHeader() {
    LogManager& lm = LogManager::getInstance();
    Lines lines = readData("HEADER");
    if (lines.empty())
        return std::nullopt;
    lm.writeLog(20, "ResourceManager::loadRobustSprite(): After header, line number: '%d'", m_line_number);

    // Absent keys are missing; present ones must not be negative.
    RobustHeader header;
    const struct {
        const char* key;
        int* p_value;
    } sizes[] = {{"frames", &header.frames}, {"width", &header.width}, {"height", &header.height}};
    for (const auto& size : sizes) {
        const std::optional<int> value = matchLineInt(lines, size.key);
        if (!value) {
            lm.writeLog("RM::loadRobustSprite(): Error! Missing '%s' in header.", size.key);
            return std::nullopt;
        }
        if (!refuseNegative("loadRobustSprite", size.key, *value))
            return std::nullopt;
        *size.p_value = *value;
    }

    header.color_name = matchLineStr(lines, "color");
    if (header.color_name.empty()) {
        lm.writeLog(5, "RM::loadRobustSprite(): Warning! No '%s' in header.", "color");
        header.color_name = "default";
    }

    const std::string transparency = matchLineStr(lines, "transparency");
    if (transparency.empty()) {
        lm.writeLog(5, "RM::loadRobustSprite(): Note! No '%s' in header.", "transparency");
    } else if (transparency == "\" \"") {
        header.transparency = ' ';
        lm.writeLog(5, "RM::loadRobustSprite(): transparency is 'space'");
    } else {
        // A Unicode character when the value begins with one; otherwise its
        // first byte, as values that are not UTF-8 always gave.
        std::u32string characters;
        decodeUtf8(transparency, characters);
        header.transparency =
            findInvalidUtf8(transparency) != 0 ? characters[0] : static_cast<unsigned char>(transparency[0]);
    }

    const std::optional<int> slowdown = matchLineInt(lines, "slowdown");
    if (!slowdown)
        lm.writeLog(5, "RM::loadRobustSprite(): Note! No '%s' in header.", "slowdown");
    else if (!refuseNegative("loadRobustSprite", "slowdown", *slowdown))
        return std::nullopt;
    header.slowdown = slowdown.value_or(0);

    if (!lines.empty()) {
        lm.writeLog(1, "RM::loadRobustSprite(): Warning! Unused HEADER lines:");
        for (const std::string& line : lines)
            lm.writeLog(1, "\t'%s'", clipForLog(line).c_str());
    }

    logSizes(header.frames, header.width, header.height, header.slowdown);
    if (header.transparency == 0)
        lm.writeLog(5, "\tTransparency: (none)");
    else if (header.transparency <= 0xFF && transparency[0] == static_cast<char>(header.transparency))
        lm.writeLog(5, "\tTransparency: '%c'", transparency[0]);
    else
        lm.writeLog(5, "\tTransparency: '%s'", encodeUtf8(std::u32string(1, header.transparency)).c_str());

    // Sizes come straight from the file: anything below 1 can describe no
    // frame, so it is refused before any body line is read or stored.
    for (const auto& size : sizes) {
        if (*size.p_value < 1) {
            lm.writeLog("RM::loadRobustSprite(): Error! '%s' is %d in header, must be at least 1.", size.key,
                        *size.p_value);
            return std::nullopt;
        }
    }
    return header;
}

std::unique_ptr<Sprite> SpriteReader::readRobustBody(const RobustHeader& header) {
    LogManager& lm = LogManager::getInstance();
    Lines body = readData("BODY");
    if (body.empty())
        return nullptr;
    lm.writeLog(20, "ResourceManager::loadRobustSprite(): After reading body: line number is '%d'",
                m_line_number);
    // Section lines are never empty, so each was counted: the line before
    // the first body row is the opening tag.
    int line_number = m_line_number - static_cast<int>(body.size()) - 1;

    std::unique_ptr<Sprite> p_sprite =
        createSprite("loadRobustSprite", header.frames, header.width, header.height, header.slowdown);
    if (!p_sprite)
        return nullptr;
    p_sprite->setTransparency(header.transparency);

    Color color = WHITE;
    if (!robustColorFromName(header.color_name, &color)) {
        lm.writeLog("RM::loadRobustSprite(): Error! Unrecognized color '%s'.",
                    clipForLog(header.color_name).c_str());
        lm.writeLog("  Valid colors are: black, red, green, yellow,");
        lm.writeLog("                    blue, magenta, cyan and white.");
        return nullptr;
    }
    p_sprite->setColor(color);
    lm.writeLog(5, "\t       Color: %s", colorToString(color).c_str());

    for (int f = 0; f < header.frames; f++) {
        const Frame frame = readBodyFrame(body, header.width, header.height, line_number);
        if (frame.isEmpty()) {
            lm.writeLog("RM::loadRobustSprite(): Error! No frame data to add.");
            return nullptr;
        }
        if (p_sprite->pushFrame(frame) != 0) {
            lm.writeLog("RM::loadRobustSprite(): Error! Cannot add Frame.");
            lm.writeLog("\tFramecount is %d, max is %d", p_sprite->getFrameCount() + 1, header.frames);
            return nullptr;
        }
    }

    if (!body.empty()) {
        lm.writeLog("RM::loadRobustSprite(): Error! Extra BODY:");
        for (const std::string& line : body)
            lm.writeLog("\tLine %d: %s", ++line_number, clipForLog(line).c_str());
        return nullptr;
    }
    return p_sprite;
}

bool SpriteReader::readRobustFooter() {
    LogManager& lm = LogManager::getInstance();
    Lines footer = readData("FOOTER");
    if (footer.empty())
        return false;
    const std::string version = matchLineStr(footer, "version");
    if (version.empty()) {
        lm.writeLog("RM::loadRobustSprite(): Error! Missing '%s' in FOOTER (line %d).", "version",
                    m_line_number);
        return false;
    }
    if (!footer.empty()) {
        lm.writeLog(1, "RM::loadRobustSprite(): Warning! Unused FOOTER lines:");
        for (const std::string& line : footer)
            lm.writeLog(1, "\t'%s'", clipForLog(line).c_str());
    }
    return true;
}

} // namespace vt
