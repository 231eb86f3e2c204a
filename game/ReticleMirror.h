#pragma once

#include <vintrel/network/Mirror.h>

/// A watcher's copy of the host's cross-hair, drawn the way the cross-hair draws itself.
class ReticleMirror : public vt::ObjectMirror {
  public:
    /// The red '+' at the position; the display's result.
    int draw() override;
};
