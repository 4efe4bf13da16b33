#pragma once
// What every rendering device keeps alike: the render and stage state tables
// with their defaults, the viewport clipped to the back buffer, and the batch
// buffers' state machine (the vertex buffer's existence, lock and stream
// binding; the index buffer's staging copy, its check at unlock and its
// binding; the ranges a draw may use). The OpenGL device and the recording
// device the graphics tests draw on both derive from it, so they accept and
// refuse exactly the same calls; each adds only what it does with the data.
#include <array>
#include <cstdint>
#include <vector>

#include "o2d_render_device.h"

class CO2DRenderDeviceBase : public IO2DRenderDevice {
 public:
  bool CreateVertexBuffer() override;
  void ReleaseVertexBuffer() override;
  QuadVertex* LockVertexBuffer() override;
  bool UnlockVertexBuffer() override;
  bool SetStreamSource(bool bind) override;
  bool CreateIndexBuffer() override;
  uint16_t* LockIndexBuffer() override;
  bool UnlockIndexBuffer() override;
  bool SetIndices() override;
  bool DrawIndexedTriangleList(uint32_t minIndex, uint32_t numVertices, uint32_t startIndex,
                               uint32_t primitiveCount) final;

  bool HasVertexBuffer() const { return m_vertexBufferExists; }
  bool HasStreamSource() const { return m_streamBound; }
  bool IsVertexBufferLocked() const { return m_vertexLocked; }
  // The index buffer's contents as last handed to the device (empty before).
  const std::vector<uint16_t>& Indices() const { return m_indices; }
  // 0 for a state out of range.
  uint32_t RenderState(uint32_t state) const;
  uint32_t StageState(uint32_t stage, uint32_t type) const;
  const O2DViewport& Viewport() const { return m_viewport; }

 protected:
  CO2DRenderDeviceBase();
  ~CO2DRenderDeviceBase() override = default;

  // The device's own storage for the buffers; false when it cannot be had.
  virtual bool AllocateVertexBuffer() = 0;
  virtual bool AllocateIndexBuffer() = 0;
  // The index buffer was unlocked and every index points into the vertex buffer.
  virtual void IndicesUnlocked(const std::vector<uint16_t>& indices) = 0;
  // A draw that passed every check; `vertices` is the vertex buffer.
  virtual void DrawTriangles(const std::vector<QuadVertex>& vertices, uint32_t minIndex, uint32_t numVertices,
                             uint32_t startIndex, uint32_t primitiveCount) = 0;

  // Every state to its default, the viewport to the whole back buffer, and a
  // vertex-buffer lock ended (what a reset does to them).
  void ResetCommonStates(uint32_t backWidth, uint32_t backHeight);
  // False (and nothing stored) for a state out of range.
  bool StoreRenderState(uint32_t state, uint32_t value);
  bool StoreStageState(uint32_t stage, uint32_t type, uint32_t value);
  void StoreViewport(const O2DViewport& viewport, uint32_t backWidth, uint32_t backHeight);

  std::array<uint32_t, O2D_RENDERSTATE_COUNT> m_renderStates{};
  std::array<std::array<uint32_t, O2D_STAGESTATE_COUNT>, O2D_STAGE_COUNT> m_stageStates{};
  O2DViewport m_viewport;

 private:
  std::vector<QuadVertex> m_vertices;
  bool m_vertexLocked = false;
  bool m_vertexBufferExists = true;
  bool m_streamBound = true;
  std::vector<uint16_t> m_indexStaging;  // what a lock hands out
  bool m_indexLocked = false;
  bool m_indicesBound = false;
  std::vector<uint16_t> m_indices;  // what the last good unlock handed over
};
