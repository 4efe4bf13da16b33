#include "o2d_render_device_base.h"

#include <algorithm>

CO2DRenderDeviceBase::CO2DRenderDeviceBase() : m_vertices(O2D_VERTEX_BUFFER_VERTICES) {}

// --- states -----------------------------------------------------------------

void CO2DRenderDeviceBase::ResetCommonStates(uint32_t backWidth, uint32_t backHeight) {
  for (uint32_t state = 0; state < O2D_RENDERSTATE_COUNT; ++state)
    m_renderStates[state] = O2DDefaultRenderState(state);
  for (uint32_t stage = 0; stage < O2D_STAGE_COUNT; ++stage)
    for (uint32_t type = 0; type < O2D_STAGESTATE_COUNT; ++type)
      m_stageStates[stage][type] = O2DDefaultStageState(stage, type);
  m_viewport = {0, 0, backWidth, backHeight, 0.0f, 1.0f};
  m_vertexLocked = false;
}

bool CO2DRenderDeviceBase::StoreRenderState(uint32_t state, uint32_t value) {
  if (state >= O2D_RENDERSTATE_COUNT) return false;
  m_renderStates[state] = value;
  return true;
}

bool CO2DRenderDeviceBase::StoreStageState(uint32_t stage, uint32_t type, uint32_t value) {
  if (stage >= O2D_STAGE_COUNT || type >= O2D_STAGESTATE_COUNT) return false;
  m_stageStates[stage][type] = value;
  return true;
}

void CO2DRenderDeviceBase::StoreViewport(const O2DViewport& viewport, uint32_t backWidth, uint32_t backHeight) {
  m_viewport = viewport;
  m_viewport.X = std::min(viewport.X, backWidth);
  m_viewport.Y = std::min(viewport.Y, backHeight);
  m_viewport.Width = std::min(viewport.Width, backWidth - m_viewport.X);
  m_viewport.Height = std::min(viewport.Height, backHeight - m_viewport.Y);
}

uint32_t CO2DRenderDeviceBase::RenderState(uint32_t state) const {
  return state < O2D_RENDERSTATE_COUNT ? m_renderStates[state] : 0;
}

uint32_t CO2DRenderDeviceBase::StageState(uint32_t stage, uint32_t type) const {
  return stage < O2D_STAGE_COUNT && type < O2D_STAGESTATE_COUNT ? m_stageStates[stage][type] : 0;
}

// --- vertex buffer ------------------------------------------------------------

bool CO2DRenderDeviceBase::CreateVertexBuffer() {
  m_vertexBufferExists = AllocateVertexBuffer();
  return m_vertexBufferExists;
}

void CO2DRenderDeviceBase::ReleaseVertexBuffer() {
  m_vertexLocked = false;
  m_vertexBufferExists = false;
  m_streamBound = false;
}

QuadVertex* CO2DRenderDeviceBase::LockVertexBuffer() {
  if (m_vertexLocked || !m_vertexBufferExists) return nullptr;
  m_vertexLocked = true;
  return m_vertices.data();
}

bool CO2DRenderDeviceBase::UnlockVertexBuffer() {
  if (!m_vertexLocked) return false;
  m_vertexLocked = false;
  return true;
}

bool CO2DRenderDeviceBase::SetStreamSource(bool bind) {
  if (bind && !m_vertexBufferExists) return false;
  m_streamBound = bind;
  return true;
}

// --- index buffer -------------------------------------------------------------

bool CO2DRenderDeviceBase::CreateIndexBuffer() {
  if (!AllocateIndexBuffer()) return false;
  m_indexStaging.assign(O2D_INDEX_BUFFER_INDICES, 0);
  return true;
}

uint16_t* CO2DRenderDeviceBase::LockIndexBuffer() {
  if (m_indexStaging.empty() || m_indexLocked) return nullptr;
  m_indexLocked = true;
  return m_indexStaging.data();
}

// An index past the vertex buffer would make a draw read outside it; such
// contents never reach the device, and the previous ones stay.
bool CO2DRenderDeviceBase::UnlockIndexBuffer() {
  if (!m_indexLocked) return false;
  m_indexLocked = false;
  if (std::any_of(m_indexStaging.begin(), m_indexStaging.end(),
                  [](uint16_t i) { return i >= O2D_VERTEX_BUFFER_VERTICES; }))
    return false;
  m_indices = m_indexStaging;
  IndicesUnlocked(m_indices);
  return true;
}

bool CO2DRenderDeviceBase::SetIndices() {
  if (m_indices.empty()) return false;
  m_indicesBound = true;
  return true;
}

// --- drawing ------------------------------------------------------------------

bool CO2DRenderDeviceBase::DrawIndexedTriangleList(uint32_t minIndex, uint32_t numVertices, uint32_t startIndex,
                                                   uint32_t primitiveCount) {
  if (m_vertexLocked || !m_streamBound || !m_indicesBound || primitiveCount == 0) return false;
  if (uint64_t(minIndex) + numVertices > O2D_VERTEX_BUFFER_VERTICES) return false;
  if (startIndex + uint64_t(primitiveCount) * 3 > m_indices.size()) return false;
  DrawTriangles(m_vertices, minIndex, numVertices, startIndex, primitiveCount);
  return true;
}
