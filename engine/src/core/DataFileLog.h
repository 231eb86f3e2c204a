#pragma once

namespace vt {

/// Writes to the log the lines findDataFile held while the log was not open
/// yet (the configuration file is looked for before it opens).
void writeHeldDataFileLines();

} // namespace vt
