// The real output, recorded by SDL's disk driver (which writes the device's
// 16-bit stereo frames to a file at the pace of a sound card): a frame that
// stalls must not interrupt the sound.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "sound_fixture.h"

namespace {

TEST_F(SoundTest, AStalledFrameLeavesNoGapInTheRecordedOutput) {
  const std::filesystem::path raw = std::filesystem::current_path() / "out.raw";
  const auto written = [&] { return std::filesystem::file_size(raw); };  // made when the device opens
  // A frame of the game, plus a little time for the device.
  const auto frame = [&] {
    ASSERT_EQ(m_engine->UpdateAllSystems(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  };
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  Start(Res("MUS_T", "a.wav", "MUSIC"), "disk");
  unsetenv("SDL_DISKAUDIOFILE");
  ASSERT_TRUE(m_engine->SoundIsAvailable());
  m_engine->LoadResources(1);
  m_engine->MusicPlayByStrID("MUS_T", true, 0);

  // Levels and the load figure come from the device's own mixing.
  for (int i = 0; i < 1000 && m_engine->MusicGetLevelLeft() == 0.0f; ++i) frame();
  ASSERT_GT(m_engine->MusicGetLevelLeft(), 0.0f);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // Then frames again until the device has written another 200 ms.
  const uintmax_t after = written();
  for (int i = 0; i < 1000 && written() < after + kRate / 5 * 4; ++i) frame();
  EXPECT_GT(m_engine->SoundGetCPU(), 0.0f);
  m_engine->MusicStop(0);
  m_engine->Cleanup();  // closes the device, and with it the file

  const std::string bytes = ReadFileBytes(raw);
  Pcm pcm(bytes.size() / 2);
  std::memcpy(pcm.data(), bytes.data(), pcm.size() * 2);
  const std::vector<int16_t> left = Side(pcm, 0);
  const auto loud = [](int16_t s) { return s > 64 || s < -64; };
  const auto first = std::find_if(left.begin(), left.end(), loud);
  const auto last = std::find_if(left.rbegin(), left.rend(), loud).base();
  ASSERT_GE(last - first, kRate / 5) << "the tone is missing";
  // Full-scale 441 Hz passes zero within one sample: a longer quiet run is a gap.
  size_t run = 0, longest = 0;
  for (auto it = first; it != last; ++it) {
    run = loud(*it) ? 0 : run + 1;
    longest = std::max(longest, run);
  }
  EXPECT_LE(longest, 2u) << "a gap of " << longest << " frames";
}

}  // namespace
