#pragma once

#include <cstddef>
#include <string>

namespace vt::platform {

/// What came of reading a file with readRegularFile.
enum class FileRead {
    OK,          ///< the whole file is in the text
    ABSENT,      ///< no file of that name
    NOT_REGULAR, ///< a directory, device, pipe or socket: never read
    UNREADABLE,  ///< it exists, but opening or reading it failed
    TOO_LARGE,   ///< more than the limit: reading stopped there
};

/// Reads a regular file whole into *p_text, never more than max_bytes + 1
/// bytes, whatever the file is. On UNREADABLE, *p_reason receives the
/// system's explanation.
FileRead readRegularFile(const std::string& path, std::size_t max_bytes, std::string* p_text,
                         std::string* p_reason);

} // namespace vt::platform
