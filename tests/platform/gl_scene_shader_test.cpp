// The scene programs' keys (what they draw is checked by the pixel tests).
#include <gtest/gtest.h>


#include "o2d_gl_shaders.h"
#include "o2d_render_device.h"

namespace {

constexpr O2DStageOps kDisabled{D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE, D3DTA_TEXTURE,
                                D3DTA_CURRENT};

TEST(SceneShaderTest, StatesThatDrawAlikeShareAKeyAndOthersDoNot) {
  const O2DStageOps select{D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0};
  const O2DSceneKey key = O2DMakeSceneKey(select, kDisabled, false);
  // Unread second arguments, argument modifiers, unknown operations (SELECTARG1).
  EXPECT_EQ(O2DMakeSceneKey({D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_SPECULAR, 99, D3DTA_DIFFUSE | 0x20, 3},
                            kDisabled, false),
            key);
  // A stage after a disabled one, and alpha beside a dot product, are never read.
  const O2DStageOps modulate{D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_ADD, D3DTA_TEXTURE, 0};
  EXPECT_EQ(O2DMakeSceneKey(kDisabled, select, false), O2DMakeSceneKey(kDisabled, modulate, false));
  EXPECT_EQ(O2DMakeSceneKey({D3DTOP_DOTPRODUCT3, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_ADD, 1, 2}, kDisabled, false),
            O2DMakeSceneKey({D3DTOP_DOTPRODUCT3, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, 0, 0}, kDisabled, false));
  EXPECT_NE(O2DMakeSceneKey(select, kDisabled, true), key);
  EXPECT_NE(O2DMakeSceneKey(select, modulate, false), key);
  EXPECT_NE(O2DMakeSceneKey({D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, 0}, kDisabled, false),
            key);
}

}  // namespace
