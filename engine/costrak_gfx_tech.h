#pragma once
// Techniques: named bundles of render and texture-stage states, applied before drawing.
#include <cstdint>

// One technique as its pack declares it. The fields are filled by the technique loader.
struct O2DTECHNIQUE {};
