#pragma once

namespace vt::platform {

/// Catches SIGINT and SIGTERM: the first one only asks the game to stop
/// (stopRequested() turns true), so that it can end its step and shut down;
/// a second one ends the process at once, as the signal would have. Clears
/// any earlier request. 0, or -1 when the handlers cannot be installed.
int catchStopSignals();
/// Puts back the handlers that catchStopSignals replaced.
void releaseStopSignals();
/// True once a caught signal asked the game to stop.
bool stopRequested();
/// The number of the signal that asked to stop, 0 when none did.
int stopSignal();

} // namespace vt::platform
