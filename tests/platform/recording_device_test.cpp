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
    ASSERT_NE(device, nullptr);
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
  ASSERT_TRUE(device->SetIndices(indices, 6));
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetViewport({790, 0, 100, 50, 0.0f, 1.0f});
  device->BeginScene();
  device->Clear(D3DCLEAR_TARGET, 0xFF000000u, 0.0f);
  QuadVertex* v = device->LockVertexBuffer();
  ASSERT_NE(v, nullptr);
  for (int k = 0; k < 4; ++k) v[k] = {float(k), 2.0f, 0.5f, 0.5f, 0xFF112233u, 0xFFFFFFFFu, 0, 0, 0, 0};
  ASSERT_TRUE(device->UnlockVertexBuffer());
  ASSERT_TRUE(device->DrawIndexedTriangleList(0, 4, 0, 2));
  device->LockVertexBuffer()[0].x = 99.0f;  // later writes do not touch the record
  device->UnlockVertexBuffer();
  device->EndScene();
  device->Present();

  const auto& calls = device->Calls();
  ASSERT_EQ(calls.size(), 13u);
  EXPECT_TRUE(std::holds_alternative<O2DRecSetIndices>(calls[0]));
  const auto& rs = std::get<O2DRecSetRenderState>(calls[1]);
  EXPECT_EQ(rs.State, D3DRS_ALPHABLENDENABLE);
  EXPECT_EQ(rs.Value, 1u);
  const auto& ss = std::get<O2DRecSetStageState>(calls[2]);
  EXPECT_EQ(ss.Stage, 1u);
  EXPECT_EQ(ss.Value, D3DTOP_MODULATE);
  EXPECT_EQ(std::get<O2DRecSetViewport>(calls[3]).Viewport.Width, 10u);  // clipped to the back buffer
  EXPECT_TRUE(std::holds_alternative<O2DRecBeginScene>(calls[4]));
  EXPECT_EQ(std::get<O2DRecClear>(calls[5]).Color, 0xFF000000u);
  const auto draws = device->CallsOf<O2DRecDraw>();
  ASSERT_EQ(draws.size(), 1u);
  ASSERT_EQ(draws[0]->Vertices.size(), 4u);
  EXPECT_EQ(draws[0]->Vertices[0].x, 0.0f);
  EXPECT_EQ(draws[0]->Vertices[3].x, 3.0f);
  EXPECT_EQ(draws[0]->Vertices[2].diffuse, 0xFF112233u);
  EXPECT_TRUE(std::holds_alternative<O2DRecPresent>(calls.back()));

  EXPECT_EQ(device->RenderState(D3DRS_ALPHABLENDENABLE), 1u);
  EXPECT_EQ(device->StageState(1, D3DTSS_COLOROP), D3DTOP_MODULATE);
  EXPECT_EQ(device->StageState(0, D3DTSS_COLOROP), D3DTOP_MODULATE);  // the device default
  EXPECT_EQ(device->StageState(1, D3DTSS_ALPHAOP), D3DTOP_DISABLE);
}

TEST_F(RecordingFixture, ScriptedLossNeedsAResetThatRestoresTheDefaults) {
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetViewport({10, 10, 20, 20, 0.0f, 1.0f});
  device->SetCooperativeLevel(D3DERR_DEVICELOST);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_FALSE(device->Reset(device->Params()));
  device->SetCooperativeLevel(D3DERR_DEVICENOTRESET);
  device->Fail.Reset = true;
  EXPECT_FALSE(device->Reset(device->Params()));
  device->Fail.Reset = false;
  ASSERT_TRUE(device->Reset(device->Params()));
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(device->RenderState(D3DRS_SRCBLEND), D3DBLEND_ONE);
  EXPECT_EQ(device->Viewport().Width, 800u);
  EXPECT_EQ(device->CallsOf<O2DRecReset>().size(), 1u);
}

TEST_F(RecordingFixture, TexturesLiveInMemoryAndUnbindWhenReleased) {
  const uint16_t texels[5] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x1234};  // 2x2, then 1x1
  IO2DTexture* texture = device->CreateTexture(2, 2, 0, D3DFMT_R5G6B5, texels);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->GetLevelCount(), 2u);  // 0 asks for the full chain
  EXPECT_EQ(device->LiveTextureCount(), 1u);
  O2DLockedRect rect;
  ASSERT_TRUE(texture->LockRect(0, rect));
  EXPECT_EQ(rect.Pitch, 4u);
  EXPECT_EQ(static_cast<const uint16_t*>(rect.Bits)[3], 0xFFFF);
  EXPECT_FALSE(texture->LockRect(0, rect));
  ASSERT_TRUE(texture->UnlockRect(0));
  EXPECT_FALSE(texture->LockRect(2, rect));

  device->SetTexture(0, texture);
  EXPECT_EQ(device->BoundTexture(0), texture);
  EXPECT_EQ(device->Release(), 1u);  // the texture still holds the device
  device->AddRef();
  EXPECT_EQ(texture->Release(), 0u);
  EXPECT_EQ(device->BoundTexture(0), nullptr);
  EXPECT_EQ(device->LiveTextureCount(), 0u);

  EXPECT_EQ(device->CreateTexture(4096, 4096, 1, D3DFMT_A8R8G8B8), nullptr);  // above the scripted caps
  device->Fail.CreateTexture = true;
  EXPECT_EQ(device->CreateTexture(2, 2, 1, D3DFMT_A8R8G8B8), nullptr);
}

TEST(RecordingAdapter, AnswersFromItsScript) {
  O2DRecordingScript script;
  script.Modes = {{800, 600, 75, D3DFMT_X8R8G8B8}};
  script.TextureFormats = {D3DFMT_A8R8G8B8};
  script.Caps.MipMap = false;
  auto* adapter = new CO2DRecordingAdapter(script);
  O2DDisplayMode mode;
  ASSERT_EQ(adapter->GetModeCount(), 1u);
  ASSERT_TRUE(adapter->EnumMode(0, mode));
  EXPECT_EQ(mode.RefreshRate, 75u);
  EXPECT_FALSE(adapter->EnumMode(1, mode));
  EXPECT_TRUE(adapter->CheckTextureFormat(D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8));
  EXPECT_FALSE(adapter->CheckTextureFormat(D3DFMT_X8R8G8B8, D3DFMT_R5G6B5));
  adapter->Script().FormatCheck = [](uint32_t display, uint32_t) { return display == D3DFMT_R5G6B5; };
  EXPECT_TRUE(adapter->CheckTextureFormat(D3DFMT_R5G6B5, D3DFMT_A8R3G3B2));
  EXPECT_FALSE(adapter->GetCaps().MipMap);
  O2DAdapterIdentifier id;
  EXPECT_TRUE(adapter->GetIdentifier(id));
  adapter->Script().FailIdentifier = true;
  EXPECT_FALSE(adapter->GetIdentifier(id));
  adapter->Script().FailCreateDevice = true;
  EXPECT_EQ(adapter->CreateDevice(O2DPresentParams{}), nullptr);
  EXPECT_FALSE(adapter->LastError().empty());
  EXPECT_EQ(adapter->Release(), 0u);
}

}  // namespace
