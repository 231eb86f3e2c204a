#pragma once

#include <string>

namespace vt::platform {

/// Whether writeFileAtomically could put a file at `path` later: the path is
/// absent or a writable regular file (a link counts as the file it names),
/// and its folder takes a new file. 0, or -1 with the reason in *p_reason.
int checkWritableAtomically(const std::string& path, std::string* p_reason);

/// Writes the bytes to a new file beside `path` and renames it into place,
/// so that `path` holds either its old contents or all of the new ones,
/// whatever happens meanwhile (a full disk, a killed process). An existing
/// file's permissions carry over. 0, or -1 with the reason in *p_reason;
/// `path` is then as it was, and *p_kept names the new file when it was
/// left behind (whole when only the renaming failed), empty otherwise.
int writeFileAtomically(const std::string& path, const std::string& bytes, std::string* p_reason,
                        std::string* p_kept);

} // namespace vt::platform
