#include <gtest/gtest.h>

#include <set>
#include <string>

#include "costrak.h"
#include "o2d_letterbox.h"

namespace {
// Every name a hotkey may be given by.
const char* const kAcceptedNames[] = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K",
    "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "ADD", "APOSTROPHE", "APPS",
    "BACK", "BACKSLASH", "BACKSPACE", "CALCULATOR", "CAPITAL", "CAPSLOCK", "COMMA", "DECIMAL", "DELETE",
    "DIVIDE", "DOWN", "DOWNARROW", "END", "EQUALS", "ESCAPE", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8",
    "F9", "F10", "F11", "F12", "GRAVE", "HOME", "INSERT", "LALT", "LBRACKET", "LCONTROL", "LEFT", "LEFTARROW",
    "LMENU", "LSHIFT", "LWIN", "MAIL", "MEDIASELECT", "MEDIASTOP", "MINUS", "MULTIPLY", "MUTE", "MYCOMPUTER",
    "NEXT", "NEXTTRACK", "NUMLOCK", "NUMPAD0", "NUMPAD1", "NUMPAD2", "NUMPAD3", "NUMPAD4", "NUMPAD5",
    "NUMPAD6", "NUMPAD7", "NUMPAD8", "NUMPAD9", "NUMPADENTER", "NUMPADMINUS", "NUMPADPERIOD", "NUMPADPLUS",
    "NUMPADSLASH", "NUMPADSTAR", "PAUSE", "PERIOD", "PGDN", "PGUP", "PLAYPAUSE", "POWER", "PREVTRACK",
    "PRIOR", "RALT", "RBRACKET", "RCONTROL", "RETURN", "RIGHT", "RIGHTARROW", "RMENU", "RSHIFT", "RWIN",
    "SCROLL", "SEMICOLON", "SLASH", "SLEEP", "SPACE", "STOP", "SUBTRACT", "SYSRQ", "TAB", "UP", "UPARROW",
    "VOLUMEDOWN", "VOLUMEUP", "WAKE", "WEBBACK", "WEBFAVORITES", "WEBFORWARD", "WEBHOME", "WEBREFRESH",
    "WEBSEARCH", "WEBSTOP"};
}  // namespace

TEST(KeyNames, ConvertToClassicCodes) {
  EXPECT_EQ(COstrak::KeyNameToCode("ESCAPE"), 1);
  EXPECT_EQ(COstrak::KeyNameToCode("0"), 11);
  EXPECT_EQ(COstrak::KeyNameToCode("1"), 2);
  EXPECT_EQ(COstrak::KeyNameToCode("A"), 30);
  EXPECT_EQ(COstrak::KeyNameToCode("Z"), 44);
  EXPECT_EQ(COstrak::KeyNameToCode("F2"), 0x3C);
  EXPECT_EQ(COstrak::KeyNameToCode("F9"), 0x43);
  EXPECT_EQ(COstrak::KeyNameToCode("SPACE"), 0x39);
  EXPECT_EQ(COstrak::KeyNameToCode("NUMPADENTER"), 0x9C);
  EXPECT_EQ(COstrak::KeyNameToCode("MEDIASELECT"), 0xED);
  const std::pair<const char*, const char*> aliases[] = {
      {"BACKSPACE", "BACK"},       {"CAPSLOCK", "CAPITAL"},    {"NUMPADPERIOD", "DECIMAL"},
      {"NUMPADSLASH", "DIVIDE"},   {"DOWNARROW", "DOWN"},      {"NUMPADPLUS", "ADD"},
      {"LALT", "LMENU"},           {"RALT", "RMENU"},          {"LEFTARROW", "LEFT"},
      {"RIGHTARROW", "RIGHT"},     {"UPARROW", "UP"},          {"PGUP", "PRIOR"},
      {"PGDN", "NEXT"},            {"NUMPADSTAR", "MULTIPLY"}, {"NUMPADMINUS", "SUBTRACT"}};
  for (const auto& [alias, partner] : aliases) {
    EXPECT_NE(COstrak::KeyNameToCode(partner), 0) << partner;
    EXPECT_EQ(COstrak::KeyNameToCode(alias), COstrak::KeyNameToCode(partner)) << alias;
  }
  for (const char* other : {"escape", "Escape", "", "a", "F13", "DIK_ESCAPE", "ESCAPE ", "OEM_102", "F 2"})
    EXPECT_EQ(COstrak::KeyNameToCode(other), 0) << other;
}

TEST(KeyNames, EveryNamedKeyComesFromSomeSdlKey) {
  std::set<int> fromSdl;
  for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc)
    if (uint8_t code = O2D_ScancodeToKeyCode(static_cast<SDL_Scancode>(sc))) fromSdl.insert(code);
  std::set<int> named;
  for (const char* name : kAcceptedNames) {
    const uint8_t code = COstrak::KeyNameToCode(name);
    EXPECT_NE(code, 0) << name;
    named.insert(code);
    // SDL has no wake key.
    if (std::string(name) != "WAKE") {
      EXPECT_TRUE(fromSdl.count(code)) << name;
    }
  }
  // Distinct keys, less the fifteen alternative names.
  EXPECT_EQ(named.size(), std::size(kAcceptedNames) - 15);

  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_ESCAPE), 1);
  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_0), 11);
  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_A), 30);
  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_F2), 0x3C);
  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_KP_ENTER), 0x9C);
  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_RETURN), 0x1C);
  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_RALT), 0xB8);
  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_KP_MINUS), 0x4A);
  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_PRINTSCREEN), 0xB7);
  EXPECT_EQ(O2D_ScancodeToKeyCode(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(O2D_ScancodeToKeyCode(static_cast<SDL_Scancode>(SDL_NUM_SCANCODES)), 0);
  EXPECT_EQ(O2D_ScancodeToKeyCode(static_cast<SDL_Scancode>(-1)), 0);
}

TEST(Letterbox, FitsTheFrameUniformlyAndMapsPointsBack) {
  O2DLetterbox box = O2D_ComputeLetterbox(1920, 1080, 800, 600);
  EXPECT_EQ(box.x, 240);
  EXPECT_EQ(box.y, 0);
  EXPECT_EQ(box.width, 1440);
  EXPECT_EQ(box.height, 1080);
  box = O2D_ComputeLetterbox(800, 600, 800, 600);
  EXPECT_EQ(box.x, 0);
  EXPECT_EQ(box.width, 800);

  int32_t x = 0, y = 0;
  O2D_WindowPointToFrame(240, 0, 1920, 1080, 1920, 1080, 800, 600, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  O2D_WindowPointToFrame(239, 1079, 1920, 1080, 1920, 1080, 800, 600, x, y);
  EXPECT_EQ(x, -1);  // on the left bar
  EXPECT_EQ(y, 599);
  O2D_WindowPointToFrame(1679, 540, 1920, 1080, 1920, 1080, 800, 600, x, y);
  EXPECT_EQ(x, 799);
  EXPECT_EQ(y, 300);
  // A high-density display: window points are two drawable pixels each.
  O2D_WindowPointToFrame(400, 300, 800, 600, 1600, 1200, 800, 600, x, y);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 300);
  // A window without area maps nothing apart.
  O2D_WindowPointToFrame(5, 6, 0, 0, 0, 0, 800, 600, x, y);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 6);
}
