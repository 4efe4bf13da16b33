// Dynamic lighting of the current quad before it is queued: vertex lighting from
// point lights over an ambient colour, or Dot3, where each corner carries the
// direction towards one light for a dot-product texture stage.
#include <cmath>
#include <new>
#include <string>

#include "costrak.h"
#include "costrak_gfx_state.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GFX_LIGHT;

namespace {

// Saturated and rounded to nearest.
uint32_t LightByte(float value) {
  if (value >= 1.0f) return 255;
  if (!(value > 0.0f)) return 0;
  return static_cast<uint32_t>(value * 255.0f + 0.5f);
}

// -1..1 to 1..255 (0 for anything that is not a number).
uint32_t DirectionByte(float component) {
  if (!(component >= -1.0f && component <= 1.0f)) return component > 1.0f ? 255 : 0;
  return static_cast<uint32_t>(component * 127.0f + 128.0f);
}

}  // namespace

void COstrak::LightQuad() {
  EHS_CP();
  if (m_gfx->uDynLightMode != 1 && m_gfx->uDynLightMode != 2) return;
  // Depth differences count in screen pixels: the mean of the frame's sides.
  const float depthScale = float((m_gfx->iScreenWidth + m_gfx->iScreenHeight) / 2);
  QuadVertex* corners = m_gfx->quad.Vertices;

  if (m_gfx->uDynLightMode == 1) {
    float accum[4][4];
    for (auto& a : accum)
      for (int c = 0; c < 4; ++c) a[c] = m_gfx->afAmbientColor[c];
    if (m_gfx->pLightsManager) {
      for (const Light* light = m_gfx->pLightsManager->GetFirstWithTag(0); light;
           light = m_gfx->pLightsManager->GetNextWithTag()) {
        if (!light->bEnabled) continue;
        for (int k = 0; k < 4; ++k) {
          const float dx = corners[k].x - light->afPosition[0];
          const float dy = corners[k].y - light->afPosition[1];
          const float dz = (corners[k].z - light->afPosition[2]) * depthScale;
          const float dist = std::sqrt(dx * dx + dy * dy + dz * dz);
          float f = 1.0f;
          if (!(dist <= light->fInnerRadius)) {
            // A light without a fall-off zone reaches nothing beyond its inner radius.
            const float range = light->fOuterRadius - light->fInnerRadius;
            f = range > 0.0f ? 1.0f - (dist - light->fInnerRadius) / range : 0.0f;
          }
          if (!(f > 0.0f)) continue;
          for (int c = 0; c < 3; ++c) accum[k][c] += light->afColor[c] * f;
          accum[k][3] += light->fAlpha * f;
        }
      }
    }
    for (int k = 0; k < 4; ++k)
      corners[k].diffuse = LightByte(m_gfx->quad.Alpha[k]) << 24 | LightByte(accum[k][0]) << 16 |
                           LightByte(accum[k][1]) << 8 | LightByte(accum[k][2]);
    return;
  }

  if (!m_gfx->caps.bDot3BumpMapping) return;
  const Light* light = LightGet(m_gfx->iDot3Light);
  if (!light) EHS_RAISE(EHS_GENERAL, 0, "Wrong Dot3 light specified!");
  for (int k = 0; k < 4; ++k) {
    float v[3] = {light->afPosition[0] - corners[k].x, light->afPosition[1] - corners[k].y,
                  (light->afPosition[2] - corners[k].z) * depthScale};
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    // A corner exactly at the light has no direction.
    for (float& c : v) c = length > 0.0f ? c / length : 0.0f;
    corners[k].specular = 0xFF000000u | DirectionByte(v[0]) << 16 | DirectionByte(v[1]) << 8 | DirectionByte(v[2]);
  }
}

int32_t COstrak::LightAdd(const Light& light, int32_t tag) {
  EHS_CP();
  if (!m_gfx->pLightsManager) EHS_RAISE(EHS_GAME, 0, "Cannot add a light: graphics is not initialized!");
  Light* copy = new (std::nothrow) Light(light);
  if (!copy) EHS_RAISE(EHS_GENERAL, 0, "Cannot create light object!");
  return m_gfx->pLightsManager->AddItem(copy, std::string(), tag);
}

const Light* COstrak::LightGet(int32_t id) const { return m_gfx->pLightsManager ? m_gfx->pLightsManager->GetItem(id) : nullptr; }

void COstrak::LightSet(int32_t id, const Light& light) {
  EHS_CP();
  Light* target = m_gfx->pLightsManager ? m_gfx->pLightsManager->GetItem(id) : nullptr;
  if (!target) EHS_RAISE(EHS_GAME, 0, "Invalid light ID! ID = " + std::to_string(id));
  *target = light;
}

void COstrak::LightRemove(int32_t id) {
  EHS_CP();
  if (!LightGet(id)) EHS_RAISE(EHS_GAME, 0, "Invalid light ID! ID = " + std::to_string(id));
  m_gfx->pLightsManager->FreeItem(id);
}
