// The recording device the engine's graphics tests draw on.
#include <gtest/gtest.h>

#include <vector>

#include "o2d_recording_device.h"

namespace {

struct RecordingFixture : ::testing::Test {
  void SetUp() override {
    adapter = new CO2DRecordingAdapter;
    O2DPresentParams params;
    params.Windowed = true;
    ASSERT_NE(adapter->CreateDevice(params), nullptr);
    device = adapter->Device();
  }
  void TearDown() override {
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(adapter->Device(), nullptr);
    EXPECT_EQ(adapter->Release(), 0u);
  }
  CO2DRecordingAdapter* adapter = nullptr;
  CO2DRecordingDevice* device = nullptr;
};

TEST_F(RecordingFixture, RecordsCallsInOrderWithACopyOfTheDrawnVertices) {
  const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
  ASSERT_TRUE(device->UploadIndices(indices, 6));
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetViewport({790, 0, 100, 50, 0.0f, 1.0f});
  QuadVertex* v = device->LockVertexBuffer();
  ASSERT_NE(v, nullptr);
  for (int k = 0; k < 4; ++k) v[k] = {float(k), 2.0f, 0.5f, 0.5f, 0xFF112233u, 0xFFFFFFFFu, 0, 0, 0, 0};
  ASSERT_TRUE(device->UnlockVertexBuffer());
  ASSERT_TRUE(device->DrawIndexedTriangleList(0, 4, 0, 2));
  device->LockVertexBuffer()[0].x = 99.0f;  // later writes do not touch the record
  device->UnlockVertexBuffer();
  device->Present();

  const auto& calls = device->Calls();
  ASSERT_EQ(calls.size(), 9u);
  EXPECT_TRUE(std::holds_alternative<O2DRecSetIndices>(calls[0]));
  EXPECT_EQ(std::get<O2DRecSetStageState>(calls[1]).Stage, 1u);
  EXPECT_EQ(std::get<O2DRecSetViewport>(calls[2]).Viewport.Width, 10u);  // clipped to the back buffer
  const auto draws = device->CallsOf<O2DRecDraw>();
  ASSERT_EQ(draws.size(), 1u);
  ASSERT_EQ(draws[0]->Vertices.size(), 4u);
  EXPECT_EQ(draws[0]->Vertices[0].x, 0.0f);
  EXPECT_EQ(draws[0]->Vertices[3].x, 3.0f);
  EXPECT_TRUE(std::holds_alternative<O2DRecPresent>(calls.back()));
  EXPECT_EQ(device->StageState(0, D3DTSS_COLOROP), D3DTOP_MODULATE);  // the device defaults
  EXPECT_EQ(device->StageState(1, D3DTSS_ALPHAOP), D3DTOP_DISABLE);
}

TEST_F(RecordingFixture, TexturesLiveInMemoryAndUnbindWhenReleased) {
  const uint16_t texels[5] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x1234};  // 2x2, then 1x1
  IO2DTexture* texture = device->CreateTexture(2, 2, 0, D3DFMT_R5G6B5, texels);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->GetLevelCount(), 2u);  // 0 asks for the full chain
  O2DLockedRect rect;
  ASSERT_TRUE(texture->LockRect(0, rect));
  EXPECT_EQ(rect.Pitch, 4u);
  EXPECT_EQ(static_cast<const uint16_t*>(rect.Bits)[3], 0xFFFF);
  EXPECT_FALSE(texture->LockRect(0, rect));
  ASSERT_TRUE(texture->UnlockRect(0));
  EXPECT_FALSE(texture->LockRect(2, rect));

  device->SetTexture(0, texture);
  EXPECT_EQ(device->Release(), 1u);  // the texture still holds the device
  device->AddRef();
  EXPECT_EQ(texture->Release(), 0u);
  EXPECT_EQ(device->BoundTexture(0), nullptr);
  EXPECT_EQ(device->LiveTextureCount(), 0u);
  EXPECT_EQ(device->CreateTexture(4096, 4096, 1, D3DFMT_A8R8G8B8), nullptr);  // above the scripted caps
}

}  // namespace
