// The current quad and the batch that queues it: up to 500 quads in the dynamic
// vertex buffer, drawn with one call when the batch is full, at scene end, and
// before a texture, technique or viewport change.
#include <cmath>

#include "costrak.h"
#include "costrak_gfx_state.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GFX_VQUAD;

namespace {

// The fog colour behind the specular red, green and blue: always white, so
// only the specular alpha (the fog value) varies.
constexpr float kFogColor[3] = {1.0f, 1.0f, 1.0f};

// Truncated toward zero; only the low 8 bits count. A value no integer can hold
// (or a NaN) contributes 0 instead of undefined behaviour.
uint32_t LowByte(float scaled) {
  if (!(scaled > -2147483648.0f && scaled < 2147483648.0f)) return 0;
  return static_cast<uint32_t>(static_cast<int32_t>(scaled)) & 0xFFu;
}

// Saturated and rounded to nearest.
uint32_t FogByte(float value) {
  if (value >= 1.0f) return 255;
  if (!(value > 0.0f)) return 0;
  return static_cast<uint32_t>(value * 255.0f + 0.5f);
}

uint32_t FogSpecular(float fogValue) {
  return FogByte(fogValue) << 24 | FogByte(kFogColor[0]) << 16 | FogByte(kFogColor[1]) << 8 | FogByte(kFogColor[2]);
}

bool IsCorner(int32_t vertex) { return vertex >= 0 && vertex < 4; }

}  // namespace

uint32_t COstrak::PackColor(float r, float g, float b, float a) {
  return LowByte(a * 255.0f) << 24 | LowByte(r * 255.0f) << 16 | LowByte(g * 255.0f) << 8 | LowByte(b * 255.0f);
}

void COstrak::VQuadSetPos(float x, float y, float width, float height, float z) {
  EHS_CP();
  QuadVertex* v = m_gfx->quad.Vertices;
  v[0].x = x, v[0].y = y;
  v[1].x = x + width, v[1].y = y;
  v[2].x = x + width, v[2].y = y + height;
  v[3].x = x, v[3].y = y + height;
  for (int k = 0; k < 4; ++k) v[k].z = z;
  if (m_gfx->quad.bFog) {
    m_gfx->quad.fFogValue = z;
    for (int k = 0; k < 4; ++k) v[k].specular = FogSpecular(z);
  }
}

// Callers are meant to pass 0..3; any other index is ignored rather than
// written past the quad.
void COstrak::VQuadSetPosByVertex(int32_t vertex, float x, float y, float z) {
  EHS_CP();
  if (!IsCorner(vertex)) return;
  QuadVertex& v = m_gfx->quad.Vertices[vertex];
  v.x = x;
  v.y = y;
  v.z = z;
  if (m_gfx->quad.bFog) {
    m_gfx->quad.fFogValue = z;
    v.specular = FogSpecular(z);
  }
}

void COstrak::VQuadRotate(float cx, float cy, float angle) {
  EHS_CP();
  const float a = angle * 0.017453292f;
  const float c = std::cos(a), s = std::sin(a);
  for (QuadVertex& v : m_gfx->quad.Vertices) {
    const float dx = v.x - cx, dy = v.y - cy;
    v.x = dx * c - dy * s + cx;
    v.y = dy * c + dx * s + cy;
  }
}

void COstrak::VQuadScale(float cx, float cy, float factor) {
  EHS_CP();
  for (QuadVertex& v : m_gfx->quad.Vertices) {
    v.x = (v.x - cx) * factor + cx;
    v.y = (v.y - cy) * factor + cy;
  }
}

// With fog on, each corner's fog follows its depth after the move.
void COstrak::VQuadMove(float dx, float dy, float dz) {
  EHS_CP();
  for (QuadVertex& v : m_gfx->quad.Vertices) {
    v.x += dx;
    v.y += dy;
    v.z += dz;
    if (m_gfx->quad.bFog) v.specular = FogSpecular(v.z);
  }
  if (m_gfx->quad.bFog) m_gfx->quad.fFogValue = m_gfx->quad.Vertices[0].z;
}

void COstrak::VQuadSetTexCoords(int32_t set, float left, float top, float right, float bottom) {
  EHS_CP();
  if (set != 1 && set != 2) EHS_RAISE(EHS_GAME, 0, "Wrong texture coordinates set number: must be 1 or 2");
  const float us[4] = {left, right, right, left}, vs[4] = {top, top, bottom, bottom};
  for (int k = 0; k < 4; ++k) {
    QuadVertex& v = m_gfx->quad.Vertices[k];
    (set == 1 ? v.tu1 : v.tu2) = us[k];
    (set == 1 ? v.tv1 : v.tv2) = vs[k];
  }
}

void COstrak::VQuadSetColor(float r, float g, float b, float a) {
  EHS_CP();
  const uint32_t color = PackColor(r, g, b, a);
  for (int k = 0; k < 4; ++k) {
    m_gfx->quad.Vertices[k].diffuse = color;
    m_gfx->quad.Alpha[k] = a;
  }
}

void COstrak::VQuadSetColorByVertex(int32_t vertex, float r, float g, float b, float a) {
  EHS_CP();
  if (!IsCorner(vertex)) return;
  m_gfx->quad.Vertices[vertex].diffuse = PackColor(r, g, b, a);
  m_gfx->quad.Alpha[vertex] = a;
}

// Two triangles per quad, 0-1-2 and 0-2-3.
void COstrak::BatchFillIndices() {
  EHS_CP();
  uint16_t* indices = m_gfx->pDevice ? m_gfx->pDevice->LockIndexBuffer() : nullptr;
  if (!indices) EHS_RAISE(EHS_GENERAL, 0, "Cannot lock index buffer!");
  for (int32_t q = 0; q < O2D_BATCH_QUADS; ++q) {
    const uint16_t v = static_cast<uint16_t>(4 * q);
    uint16_t* i = indices + 6 * q;
    i[0] = v, i[1] = uint16_t(v + 1), i[2] = uint16_t(v + 2);
    i[3] = v, i[4] = uint16_t(v + 2), i[5] = uint16_t(v + 3);
  }
  if (!m_gfx->pDevice->UnlockIndexBuffer()) EHS_RAISE(EHS_GENERAL, 0, "Cannot unlock index buffer!");
}

void COstrak::BatchOpen() {
  EHS_CP();
  // A second open without a close starts over: what was queued is dropped.
  BatchUnlock();
  m_gfx->iQueuedQuads = 0;
  // The device gives no lock while its vertex buffer is released (before a reset).
  if (m_gfx->pDevice) m_gfx->pLockedVertices = m_gfx->pDevice->LockVertexBuffer();
  if (!m_gfx->pLockedVertices) EHS_RAISE(EHS_GENERAL, 0, "Cannot lock vertex buffer!");
  if (!m_gfx->pDevice->SetStreamSource(true)) EHS_RAISE(EHS_GENERAL, 0, "Cannot set stream source!");
}

void COstrak::BatchClose() {
  EHS_CP();
  if (!m_gfx->pLockedVertices) return;
  m_gfx->pDevice->UnlockVertexBuffer();
  m_gfx->pLockedVertices = nullptr;
  if (m_gfx->iQueuedQuads > 0)
    m_gfx->pDevice->DrawIndexedTriangleList(0, uint32_t(m_gfx->iQueuedQuads) * 4, 0, uint32_t(m_gfx->iQueuedQuads) * 2);
  m_gfx->iQueuedQuads = 0;
}

// The half-pixel shift is made in the current quad itself, so a quad queued
// twice without a new position lands half a pixel further up and left.
void COstrak::BatchAddQuad() {
  EHS_CP();
  if (!m_gfx->pLockedVertices) return;
  QuadVertex* slot = m_gfx->pLockedVertices + m_gfx->iQueuedQuads * 4;
  for (int k = 0; k < 4; ++k) {
    QuadVertex& v = m_gfx->quad.Vertices[k];
    v.x -= 0.5f;
    v.y -= 0.5f;
    slot[k] = v;
  }
  if (++m_gfx->iQueuedQuads >= O2D_BATCH_QUADS) BatchFlush();
}

void COstrak::BatchFlush() {
  EHS_CP();
  if (!m_gfx->pLockedVertices || m_gfx->iQueuedQuads == 0) return;
  m_gfx->pLockedVertices = nullptr;
  if (!m_gfx->pDevice->UnlockVertexBuffer()) EHS_RAISE(EHS_GENERAL, 0, "Cannot unlock vertex buffer!");
  m_gfx->pDevice->DrawIndexedTriangleList(0, uint32_t(m_gfx->iQueuedQuads) * 4, 0, uint32_t(m_gfx->iQueuedQuads) * 2);
  m_gfx->iQueuedQuads = 0;
  m_gfx->pLockedVertices = m_gfx->pDevice->LockVertexBuffer();
  if (!m_gfx->pLockedVertices) EHS_RAISE(EHS_GENERAL, 0, "Cannot lock vertex buffer!");
}

void COstrak::BatchUnlock() {
  EHS_CP();
  if (m_gfx->pLockedVertices) {
    m_gfx->pDevice->UnlockVertexBuffer();
    m_gfx->pLockedVertices = nullptr;
  }
  m_gfx->iQueuedQuads = 0;
}
