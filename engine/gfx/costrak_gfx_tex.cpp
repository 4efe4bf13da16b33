// Textures: image resources decoded into device textures, kept in the textures
// manager, and bound to the texture stages.
#include <algorithm>
#include <string>

#include "costrak.h"
#include "costrak_gfx_state.h"
#include "costrak_managers.h"
#include "costrak_utils_csmartid.h"
#include "o2d_image_loader.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GFX_TEX;

int32_t COstrak::LoadTexture(const void* data, uint32_t size, int32_t formatSlot, const char* strID, int32_t mipLevels,
                             int32_t tag, int32_t textureSize) {
  return MakeTexture(data, size, false, formatSlot, strID, mipLevels, tag, textureSize);
}

int32_t COstrak::LoadTextureOfResource(const void* data, uint32_t size, int32_t formatSlot, const char* strID,
                                       int32_t mipLevels, int32_t tag, int32_t textureSize) {
  return MakeTexture(data, size, true, formatSlot, strID, mipLevels, tag, textureSize);
}

O2DTextureRequest COstrak::TexRequest(int32_t formatSlot, int32_t mipLevels, int32_t textureSize) const {
  O2DTextureRequest r;
  // One side for both dimensions; a negative size is taken as no size at all.
  if (textureSize > 0) r.width = r.height = std::min(static_cast<uint32_t>(textureSize), m_gfx->caps.MaxTextureWidth);
  if (formatSlot < 1 || formatSlot > 4) formatSlot = 1;
  const DisplayModeInfo& mode = GfxModeInfo(m_gfx->iDisplayMode);
  const uint32_t formats[4] = {mode.TextureFormat01, mode.TextureFormat02, mode.TextureFormat03, mode.TextureFormat04};
  r.format = formats[formatSlot - 1];
  r.levels = (m_gfx->caps.bMipMapping && mipLevels >= 1) ? static_cast<uint32_t>(mipLevels) : 1u;
  // Images larger than the device allows are reduced to its largest side.
  r.maxSide = std::min(m_gfx->caps.MaxTextureWidth, m_gfx->caps.MaxTextureHeight);
  return r;
}

int32_t COstrak::MakeTexture(const void* data, uint32_t size, bool ahead, int32_t formatSlot, const char* strID,
                             int32_t mipLevels, int32_t tag, int32_t textureSize) {
  EHS_CP();
  if (!m_gfx->pDevice) EHS_RAISE(EHS_GENERAL, 0, "D3DDevice object was not created!");
  EHS_ASSERT(m_gfx->pTexturesManager);
  EHS_ASSERT(strID);
  const int32_t existing = GfxFindItem(m_gfx->pTexturesManager.get(), strID);
  if (existing >= 0) return existing;

  LOG_AddEmptyLines(1);
  LOG_AddEntry(std::string("Loading texture from memory. ID = ") + strID, 1);

  const O2DTextureRequest r = TexRequest(formatSlot, mipLevels, textureSize);
  O2DImageTexture image;
  std::string why;
  IO2DTexture* texture = nullptr;
  const bool made = (ahead && ResTakeTextureAhead(strID, r, image)) ||
                    (data && O2D_LoadImageTexture(data, size, r.width, r.height, r.levels, r.format, image, r.maxSide,
                                                  &why));
  if (made)
    texture = m_gfx->pDevice->CreateTexture(image.width, image.height, image.levels, image.format, image.pixels.data());
  else if (!why.empty())
    LOG_AddEntry(why, 5);  // the image loader's reason, for whoever made the picture
  if (!texture) EHS_RAISE(EHS_GENERAL, 0, "Cannot create texture object!");

  const int32_t id = m_gfx->pTexturesManager->AddItem(texture, strID, tag);
  LOG_AddEntry("Done.", 1);
  LOG_AddEmptyLines(1);
  CSmartID::SetIDByStrID(strID, id);
  return id;
}

int32_t COstrak::GetTextureIID(const char* strID) {
  EHS_CP();
  EHS_ASSERT(strID);
  return O2D_LogMissingIID(GfxFindItem(m_gfx->pTexturesManager.get(), strID), "texture", strID);
}

IO2DTexture* COstrak::TexGet(int32_t id) const {
  return m_gfx->pTexturesManager ? m_gfx->pTexturesManager->GetItem(id) : nullptr;
}

int32_t COstrak::TexGetCurrent(int32_t stage) const {
  return stage >= 0 && stage < int32_t(O2D_STAGE_COUNT) ? m_gfx->aiCurrentTexture[stage] : -1;
}

void COstrak::UnloadTexture(int32_t id) {
  EHS_CP();
  LOG_AddEmptyLines(1);
  LOG_AddEntry("Unloading texture, iID = " + std::to_string(id), 1);
  CSmartID::ClearID(id, SMARTID_TEXTURE);
  TexFree(id);
}

void COstrak::UnloadTextureByStrID(const char* strID) {
  EHS_CP();
  EHS_ASSERT(strID);
  LOG_AddEmptyLines(1);
  LOG_AddEntry(std::string("Unloading texture, strID = ") + strID, 1);
  const int32_t id = GfxFindItem(m_gfx->pTexturesManager.get(), strID);
  if (id >= 0) CSmartID::ClearID(id, SMARTID_TEXTURE);
  TexFree(id);
}

void COstrak::TexFree(int32_t id) {
  EHS_CP();
  if (!TexGet(id)) {
    LOG_AddEntry("Failed.", 5);
    return;
  }
  // Quads queued with the texture are drawn while it still exists, and a stage
  // that held it holds nothing afterwards: a texture loaded later into the same
  // slot has the same ID and must be bound anew.
  for (int32_t& bound : m_gfx->aiCurrentTexture) {
    if (bound != id) continue;
    BatchFlush();
    bound = -1;
  }
  m_gfx->pTexturesManager->FreeItem(id);
  LOG_AddEntry("Done.", 4);
}

// Only stages 0..7 exist; any other number would address past the bindings.
void COstrak::TexCheckStage(int32_t stage) const {
  if (stage < 0 || stage >= int32_t(O2D_STAGE_COUNT))
    EHS_RAISE(EHS_GAME, 0, "Cannot set texture - invalid stage number: " + std::to_string(stage));
}

void COstrak::TexSet(int32_t id, int32_t stage) {
  EHS_CP();
  TexCheckStage(stage);
  // An invalid ID is refused even when the stage holds nothing (-1) already.
  if (id >= 0 && m_gfx->aiCurrentTexture[stage] == id) return;
  BatchFlush();
  IO2DTexture* texture = TexGet(id);
  if (!texture) EHS_RAISE(EHS_GENERAL, 0, "Cannot set texture - invalid ID!");
  m_gfx->pDevice->SetTexture(static_cast<uint32_t>(stage), texture);
  m_gfx->aiCurrentTexture[stage] = id;
}

void COstrak::TexSetByStrID(const char* strID, int32_t stage) {
  EHS_CP();
  TexSet(strID ? GfxFindItem(m_gfx->pTexturesManager.get(), strID) : -1, stage);
}

void COstrak::TexSet(const CSmartID& sid, int32_t stage) { TexSet(sid.GetID(), stage); }

void COstrak::TexSetNoTexture(int32_t stage) {
  EHS_CP();
  TexCheckStage(stage);
  if (!m_gfx->pDevice) EHS_RAISE(EHS_GENERAL, 0, "D3DDevice object was not created!");
  BatchFlush();
  m_gfx->pDevice->SetTexture(static_cast<uint32_t>(stage), nullptr);
  m_gfx->aiCurrentTexture[stage] = -1;
}
