#pragma once

#include <string>

#include <vintrel/world/ViewObject.h>

namespace vt {
class WorldMirror;
}

/// A watcher's own screen over the host's game: Q or Escape quits (the only
/// keys a watcher has). Until the host's game shows it says that it waits for
/// the host; when watching stops it says why for two seconds, then ends the
/// game loop.
class WatchScreen : public vt::ViewObject {
  public:
    /// Watches the mirror's state; the mirror stays the world's. `host` names
    /// the host in the waiting message ("127.0.0.1 port 9876").
    WatchScreen(const vt::WorldMirror* p_mirror, const std::string& host);

    /// Keys, steps and the end of watching; 1 when handled.
    int eventHandler(const vt::Event* p_event) override;

  private:
    const vt::WorldMirror* m_p_mirror;
    // Steps left before the loop ends, once the message shows; -1 before.
    int m_steps_left;
};
