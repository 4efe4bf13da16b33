#pragma once
// Reference-counted device objects (textures) as the COM-style item manager
// holds them: the manager owns one reference and gives it back with Release().
#include <cstdint>

class IO2DRefCounted {
 public:
  virtual ~IO2DRefCounted() = default;
  // Both return the reference count after the call; an object deletes itself
  // when Release() brings the count to 0.
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;
};
