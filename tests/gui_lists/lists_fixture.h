#pragma once
// The GUI with native actions that record their calls and the arguments they
// saw, and a technique that draws quads in their plain colour.
#include <cstdio>

#include "../gfx2d/gfx2d_fixture.h"
#include "gui_fixture.h"

// "name(arg, arg)": floats as %g, points and rects as their numbers.
inline void Record(const std::string& name) {
  std::string text = name + "(";
  const auto& args = COstrakGUI::GetInstance()->GetActionArgs();
  for (size_t i = 0; i < args.size(); ++i) {
    const CGUIValue& a = args[i];
    std::vector<float> numbers;
    if (a.GetType() == GUIVT_FLOAT) numbers = {a.GetFloat()};
    if (a.GetType() == GUIVT_POINT) numbers = {a.GetPoint().x, a.GetPoint().y};
    if (a.GetType() == GUIVT_RECT) numbers = {a.GetRect().x, a.GetRect().y, a.GetRect().width, a.GetRect().height};
    if (i) text += ", ";
    if (a.GetType() == GUIVT_BOOLEAN) text += a.GetBool() ? "true" : "false";
    for (size_t n = 0; n < numbers.size(); ++n) {
      char number[32];
      std::snprintf(number, sizeof number, n ? " %g" : "%g", double(numbers[n]));
      text += number;
    }
  }
  ActionCalls().push_back(text + ")");
}

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kGrey = 0xFF808080u;

// A quad in a plain colour, as a game's drawing action makes it.
inline void PlainQuad(float x, float y, float w, float h, float r, float g, float b) {
  COstrak* engine = O2D_GetEngine();
  engine->TechApplyByStrID("TEQ_PLAIN");
  engine->VQuadSetColor(r, g, b, 1.0f);
  engine->VQuadSetPos(x, y, w, h);
  engine->SceneRender();
}

class GUIListsTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    // One-texel textures TEX_RED, TEX_GREEN, TEX_BLUE and TEX_GREY.
    std::string entries;
    for (auto [id, colour] : {std::pair{"TEX_RED", kRed}, {"TEX_GREEN", kGreen}, {"TEX_BLUE", kBlue}, {"TEX_GREY", kGrey}}) {
      WriteFileBytes(std::string("DATA/") + id + ".bmp", Bitmap32(1, 1, {colour}));
      entries += Res(id, std::string(id) + ".bmp", "TEXTURE");
    }
    Start(entries);
    const std::string pack =
        "<techniquespack><t id=\"TEQ_PLAIN\" alphablending=\"OFF\" s0_colorop=\"SELECTARG1\" "
        "s0_colorarg1=\"DIFFUSE\" s1_colorop=\"DISABLE\"/></techniquespack>";
    m_engine->LoadTechniquesPack(pack.data(), uint32_t(pack.size()));
    ActionCalls().clear();
  }
  void Action(const std::string& name, O2DGUIActionFn fn) { m_gui->RegisterAction(name, fn); }
  CGUIValue Native(const std::string& name) { return CGUIValue(m_gui->FindAction(name)); }
  float Number(const std::string& id, const std::string& param) { return Param(id, param).GetFloat(); }
  // Pressed in one frame, released in the next.
  void Press(SDL_Scancode key) {
    Key(key, true);
    Frame();
    Key(key, false);
    Frame();
  }
};
