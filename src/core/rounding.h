#pragma once
#include <cstdint>

// A fraction to a whole number: to the nearest, halves to the even neighbour
// (262.5 -> 262, 263.5 -> 264), held within the 32-bit range.
int32_t roundHalfEven(double position);
