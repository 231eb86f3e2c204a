#include "ReticleMirror.h"

#include "Reticle.h"

int ReticleMirror::draw() { return drawReticle(getPosition()); }
