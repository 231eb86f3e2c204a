#pragma once

/// Loads the game's sprites, music and sounds from sprites/ and sounds/ in
/// the working directory. A file that fails is logged by the resource
/// manager and the game goes on without it.
void loadResources();
