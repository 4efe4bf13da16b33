#pragma once
// The GUI with one-texel textures (TEX_RED, TEX_GREEN, TEX_BLUE, TEX_GREY) and
// native actions that record their calls with the arguments they saw.
#include <cstdio>

#include "../gfx2d/gfx2d_fixture.h"
#include "costrak_utils_demand.h"
#include "gui_fixture.h"

// "name(numbers)": every argument's numbers (booleans as 0 and 1) as %g.
inline void Record(const std::string& name) {
  std::string text;
  for (const CGUIValue& a : COstrakGUI::GetInstance()->GetActionArgs()) {
    std::vector<float> numbers{a.GetType() == GUIVT_BOOLEAN ? float(a.GetBool()) : 0.0f};
    if (a.GetType() == GUIVT_FLOAT) numbers = {a.GetFloat()};
    if (a.GetType() == GUIVT_POINT) numbers = {a.GetPoint().x, a.GetPoint().y};
    if (a.GetType() == GUIVT_RECT) numbers = {a.GetRect().x, a.GetRect().y, a.GetRect().width, a.GetRect().height};
    for (float n : numbers) {
      char number[24];
      std::snprintf(number, sizeof number, text.empty() ? "%g" : " %g", double(n));
      text += number;
    }
  }
  ActionCalls().push_back(name + "(" + text + ")");
}

inline float GUINumber(const std::string& id, const std::string& param) {
  CGUIValue value;
  COstrakGUI::GetInstance()->GetElementParam(id, param, value);
  return value.GetFloat();
}

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kGrey = 0xFF808080u;

// A quad with one of the textures, as a game's drawing action makes it.
inline void TexturedQuad(const GUIRECT& r, const char* texture) {
  COstrak* engine = O2D_GetEngine();
  engine->TexSet(O2DUTIL_DemandTexture(texture), 0);
  engine->VQuadSetColor(1, 1, 1, 1);
  engine->VQuadSetPos(r.x, r.y, r.width, r.height);
  engine->SceneRender();
}

class GUIListsTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    std::string entries;
    for (auto [id, colour] : {std::pair{"TEX_RED", kRed}, {"TEX_GREEN", kGreen}, {"TEX_BLUE", kBlue}, {"TEX_GREY", kGrey}}) {
      WriteFileBytes(std::string("DATA/") + id + ".bmp", Bitmap32(1, 1, {colour}));
      entries += Res(id, std::string(id) + ".bmp", "TEXTURE");
    }
    Start(entries);
    ActionCalls().clear();
  }
  // Takes the recorded calls, leaving none.
  std::vector<std::string> Calls() { return std::exchange(ActionCalls(), {}); }
  float Number(const std::string& id, const std::string& param) { return GUINumber(id, param); }
  void Press(SDL_Scancode key) {
    Key(key, true);
    Frame();
    Key(key, false);
    Frame();
  }
};
