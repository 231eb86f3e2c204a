#include "world/RecordIO.h"

#include <cstring>

#include "vintrel/core/LogManager.h"

namespace vt {

std::uint64_t bytesLeft(std::istream& stream) {
    if (!stream)
        return 0;
    const std::istream::pos_type here = stream.tellg();
    if (here == std::istream::pos_type(-1))
        return 0;
    stream.seekg(0, std::ios::end);
    const std::istream::pos_type end = stream.tellg();
    stream.seekg(here);
    if (end == std::istream::pos_type(-1) || end < here)
        return 0;
    return static_cast<std::uint64_t>(end - here);
}

void writeFlag(std::ostream& stream, bool flag) {
    writeField(stream, static_cast<std::uint8_t>(flag ? 1 : 0));
}

bool readFlag(std::istream& stream, bool& flag) {
    std::uint8_t byte = 0;
    if (!readField(stream, byte))
        return false;
    flag = byte != 0;
    return true;
}

void writeText(std::ostream& stream, const std::string& text) {
    writeField(stream, static_cast<std::uint64_t>(text.size()));
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
}

bool readText(std::istream& stream, std::string& text, const char* where, const char* what,
              std::uint64_t* p_length) {
    std::uint64_t length = 0;
    if (!readField(stream, length))
        return false;
    if (p_length)
        *p_length = length;
    const std::uint64_t left = bytesLeft(stream);
    if (length > left) {
        LogManager::getInstance().writeLog("%s: Error! %s of %llu bytes, but only %llu bytes left.", where,
                                           what, static_cast<unsigned long long>(length),
                                           static_cast<unsigned long long>(left));
        stream.setstate(std::ios::failbit);
        return false;
    }
    std::string read_text(static_cast<std::size_t>(length), '\0');
    if (length > 0 && !stream.read(&read_text[0], static_cast<std::streamsize>(length)))
        return false;
    read_text.resize(std::strlen(read_text.c_str()));
    text = read_text;
    return true;
}

} // namespace vt
