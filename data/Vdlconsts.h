// Fixed, compiled-in tables: the editions, the picture names of the firm
// mark-up, the map object type names and the layer visibility by scale.
#pragma once

#include <array>

// The edition index (1 or 2) picks entry [index] of every edition array;
// entry [0] is never used, since 0 means that no edition was chosen.
inline constexpr int kEditionCount = 2;

extern const std::array<const char*, kEditionCount + 1> MapFiles;
extern const std::array<const char*, kEditionCount + 1> DMapFiles;
extern const std::array<const char*, kEditionCount + 1> GraphFiles;
extern const std::array<const char*, kEditionCount + 1> IconFiles;
extern const std::array<const char*, kEditionCount + 1> MapNames;
extern const std::array<const char*, kEditionCount + 1> MapPw;
extern const std::array<const char*, kEditionCount + 1> MapDescriptions;

extern const std::array<const char*, 9> LoadPics;
extern const std::array<const char*, 9> TypesObj;

// Which of the types 0..5 the map shows up to scale 500, and above it.
extern const std::array<bool, 6> VisibleObjMinScale;
extern const std::array<bool, 6> VisibleObjgMinScale;
