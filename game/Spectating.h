#pragma once

#include "NetworkRole.h"

namespace vt {
class WorldMirror;
}

/// Serves the running game to watchers on the role's address and port, once
/// the engine is started and the resources are loaded; 0, or -1 after a line
/// on standard error.
int startHosting(const NetworkRole& role);

/// Makes the world mirror a watcher shows the host's game with: the view
/// objects that draw sprites are those of the shooter's screens. Owned by the world.
vt::WorldMirror* createShooterMirror();

/// The whole life of a watcher: starts the engine with its own title, shows
/// the host's game live until the host ends it or the player quits, then
/// shuts down. The exit code: 0 after a normal end, 1 when the engine or the
/// connection failed.
int watchGame(const NetworkRole& role);
