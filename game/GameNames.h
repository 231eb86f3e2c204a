#pragma once

/// The shooter's names, each written once: object types (objects know each
/// other only by these), resource labels and the view tags that events and
/// displays share.
namespace names {

/// Object types, as getType() returns them.
inline constexpr const char* ASTEROID = "Asteroid";
inline constexpr const char* BULLET = "Bullet";
inline constexpr const char* EXPLOSION = "Explosion";
inline constexpr const char* GAME_OVER = "GameOver";
inline constexpr const char* GAME_START = "GameStart";
inline constexpr const char* MISSILE = "Missile";
inline constexpr const char* MISSILE_EXPLOSION = "MissileExplosion";
inline constexpr const char* PLAYER = "Player";
inline constexpr const char* RETICLE = "Reticle";
inline constexpr const char* WATCH_SCREEN = "WatchScreen";

/// Sprite labels in the resource manager.
inline constexpr const char* ASTEROID_SPRITE = "asteroid";
inline constexpr const char* BULLET_SPRITE = "bullet";
inline constexpr const char* EXPLOSION_SPRITE = "explosion";
inline constexpr const char* GAME_OVER_SPRITE = "gameover";
inline constexpr const char* GAME_START_SPRITE = "gamestart";
inline constexpr const char* MISSILE_SPRITE = "missile";
inline constexpr const char* MISSILE_EXPLOSION_SPRITE = "missileexplosion";
inline constexpr const char* PLAYER_SPRITE = "player";

/// Sound and music labels in the resource manager.
inline constexpr const char* EXPLODE_SOUND = "explode";
inline constexpr const char* FIRE_SOUND = "fire";
inline constexpr const char* GAME_OVER_SOUND = "game over";
inline constexpr const char* START_MUSIC = "start music";

/// View tags: the label a display shows and the tag of the view events it adds.
inline constexpr const char* POINTS_VIEW = "Points";
inline constexpr const char* MISSILES_VIEW = "Missiles";

} // namespace names
