#pragma once

#include <array>

#include "runtime/slot_table.h"

namespace grumbol::game {

// The slots the game keeps its pictures, sounds, movies and record file in, with the GFX
// file each is loaded from. Keyed pictures are drawn with magenta as transparent.

// Pictures.
inline constexpr SlotId kCrossHair = 0;     // Kreuz.qz, keyed: drawn centred on the pointer
inline constexpr SlotId kBackground = 1;    // Back.qz: drawn first each frame
inline constexpr SlotId kPausePicture = 2;  // Pause.qz, keyed: loaded but never shown

// The fish animation: frame n (1 to 9) from VuskN.qz, keyed. A fish shows frame
// anim_counter / 3, so it starts on frame 1 and is freed after frame 9.
inline constexpr int kFishFrames = 9;
constexpr SlotId FishFrame(int n) { return 10 + n; }

// The overlays hot keys 1 to 3 show while held: overlay n from GayN.qz, keyed.
constexpr SlotId Overlay(int n) { return 50 + n; }
inline constexpr int kOverlays = 3;
inline constexpr SlotId kCornerOverlay = Overlay(1);  // key 1: in the four corners
inline constexpr SlotId kCentreOverlay = Overlay(2);  // key 2: once, near the middle
inline constexpr SlotId kEdgeOverlay = Overlay(3);    // key 3: at the middle of each edge

// Sounds.
inline constexpr SlotId kHitSound = 5;   // Sound1.qzs: a fish is shot
inline constexpr SlotId kMissSound = 6;  // Sound2.qzs: a fish gets through

// The movies: movie n (1 to 7) from MovieN.qzm. Hot keys 0, 5, 8, 9, 7 and 6 play movies
// 1 to 6 in that order; movie 7 has no key.
constexpr SlotId Movie(int n) { return 7 + n; }
inline constexpr std::array<SlotId, 7> kMovies{Movie(1), Movie(2), Movie(3), Movie(4),
                                               Movie(5), Movie(6), Movie(7)};
inline constexpr SlotId kTitleMovie = Movie(1);  // started with the game, stopped at its end
inline constexpr SlotId kScoreMovie = Movie(7);  // restarted every frame the score is 2200

// The data file the record line is written through (Game::kRecordPath).
inline constexpr SlotId kRecordFile = 0;

}  // namespace grumbol::game
