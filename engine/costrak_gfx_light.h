#pragma once
// Dynamic lights that colour the current quad before it is queued.
#include <cstdint>

// One point light. The fields are filled by the lights code.
struct Light {};
