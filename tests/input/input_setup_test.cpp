// Each set-up step of the two devices that fails ends the start with its record.
#include <gtest/gtest.h>

#include <memory>

#include "o2d_backends.h"
#include "o2d_sdl.h"
#include "costrak.h"
#include "o2d_input.h"
#include "gl_engine.h"
#include "test_support.h"

namespace {
// Devices whose set-up fails at one chosen step.
class FailingSetup : public IO2DInputDevices {
 public:
  enum Step { Create, Null, Format, Level };
  FailingSetup(O2DInputDevice device, Step step) : m_device(device), m_step(step) {}
  int32_t CreateDevice(O2DInputDevice d) override { return Fails(d, Create); }
  bool HasDevice(O2DInputDevice d) const override { return Fails(d, Null) == O2D_INPUT_OK; }
  int32_t SetDataFormat(O2DInputDevice d) override { return Fails(d, Format); }
  int32_t SetCooperativeLevel(O2DInputDevice d) override { return Fails(d, Level); }
  int32_t AcquireKeyboard() override { return O2D_INPUT_OK; }
  int32_t AcquireMouse() override { return O2D_INPUT_OK; }
  int32_t ReadKeyboard(uint8_t (&)[256]) override { return O2D_INPUT_OK; }
  int32_t ReadMouse(O2DMouseState&) override { return O2D_INPUT_OK; }
  O2DCursor GetCursor() override { return {}; }
  void ShowCursor(bool) override {}

 private:
  int32_t Fails(O2DInputDevice d, Step s) const { return d == m_device && s == m_step ? O2D_INPUT_ERR_GENERIC : O2D_INPUT_OK; }
  O2DInputDevice m_device;
  Step m_step;
};

class InputSetupTest : public TempDirTest {};
}  // namespace

TEST_F(InputSetupTest, EveryFailedSetupStepRaisesItsRecord) {
  KeepGLDriverLoaded();
  struct Case {
    O2DInputDevice device;
    FailingSetup::Step step;
    uint32_t code;
    const char* message;
  };
  const uint32_t fail = static_cast<uint32_t>(O2D_INPUT_ERR_GENERIC);
  const Case cases[] = {
      {O2DInputDevice::Keyboard, FailingSetup::Create, fail, "Cannot create DirectInputDevice (Keyboard) object!"},
      {O2DInputDevice::Keyboard, FailingSetup::Null, 0, "Error: keyboard object is NULL!"},
      {O2DInputDevice::Keyboard, FailingSetup::Format, fail, "Cannot set data format for Keyboard!"},
      {O2DInputDevice::Keyboard, FailingSetup::Level, fail, "Cannot set cooperative level for Keyboard!"},
      {O2DInputDevice::Mouse, FailingSetup::Create, fail, "Cannot create DirectInputDevice (Mouse) object!"},
      {O2DInputDevice::Mouse, FailingSetup::Null, 0, "Error: mouse object is NULL!"},
      {O2DInputDevice::Mouse, FailingSetup::Format, fail, "Cannot set data format for Mouse!"},
      {O2DInputDevice::Mouse, FailingSetup::Level, fail, "Cannot set cooperative level for Mouse!"},
  };
  for (const Case& c : cases) {
    COstrak engine;
    engine.m_bGfxReady = 1;
    engine.CreateGameWindow(800, 600, true);
    try {
      engine.InitInputSubsystem(std::make_unique<FailingSetup>(c.device, c.step));
      ADD_FAILURE() << "no record for " << c.message;
    } catch (const CEHSException& e) {
      EXPECT_EQ(e.Type, EHS_GENERAL);
      EXPECT_EQ(e.Code, c.code);
      EXPECT_EQ(e.Desc, c.message);
    }
    engine.DestroyGameWindow();
  }
}

TEST_F(InputSetupTest, TheGameWindowsDevicesSetUpCleanly) {
  KeepGLDriverLoaded();
  COstrak engine;
  engine.m_bGfxReady = 1;
  engine.CreateGameWindow(800, 600, true);
  int32_t result = -1;
  auto devices = O2D_CreateInputDevices(engine.GetWindow().GetHandle(), 800, 600, &result);
  ASSERT_TRUE(devices);
  EXPECT_EQ(result, O2D_INPUT_OK);
  EXPECT_EQ(devices->SetCooperativeLevel(O2DInputDevice::Keyboard), O2D_INPUT_OK);
  EXPECT_EQ(O2D_CreateInputDevices(nullptr, 800, 600, &result), nullptr);
  EXPECT_EQ(result, O2D_INPUT_OK);  // no window: the engine reports the null object
}
