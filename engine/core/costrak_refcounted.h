#pragma once
// Reference-counted device objects (textures) as the COM-style item manager
// holds them: the manager owns one reference and gives it back with Release(),
// which returns the references left; the object deletes itself at 0.
#include <concepts>
#include <cstdint>

template <typename T>
concept O2DRefCounted = requires(T* object) {
  { object->AddRef() } -> std::same_as<uint32_t>;
  { object->Release() } -> std::same_as<uint32_t>;
};
