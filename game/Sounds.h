#pragma once

/// Plays the sound with this label once, when it is loaded and the engine's
/// resources are still up.
void playSound(const char* label);
