#pragma once
// `animtile`: a tile that plays texture frames over one cycle while blending
// its colour, location, scale and angle; looped, held on its last frame, or
// played once and then hidden.
#include <cstdint>
#include <vector>

#include "o2dgui_stdclass_tile.h"

// Commands of its own besides show, hide, enable and disable.
enum GUIAnimTileCommand : int32_t {
  GUICMD_PLAYONCE = 5,            // restart and run one cycle, then hide
  GUICMD_PLAYONCE_IFNOTPLAYING = 6,  // the same unless a run is under way
};

class CGUIAnimTile : public CGUITile {
 public:
  explicit CGUIAnimTile(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUIAnimTile(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  void ExecuteCommand(int32_t command) override;
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;
  void Draw() override;

  int32_t GetFrame() const { return m_iFrame; }
  const std::vector<int32_t>& GetFrames() const { return m_frames; }

 private:
  GUIRECT m_colorBegin{1.0f, 1.0f, 1.0f, 0.0f};
  GUIRECT m_colorMiddle{1.0f, 1.0f, 1.0f, 0.5f};
  GUIRECT m_colorEnd{1.0f, 1.0f, 1.0f, 1.0f};
  GUIPOINT m_locBegin;
  GUIPOINT m_locMiddle;
  GUIPOINT m_locEnd;
  GUIPOINT m_locCenter;  // relative to the element's position
  float m_fScaleBegin = 1.0f, m_fScaleMiddle = 1.0f, m_fScaleEnd = 1.0f;
  float m_fAngleBegin = 0.0f, m_fAngleMiddle = 0.0f, m_fAngleEnd = 0.0f;  // degrees
  std::vector<int32_t> m_frames;  // texture indices
  float m_fCycleTime = 0.1f;
  bool m_bLooped = false;
  bool m_bNoParentEnabled = true;
  bool m_bPlayingOnce = false;

  float m_fTime = 0.0f;
  GUIPOINT m_center;
  float m_fScale = 1.0f;
  float m_fAngle = 0.0f;
  int32_t m_iFrame = 0;
};
