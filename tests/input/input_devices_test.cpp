// The engine's input logic over scripted devices: each failing set-up step,
// acquisition results, lost input with its single retry, and the refusal to
// start before graphics.
#include <deque>
#include <tuple>

#include "gl_engine.h"
#include "raised.h"

namespace {

class ScriptedDevices : public IO2DInputDevices {
 public:
  // Set-up steps 0 create, 1 present, 2 data format, 3 cooperative level; -1 none fails.
  int failStep = -1;
  O2DInputDevice failDevice = O2DInputDevice::Keyboard;
  int32_t CreateDevice(O2DInputDevice d) override { return Step(d, 0); }
  bool HasDevice(O2DInputDevice d) const override { return Step(d, 1) == O2D_INPUT_OK; }
  int32_t SetDataFormat(O2DInputDevice d) override { return Step(d, 2); }
  int32_t SetCooperativeLevel(O2DInputDevice d) override { return Step(d, 3); }
  int32_t AcquireKeyboard() override { return Next(keyboardAcquire); }
  int32_t AcquireMouse() override { return Next(mouseAcquire); }
  int32_t ReadKeyboard(uint8_t (&out)[256]) override {
    const int32_t r = Next(keyboardRead);
    if (r == O2D_INPUT_OK) std::copy(std::begin(keys), std::end(keys), std::begin(out));
    return r;
  }
  int32_t ReadMouse(O2DMouseState& state) override {
    const int32_t r = Next(mouseRead);
    if (r == O2D_INPUT_OK) state = mouse;
    return r;
  }
  O2DCursor GetCursor() override { return cursor; }
  void ShowCursor(bool show) override { ++(show ? shows : hides); }

  // Results handed out in order; when a queue runs dry the device succeeds.
  std::deque<int32_t> keyboardAcquire, mouseAcquire, keyboardRead, mouseRead;
  uint8_t keys[256] = {};
  O2DMouseState mouse;
  O2DCursor cursor;
  int shows = 0, hides = 0;

 private:
  int32_t Step(O2DInputDevice d, int step) const {
    return d == failDevice && step == failStep ? O2D_INPUT_ERR_GENERIC : O2D_INPUT_OK;
  }
  static int32_t Next(std::deque<int32_t>& q) {
    if (q.empty()) return O2D_INPUT_OK;
    const int32_t r = q.front();
    q.pop_front();
    return r;
  }
};

class InputDevicesTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    KeepGLDriverLoaded();
    m_engine = std::make_unique<COstrak>();
    m_engine->m_bGfxReady = 1;
    m_engine->CreateGameWindow(800, 600, true);
    auto devices = std::make_unique<ScriptedDevices>();
    m_dev = devices.get();
    m_engine->InitInputSubsystem(std::move(devices));
  }
  void TearDown() override {
    m_engine.reset();
    TempDirTest::TearDown();
  }
  std::string UpdateRaising() { return Raised([&] { m_engine->InputUpdate(); }); }

  std::unique_ptr<COstrak> m_engine;
  ScriptedDevices* m_dev = nullptr;
};

}  // namespace

TEST_F(InputDevicesTest, EveryFailedSetupStepRaisesItsRecord) {
  const std::string fail = "1 " + std::to_string(uint32_t(O2D_INPUT_ERR_GENERIC)) + ": ";
  const std::string expected[] = {
      fail + "Cannot create DirectInputDevice (Keyboard) object!", "1 0: Error: keyboard object is NULL!",
      fail + "Cannot set data format for Keyboard!",              fail + "Cannot set cooperative level for Keyboard!",
      fail + "Cannot create DirectInputDevice (Mouse) object!",    "1 0: Error: mouse object is NULL!",
      fail + "Cannot set data format for Mouse!",                 fail + "Cannot set cooperative level for Mouse!"};
  for (int i = 0; i < 8; ++i) {
    m_engine->DeinitInputSubsystem();
    auto devices = std::make_unique<ScriptedDevices>();
    devices->failStep = i % 4;
    devices->failDevice = i < 4 ? O2DInputDevice::Keyboard : O2DInputDevice::Mouse;
    EXPECT_EQ(Raised([&] { m_engine->InitInputSubsystem(std::move(devices)); }), expected[i]);
  }
}

TEST_F(InputDevicesTest, LostInputIsRetriedOnceThenEndsTheRun) {
  m_dev->keys[DIK_F2] = 0x80;
  m_dev->keyboardRead = {O2D_INPUT_ERR_INPUTLOST};
  m_engine->InputUpdate();  // re-acquired and read again
  EXPECT_TRUE(m_engine->KeyboardIsKeyClicked(0x3C));

  m_dev->keyboardRead = {O2D_INPUT_ERR_INPUTLOST};
  m_dev->keyboardAcquire = {O2D_INPUT_ERR_NOTFOREGROUND};
  EXPECT_EQ(UpdateRaising(), "1 2147942405: Cannot reacquire Keyboard!");
  m_dev->keyboardRead = {O2D_INPUT_ERR_INPUTLOST, O2D_INPUT_ERR_INPUTLOST};
  EXPECT_EQ(UpdateRaising(), "1 2147942430: Second try of getting Keyboard state failed!");
  m_dev->mouseRead = {O2D_INPUT_ERR_INPUTLOST, -2};
  EXPECT_EQ(UpdateRaising(), "1 4294967294: Second try of getting Mouse state failed!");
  m_dev->mouseRead = {-3};
  EXPECT_EQ(UpdateRaising(), "1 4294967293: Cannot get Mouse state!");
}

TEST_F(InputDevicesTest, RefusedAcquisitionClearsBothFramesAndIsRetriedEachUpdate) {
  m_dev->keys[DIK_A] = 0x80;
  m_dev->mouse.rgbButtons[0] = 0x80;
  m_dev->cursor = {10, 10, true};
  m_engine->InputUpdate();
  ASSERT_TRUE(m_engine->KeyboardIsKeyPressed(DIK_A));

  // Lost by the re-acquire of a focus gain: nothing reads as down.
  m_dev->keyboardAcquire = {-9, -9};
  m_dev->mouseAcquire = {-9, -9};
  m_engine->InputReacquire();
  m_dev->cursor = {900, 10, true};
  m_engine->InputUpdate();
  // Nor is the cursor read while the mouse is not acquired.
  EXPECT_EQ(std::tuple(m_engine->KeyboardIsKeyPressed(DIK_A), m_engine->MouseIsKeyPressed(1), m_dev->shows),
            std::tuple(false, false, 0));

  // The next update acquires again: the held key is a new click.
  m_engine->InputUpdate();
  EXPECT_EQ(std::tuple(m_engine->KeyboardIsKeyClicked(DIK_A), m_engine->MouseIsKeyClicked(1), m_dev->shows,
                       m_engine->MouseGetCursorShiftX()),
            std::tuple(true, true, 1, 890));
}

TEST_F(InputDevicesTest, StartIsRefusedBeforeGraphicsAndStopStillRuns) {
  m_engine->DeinitInputSubsystem();
  m_engine->m_bGfxReady = 0;
  EXPECT_EQ(Raised([&] { m_engine->InitInputSubsystem(std::make_unique<ScriptedDevices>()); }),
            "2 0: Input system should be initialized after graphics system!");
  // The flag is set first, so the clean-up stops what was begun.
  EXPECT_TRUE(m_engine->m_bInpReady);
  m_engine->Cleanup();
  EXPECT_FALSE(m_engine->m_bInpReady);
}
