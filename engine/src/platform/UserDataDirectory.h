#pragma once

#include <string>

namespace vt::platform {

/// The folder that holds a game's own data: $XDG_DATA_HOME/<game> when
/// XDG_DATA_HOME is an absolute path, else $HOME/.local/share/<game>. Only
/// named, not made. 0, or -1 with the reason in *p_reason.
int userDataDirectory(const std::string& game, std::string* p_path, std::string* p_reason);

/// Makes the folder with any missing parents (new ones readable by the user
/// alone). 0, or -1 with the reason in *p_reason.
int makeDirectories(const std::string& path, std::string* p_reason);

/// Makes a rename into the folder survive a crash of the machine: flushes
/// the folder's entries to disk. 0, or -1 when the folder cannot be synced.
int syncDirectory(const std::string& path);

} // namespace vt::platform
