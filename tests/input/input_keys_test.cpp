#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "o2d_sdl.h"
#include "costrak.h"
#include "o2d_input.h"
#include "o2d_letterbox.h"

TEST(KeyNames, ConvertToClassicCodes) {
  const std::pair<const char*, int> named[] = {{"ESCAPE", 1}, {"0", 11}, {"Z", 44}, {"NUMPADENTER", 0x9C}, {"MEDIASELECT", 0xED}};
  for (const auto& [name, code] : named) EXPECT_EQ(COstrak::KeyNameToCode(name), code) << name;
  const std::pair<const char*, const char*> aliases[] = {
      {"BACKSPACE", "BACK"}, {"CAPSLOCK", "CAPITAL"}, {"LALT", "LMENU"}, {"PGDN", "NEXT"}, {"NUMPADSTAR", "MULTIPLY"}};
  for (const auto& [alias, partner] : aliases) {
    EXPECT_NE(COstrak::KeyNameToCode(partner), 0) << partner;
    EXPECT_EQ(COstrak::KeyNameToCode(alias), COstrak::KeyNameToCode(partner)) << alias;
  }
  for (const char* other : {"escape", "", "F13", "DIK_ESCAPE", "ESCAPE "})
    EXPECT_EQ(COstrak::KeyNameToCode(other), 0) << other;
  std::set<int> fromSdl;
  for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc)
    if (uint8_t code = O2D_ScancodeToKeyCode(static_cast<SDL_Scancode>(sc))) fromSdl.insert(code);
  // The keys least likely to have an SDL counterpart (SDL has no wake key).
  for (const char* name : {"APPS", "CALCULATOR", "MAIL", "MUTE", "PAUSE", "PLAYPAUSE", "POWER", "SLEEP", "SYSRQ",
                           "VOLUMEUP", "WEBHOME", "NUMPADENTER", "RWIN", "GRAVE", "SCROLL", "NUMLOCK"})
    EXPECT_TRUE(fromSdl.count(COstrak::KeyNameToCode(name))) << name;

  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_KP_ENTER), 0x9C);
  EXPECT_EQ(O2D_ScancodeToKeyCode(static_cast<SDL_Scancode>(SDL_NUM_SCANCODES)), 0);
  EXPECT_EQ(O2D_ScancodeToKeyCode(static_cast<SDL_Scancode>(-1)), 0);
}

TEST(Letterbox, FitsTheFrameUniformlyAndMapsPointsBack) {
  O2DLetterbox box = O2D_ComputeLetterbox(1920, 1080, 800, 600);
  EXPECT_EQ(std::tuple(box.x, box.y, box.width, box.height), std::tuple(240, 0, 1440, 1080));
  // A window point, the window's size and its drawable size, and the frame point.
  const struct {
    int px, py, ww, wh, dw, dh, fx, fy;
  } points[] = {{239, 1079, 1920, 1080, 1920, 1080, -1, 599},  // on the left bar
                {1679, 540, 1920, 1080, 1920, 1080, 799, 300},
                {400, 300, 800, 600, 1600, 1200, 400, 300},  // high density: two drawable pixels a point
                {5, 6, 0, 0, 0, 0, 5, 6}};                   // a window without area maps nothing apart
  for (const auto& p : points) {
    int32_t x = 0, y = 0;
    O2D_WindowPointToFrame(p.px, p.py, p.ww, p.wh, p.dw, p.dh, 800, 600, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(p.fx, p.fy)) << p.px << "," << p.py;
  }
}
