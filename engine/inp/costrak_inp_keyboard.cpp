#include <algorithm>
#include <iterator>

#include "costrak.h"
#include "costrak_inp_state.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_INP_KEYBOARD;

namespace {

struct KeyName {
  std::string_view name;
  uint8_t code;
};

// The accepted key names; the alternative names give their partner's code.
constexpr KeyName kKeyNames[] = {
    {"0", DIK_0}, {"1", DIK_1}, {"2", DIK_2}, {"3", DIK_3}, {"4", DIK_4},
    {"5", DIK_5}, {"6", DIK_6}, {"7", DIK_7}, {"8", DIK_8}, {"9", DIK_9},
    {"A", DIK_A}, {"B", DIK_B}, {"C", DIK_C}, {"D", DIK_D}, {"E", DIK_E},
    {"F", DIK_F}, {"G", DIK_G}, {"H", DIK_H}, {"I", DIK_I}, {"J", DIK_J},
    {"K", DIK_K}, {"L", DIK_L}, {"M", DIK_M}, {"N", DIK_N}, {"O", DIK_O},
    {"P", DIK_P}, {"Q", DIK_Q}, {"R", DIK_R}, {"S", DIK_S}, {"T", DIK_T},
    {"U", DIK_U}, {"V", DIK_V}, {"W", DIK_W}, {"X", DIK_X}, {"Y", DIK_Y},
    {"Z", DIK_Z},
    {"ADD", DIK_ADD}, {"APOSTROPHE", DIK_APOSTROPHE}, {"APPS", DIK_APPS},
    {"BACK", DIK_BACK}, {"BACKSLASH", DIK_BACKSLASH}, {"BACKSPACE", DIK_BACK},
    {"CALCULATOR", DIK_CALCULATOR}, {"CAPITAL", DIK_CAPITAL}, {"CAPSLOCK", DIK_CAPITAL},
    {"COMMA", DIK_COMMA}, {"DECIMAL", DIK_DECIMAL}, {"DELETE", DIK_DELETE},
    {"DIVIDE", DIK_DIVIDE}, {"DOWN", DIK_DOWN}, {"DOWNARROW", DIK_DOWN},
    {"END", DIK_END}, {"EQUALS", DIK_EQUALS}, {"ESCAPE", DIK_ESCAPE},
    {"F1", DIK_F1}, {"F2", DIK_F2}, {"F3", DIK_F3}, {"F4", DIK_F4},
    {"F5", DIK_F5}, {"F6", DIK_F6}, {"F7", DIK_F7}, {"F8", DIK_F8},
    {"F9", DIK_F9}, {"F10", DIK_F10}, {"F11", DIK_F11}, {"F12", DIK_F12},
    {"GRAVE", DIK_GRAVE}, {"HOME", DIK_HOME}, {"INSERT", DIK_INSERT},
    {"LALT", DIK_LMENU}, {"LBRACKET", DIK_LBRACKET}, {"LCONTROL", DIK_LCONTROL},
    {"LEFT", DIK_LEFT}, {"LEFTARROW", DIK_LEFT}, {"LMENU", DIK_LMENU},
    {"LSHIFT", DIK_LSHIFT}, {"LWIN", DIK_LWIN},
    {"MAIL", DIK_MAIL}, {"MEDIASELECT", DIK_MEDIASELECT}, {"MEDIASTOP", DIK_MEDIASTOP},
    {"MINUS", DIK_MINUS}, {"MULTIPLY", DIK_MULTIPLY}, {"MUTE", DIK_MUTE},
    {"MYCOMPUTER", DIK_MYCOMPUTER}, {"NEXT", DIK_NEXT}, {"NEXTTRACK", DIK_NEXTTRACK},
    {"NUMLOCK", DIK_NUMLOCK},
    {"NUMPAD0", DIK_NUMPAD0}, {"NUMPAD1", DIK_NUMPAD1}, {"NUMPAD2", DIK_NUMPAD2},
    {"NUMPAD3", DIK_NUMPAD3}, {"NUMPAD4", DIK_NUMPAD4}, {"NUMPAD5", DIK_NUMPAD5},
    {"NUMPAD6", DIK_NUMPAD6}, {"NUMPAD7", DIK_NUMPAD7}, {"NUMPAD8", DIK_NUMPAD8},
    {"NUMPAD9", DIK_NUMPAD9},
    {"NUMPADENTER", DIK_NUMPADENTER}, {"NUMPADMINUS", DIK_SUBTRACT},
    {"NUMPADPERIOD", DIK_DECIMAL}, {"NUMPADPLUS", DIK_ADD}, {"NUMPADSLASH", DIK_DIVIDE},
    {"NUMPADSTAR", DIK_MULTIPLY},
    {"PAUSE", DIK_PAUSE}, {"PERIOD", DIK_PERIOD}, {"PGDN", DIK_NEXT}, {"PGUP", DIK_PRIOR},
    {"PLAYPAUSE", DIK_PLAYPAUSE}, {"POWER", DIK_POWER}, {"PREVTRACK", DIK_PREVTRACK},
    {"PRIOR", DIK_PRIOR},
    {"RALT", DIK_RMENU}, {"RBRACKET", DIK_RBRACKET}, {"RCONTROL", DIK_RCONTROL},
    {"RETURN", DIK_RETURN}, {"RIGHT", DIK_RIGHT}, {"RIGHTARROW", DIK_RIGHT},
    {"RMENU", DIK_RMENU}, {"RSHIFT", DIK_RSHIFT}, {"RWIN", DIK_RWIN},
    {"SCROLL", DIK_SCROLL}, {"SEMICOLON", DIK_SEMICOLON}, {"SLASH", DIK_SLASH},
    {"SLEEP", DIK_SLEEP}, {"SPACE", DIK_SPACE}, {"STOP", DIK_STOP},
    {"SUBTRACT", DIK_SUBTRACT}, {"SYSRQ", DIK_SYSRQ}, {"TAB", DIK_TAB},
    {"UP", DIK_UP}, {"UPARROW", DIK_UP},
    {"VOLUMEDOWN", DIK_VOLUMEDOWN}, {"VOLUMEUP", DIK_VOLUMEUP}, {"WAKE", DIK_WAKE},
    {"WEBBACK", DIK_WEBBACK}, {"WEBFAVORITES", DIK_WEBFAVORITES}, {"WEBFORWARD", DIK_WEBFORWARD},
    {"WEBHOME", DIK_WEBHOME}, {"WEBREFRESH", DIK_WEBREFRESH}, {"WEBSEARCH", DIK_WEBSEARCH},
    {"WEBSTOP", DIK_WEBSTOP},
};

struct TypedKey {
  uint8_t code;
  char plain;
  char shifted;
};

// The US layout, in the order the keys are tested: the first clicked key types.
constexpr TypedKey kTypedKeys[] = {
    {DIK_A, 'a', 'A'}, {DIK_B, 'b', 'B'}, {DIK_C, 'c', 'C'}, {DIK_D, 'd', 'D'},
    {DIK_E, 'e', 'E'}, {DIK_F, 'f', 'F'}, {DIK_G, 'g', 'G'}, {DIK_H, 'h', 'H'},
    {DIK_I, 'i', 'I'}, {DIK_J, 'j', 'J'}, {DIK_K, 'k', 'K'}, {DIK_L, 'l', 'L'},
    {DIK_M, 'm', 'M'}, {DIK_N, 'n', 'N'}, {DIK_O, 'o', 'O'}, {DIK_P, 'p', 'P'},
    {DIK_Q, 'q', 'Q'}, {DIK_R, 'r', 'R'}, {DIK_S, 's', 'S'}, {DIK_T, 't', 'T'},
    {DIK_U, 'u', 'U'}, {DIK_V, 'v', 'V'}, {DIK_W, 'w', 'W'}, {DIK_X, 'x', 'X'},
    {DIK_Y, 'y', 'Y'}, {DIK_Z, 'z', 'Z'},
    {DIK_GRAVE, '`', '~'},
    {DIK_1, '1', '!'}, {DIK_2, '2', '@'}, {DIK_3, '3', '#'}, {DIK_4, '4', '$'},
    {DIK_5, '5', '%'}, {DIK_6, '6', '^'}, {DIK_7, '7', '&'}, {DIK_8, '8', '*'},
    {DIK_9, '9', '('}, {DIK_0, '0', ')'},
    {DIK_MINUS, '-', '_'}, {DIK_EQUALS, '=', '+'},
    {DIK_LBRACKET, '[', '{'}, {DIK_RBRACKET, ']', '}'},
    {DIK_SEMICOLON, ';', ':'}, {DIK_APOSTROPHE, '\'', '"'},
    {DIK_BACKSLASH, '\\', '|'},
    {DIK_COMMA, ',', '<'}, {DIK_PERIOD, '.', '>'}, {DIK_SLASH, '/', '?'},
    {DIK_NUMPAD0, '0', '0'}, {DIK_NUMPAD1, '1', '1'}, {DIK_NUMPAD2, '2', '2'},
    {DIK_NUMPAD3, '3', '3'}, {DIK_NUMPAD4, '4', '4'}, {DIK_NUMPAD5, '5', '5'},
    {DIK_NUMPAD6, '6', '6'}, {DIK_NUMPAD7, '7', '7'}, {DIK_NUMPAD8, '8', '8'},
    {DIK_NUMPAD9, '9', '9'},
    {DIK_DIVIDE, '/', '/'}, {DIK_MULTIPLY, '*', '*'}, {DIK_SUBTRACT, '-', '-'}, {DIK_ADD, '+', '+'},
    {DIK_SPACE, ' ', ' '},
};

constexpr bool IsDown(uint8_t state) { return (state & 0x80) != 0; }

}  // namespace

uint8_t COstrak::KeyNameToCode(std::string_view name) {
  EHS_CP();
  for (const KeyName& entry : kKeyNames)
    if (entry.name == name) return entry.code;
  return 0;
}

bool COstrak::KeyboardIsKeyPressed(int32_t key) const {
  EHS_CP();
  return IsDown(m_inp->aKeyState[static_cast<uint8_t>(key)]);
}

bool COstrak::KeyboardIsKeyClicked(int32_t key) const {
  EHS_CP();
  const uint8_t code = static_cast<uint8_t>(key);
  return IsDown(m_inp->aKeyState[code]) && !IsDown(m_inp->aKeyStatePrev[code]);
}

int32_t COstrak::KeyboardGetAnyPressedKey() const {
  EHS_CP();
  for (int32_t code = 0; code < 255; ++code)
    if (IsDown(m_inp->aKeyState[code])) return code;
  return 0;
}

void COstrak::KeyboardSetTextBufferStatus(bool on) {
  EHS_CP();
  m_inp->bTextBufferOn = on;
}

void COstrak::KeyboardSetTextBufferSize(uint32_t size) {
  EHS_CP();
  m_inp->uTextBufferSize = size;
  if (m_inp->strTextBuffer.size() > size) m_inp->strTextBuffer.resize(size);
}

void COstrak::KeyboardSetTextInBuffer(const std::string& text) {
  EHS_CP();
  m_inp->strTextBuffer = text;
}

void COstrak::KeyboardUpdate() {
  EHS_CP();
  if (!m_inp->pInputDevices) return;
  if (!m_inp->bKeyboardAcquired) {
    if (m_inp->pInputDevices->AcquireKeyboard() != O2D_INPUT_OK) {
      std::fill(std::begin(m_inp->aKeyState), std::end(m_inp->aKeyState), uint8_t{0});
      std::fill(std::begin(m_inp->aKeyStatePrev), std::end(m_inp->aKeyStatePrev), uint8_t{0});
      return;
    }
    m_inp->bKeyboardAcquired = true;
  }
  std::copy(std::begin(m_inp->aKeyState), std::end(m_inp->aKeyState), std::begin(m_inp->aKeyStatePrev));
  int32_t result = m_inp->pInputDevices->ReadKeyboard(m_inp->aKeyState);
  if (result == O2D_INPUT_ERR_INPUTLOST) {
    // One more try, no more.
    result = m_inp->pInputDevices->AcquireKeyboard();
    if (result != O2D_INPUT_OK) EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), "Cannot reacquire Keyboard!");
    result = m_inp->pInputDevices->ReadKeyboard(m_inp->aKeyState);
    if (result != O2D_INPUT_OK)
      EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), "Second try of getting Keyboard state failed!");
  } else if (result != O2D_INPUT_OK) {
    EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), "Cannot get Keyboard state!");
  }
  if (m_inp->bTextBufferOn) KeyboardTextEntry();
}

// At most one change per frame, and only from keys clicked in this frame, so a
// held key types once.
void COstrak::KeyboardTextEntry() {
  EHS_CP();
  if (KeyboardIsKeyClicked(DIK_SPACE)) {
    m_inp->strTextBuffer += ' ';
    return;
  }
  if (KeyboardIsKeyClicked(DIK_BACK)) {
    if (!m_inp->strTextBuffer.empty()) m_inp->strTextBuffer.pop_back();
    return;
  }
  const bool shift = KeyboardIsKeyPressed(DIK_LSHIFT) || KeyboardIsKeyPressed(DIK_RSHIFT);
  for (const TypedKey& key : kTypedKeys) {
    if (KeyboardIsKeyClicked(key.code)) {
      m_inp->strTextBuffer += shift ? key.shifted : key.plain;
      break;
    }
  }
  // A space typed above survives until the next frame that gets this far.
  if (m_inp->strTextBuffer.size() > m_inp->uTextBufferSize) m_inp->strTextBuffer.resize(m_inp->uTextBufferSize);
}
