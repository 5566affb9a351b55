// The curves and the speed the train runs them at, held to the reference
// railway: the built-in scenario, whose highest speed limit over each curve
// class is the most the rule lets a train's limit be there.
#pragma once

#include <array>
#include <cstdint>

#include "model/modello.h"

namespace strumento::regole_ferrovia {

// Curve classes 1 to 6 (index 0 unused) and their radii, m.
inline constexpr std::array<std::int64_t, 7> raggio_classe = {0, 10000, 5000, 2500, 1000, 500, 333};

// The highest speed limit of the train over any curve of each class, km/h,
// in the built-in scenario; a test derives it again from that scenario.
inline constexpr std::array<std::int64_t, 7> velocita_riferimento = {0, 170, 170, 170, 150, 110, 105};

// The highest speed limit of the train over any curve of each class in a
// compiled pair; 0 for a class with no curve.
std::array<std::int64_t, 7> velocita_per_classe(const modello::Modello& m);

}  // namespace strumento::regole_ferrovia
