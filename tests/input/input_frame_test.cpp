// The input subsystem driven frame by frame through the real event queue of an
// offscreen SDL window.
#include <tuple>
#include <utility>

#include "gl_engine.h"

namespace {

class InputFrameTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    KeepGLDriverLoaded();
    m_engine = std::make_unique<COstrak>();
    m_engine->m_bGfxReady = 1;
    m_engine->CreateGameWindow(800, 600, true);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    m_window = SDL_GetWindowID(O2D_ToSDLWindow(m_engine->GetWindow().GetHandle()));
    m_mouse.window = m_window;
    m_engine->InitInputSubsystem();
    Focus(true);
  }
  void TearDown() override {
    m_engine.reset();
    TempDirTest::TearDown();
  }

  void Focus(bool gained) {
    PushWindowEvent(m_window, gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
  }
  void Key(SDL_Scancode sc, bool down) { PushKey(m_window, sc, down); }
  int Frame() { return m_engine->UpdateAllSystems(); }
  // Presses and releases keys over two frames.
  void Tap(std::initializer_list<SDL_Scancode> keys) {
    for (SDL_Scancode sc : keys) {
      Key(sc, true);
      Frame();
      Key(sc, false);
      Frame();
    }
  }
  const std::string& Text() const { return m_engine->KeyboardGetTextInBuffer(); }
  // Whether the engine's cursor is in the frame, and whether the system's cursor is shown.
  std::pair<bool, bool> Cursors() const {
    return {m_engine->MouseGetCursorStatus(), SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE};
  }

  std::unique_ptr<COstrak> m_engine;
  Uint32 m_window = 0;
  SDLMouse m_mouse;
};

}  // namespace

TEST_F(InputFrameTest, TapsBetweenTwoFramesReadAsPressedThenReleased) {
  // A key and a button pressed and released before the next frame: clicked in that
  // frame, released in the one after.
  Key(SDL_SCANCODE_F9, true);
  Key(SDL_SCANCODE_F9, false);
  m_mouse.Button(SDL_BUTTON_LEFT, true);
  m_mouse.Button(SDL_BUTTON_LEFT, false);
  Frame();
  EXPECT_TRUE(m_engine->KeyboardIsKeyClicked(DIK_F9));
  EXPECT_TRUE(m_engine->MouseIsKeyClicked(1));
  Frame();
  EXPECT_FALSE(m_engine->KeyboardIsKeyPressed(DIK_F9));
  EXPECT_FALSE(m_engine->MouseIsKeyPressed(1));
  // Two taps between frames count as one; a tap then a new press stays down.
  Key(SDL_SCANCODE_F9, true), Key(SDL_SCANCODE_F9, false), Key(SDL_SCANCODE_F9, true);
  Frame();
  Frame();
  EXPECT_TRUE(m_engine->KeyboardIsKeyPressed(DIK_F9));
  // A held key, repeating, is released in the first frame after its release.
  Key(SDL_SCANCODE_F9, true), Key(SDL_SCANCODE_F9, false);
  Frame();
  EXPECT_FALSE(m_engine->KeyboardIsKeyPressed(DIK_F9));
  // A tap whose window loses the focus before the next frame is dropped with the rest.
  Key(SDL_SCANCODE_F9, true), Key(SDL_SCANCODE_F9, false);
  Focus(false), Focus(true);
  Frame();
  EXPECT_FALSE(m_engine->KeyboardIsKeyPressed(DIK_F9));
}

TEST_F(InputFrameTest, TextEntryFollowsTheUsKeyTableAndTheBufferSize) {
  m_engine->KeyboardSetTextBufferStatus(true);
  // Shift types the upper row; a held key types once; the keypad types its digit.
  Key(SDL_SCANCODE_RSHIFT, true);
  Key(SDL_SCANCODE_2, true);
  Frame();
  Frame();
  Key(SDL_SCANCODE_2, false);
  Key(SDL_SCANCODE_RSHIFT, false);
  Tap({SDL_SCANCODE_GRAVE, SDL_SCANCODE_KP_7, SDL_SCANCODE_BACKSPACE});
  EXPECT_EQ(Text(), "@`");
  // A full buffer takes nothing more; backspace on an empty text; switched off, typing goes nowhere.
  m_engine->KeyboardSetTextBufferSize(3);
  Tap({SDL_SCANCODE_D, SDL_SCANCODE_E});
  EXPECT_EQ(Text(), "@`d");
  m_engine->KeyboardSetTextInBuffer("");
  Tap({SDL_SCANCODE_BACKSPACE});
  EXPECT_EQ(Text(), "");
  m_engine->KeyboardSetTextBufferStatus(false);
  Tap({SDL_SCANCODE_X});
  EXPECT_EQ(Text(), "");
}

TEST_F(InputFrameTest, HeldKeysAndButtonsAreClickedOnlyInTheirFirstFrameAndMotionAndWheelAreDeltas) {
  Key(SDL_SCANCODE_A, true);
  m_mouse.Button(SDL_BUTTON_RIGHT, true);
  m_mouse.MoveTo(10, 20);
  m_mouse.MoveTo(15, 18);
  m_mouse.Wheel(1);
  ASSERT_EQ(Frame(), 1);
  EXPECT_TRUE(m_engine->KeyboardIsKeyClicked(DIK_A));
  EXPECT_TRUE(m_engine->KeyboardIsKeyPressed(DIK_A + 256));  // codes are taken modulo 256
  EXPECT_TRUE(m_engine->MouseIsKeyClicked(2));
  EXPECT_EQ(m_engine->MouseGetAnyPressedKey(), 2);
  EXPECT_EQ(std::pair(m_engine->MouseGetDeltaX(), m_engine->MouseGetDeltaY()), std::pair(15, 18));
  EXPECT_EQ(m_engine->MouseGetWheelDelta(), 1);
  // A second key is clicked while the first is held; a flipped wheel reports the opposite sign.
  Key(SDL_SCANCODE_ESCAPE, true);
  m_mouse.Wheel(2, true);
  Frame();
  EXPECT_EQ(std::tuple(m_engine->KeyboardIsKeyPressed(DIK_A), m_engine->KeyboardIsKeyClicked(DIK_A),
                       m_engine->KeyboardIsKeyClicked(DIK_ESCAPE), m_engine->KeyboardGetAnyPressedKey()),
            std::tuple(true, false, true, 1));  // the lowest code
  EXPECT_TRUE(m_engine->MouseIsKeyPressed(2));
  EXPECT_FALSE(m_engine->MouseIsKeyClicked(2));
  EXPECT_EQ(m_engine->MouseGetDeltaX(), 0);
  EXPECT_EQ(m_engine->MouseGetWheelDelta(), -1);
  // Buttons the mouse does not have are never down.
  EXPECT_FALSE(m_engine->MouseIsKeyClicked(-5));
  EXPECT_FALSE(m_engine->MouseIsKeyPressed(9));
  Key(SDL_SCANCODE_A, false);
  Key(SDL_SCANCODE_ESCAPE, false);
  Frame();
  EXPECT_EQ(m_engine->KeyboardGetAnyPressedKey(), 0);
}

TEST_F(InputFrameTest, SystemCursorHidesAndShowsOnlyWhenCrossingTheFrame) {
  m_mouse.MoveTo(100, 200);
  Frame();
  EXPECT_EQ(Cursors(), std::pair(true, false));
  m_mouse.MoveTo(110, 195);
  Frame();
  EXPECT_EQ(std::pair(m_engine->MouseGetCursorShiftX(), m_engine->MouseGetCursorShiftY()), std::pair(10, -5));
  // Hidden as a counter: a second hide would keep it hidden after one show.
  PushWindowEvent(m_window, SDL_WINDOWEVENT_LEAVE);
  Frame();
  EXPECT_EQ(Cursors(), std::pair(false, true));
  Frame();
  m_mouse.MoveTo(120, 190);
  Frame();
  EXPECT_FALSE(Cursors().second);
  Frame();
  m_mouse.MoveTo(900, 190);  // beyond the window's edge, as a captured mouse reports it
  Frame();
  EXPECT_EQ(Cursors(), std::pair(false, true));
  m_mouse.MoveTo(799, 599);
  Frame();
  EXPECT_TRUE(Cursors().first);
  // Stopping gives the cursor back.
  m_engine->DeinitInputSubsystem();
  EXPECT_TRUE(Cursors().second);
}

TEST_F(InputFrameTest, InactiveWindowReadsAsReleasedAndCursorOutside) {
  Key(SDL_SCANCODE_A, true);
  m_mouse.Button(SDL_BUTTON_LEFT, true);
  m_mouse.MoveTo(300, 300);
  Frame();
  ASSERT_EQ(std::tuple(m_engine->KeyboardIsKeyPressed(DIK_A), m_engine->MouseIsKeyPressed(1), Cursors()),
            std::tuple(true, true, std::pair(true, false)));

  Focus(false);
  EXPECT_EQ(Frame(), 0);
  EXPECT_EQ(std::tuple(m_engine->KeyboardIsKeyPressed(DIK_A), m_engine->MouseIsKeyPressed(1), Cursors()),
            std::tuple(false, false, std::pair(false, true)));
  // An update while the window has no focus cannot acquire the devices either.
  Key(SDL_SCANCODE_B, true);
  m_engine->InputUpdate();
  EXPECT_FALSE(m_engine->KeyboardIsKeyPressed(DIK_B));
  Key(SDL_SCANCODE_B, false);

  // Regaining the focus re-acquires at once; a key pressed again is a new click.
  Focus(true);
  Key(SDL_SCANCODE_A, true);
  EXPECT_EQ(Frame(), 1);
  EXPECT_TRUE(m_engine->KeyboardIsKeyClicked(DIK_A));
  EXPECT_EQ(Cursors(), std::pair(true, false));
}
