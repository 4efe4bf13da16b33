#pragma once
// The GUI on the OpenGL device with a few solid textures: FRAME0..3 (one
// colour each, for animation frames and plain tiles) and SLICES, an 8 x 8
// texture whose 2-texel borders and 4-texel middle carry nine colours.
#include <string>

#include "../gfx2d/gfx2d_fixture.h"
#include "gui_fixture.h"
#include "o2d_input.h"
#include "o2dgui_stdclass_animtile.h"
#include "o2dgui_stdclass_tile.h"
#include "o2dgui_stdclass_window.h"

// The colour of slice (row, column), 0..2 each; and of frame i.
inline uint32_t SliceColour(int row, int col) { return 0xFF000040u | uint32_t(40 + 90 * row) << 16 | uint32_t(40 + 90 * col) << 8; }
inline uint32_t FrameColour(int i) {
  constexpr uint32_t colours[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
  return colours[i];
}

// Native actions record their own name.
#define RECORDING_ACTION(name) \
  inline void name() { ActionCalls().push_back(#name); }
RECORDING_ACTION(OnGotFocus)
RECORDING_ACTION(OnLostFocus)
RECORDING_ACTION(OnClick)
RECORDING_ACTION(OnHotKey)
RECORDING_ACTION(OnShow)
RECORDING_ACTION(OnHide)

class TilesTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    ActionCalls().clear();
    std::vector<uint32_t> slices;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) slices.push_back(SliceColour(y < 2 ? 0 : y < 6 ? 1 : 2, x < 2 ? 0 : x < 6 ? 1 : 2));
    WriteFileBytes("DATA/slices.bmp", Bitmap32(8, 8, slices));
    std::string entries = Res("SLICES", "slices.bmp", "TEXTURE") + Res("ENUM_FRAMES", "frames.enm", "GUIENUMDATA");
    for (int i = 0; i < 4; ++i) {
      const std::string id = "FRAME" + std::to_string(i);
      WriteFileBytes("DATA/" + id + ".bmp", Bitmap32(1, 1, {FrameColour(i)}));
      entries += Res(id, id + ".bmp", "TEXTURE");
    }
    WriteFileBytes("DATA/frames.enm", "<guienum a=\"FRAME0\" b=\"FRAME1\" c=\"FRAME2\" d=\"FRAME3\"/>");
    Start(entries);
    for (auto [name, fn] : {std::pair{"OnGotFocus", &OnGotFocus}, {"OnLostFocus", &OnLostFocus}, {"OnClick", &OnClick},
                            {"OnHotKey", &OnHotKey}, {"OnShow", &OnShow}, {"OnHide", &OnHide}})
      m_gui->RegisterAction(name, fn);
  }
  void Command(const std::string& id, int command) { m_gui->ExecuteElementCommand(id, command); }
  // Takes the recorded calls, leaving none.
  std::vector<std::string> Calls() { return std::exchange(ActionCalls(), {}); }
};
