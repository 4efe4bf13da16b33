// Music pieces with their fading hand-over, and playlists, frame by frame.
#include <map>

#include "costrak_utils_demand.h"
#include "sound_fixture.h"

namespace {

class MusicTest : public SoundTest {
 protected:
  // Pieces of 441, 882 and 1764 Hz, told apart by their zero crossings.
  void StartPieces(double seconds, const std::string& more = "") {
    Sine("a.wav", 441.0, seconds);
    Sine("b.wav", 882.0, seconds);
    Sine("c.wav", 1764.0, seconds);
    Start(Res("MUS_A", "a.wav", "MUSIC") + Res("MUS_B", "b.wav", "MUSIC") + Res("MUS_C", "c.wav", "MUSIC", 1, 1) +
          more);
    m_engine->LoadResources(1);
  }
  // A playlist file of music IDs, and its resource entry.
  static std::string Playlist(const std::string& id, std::initializer_list<const char*> pieces) {
    std::string xml = "<playlist id=\"" + id + "\" tag=\"4\">";
    for (const char* piece : pieces) xml += "<m id=\"" + std::string(piece) + "\"/>";
    WriteFileBytes("DATA/" + id + ".pls", xml + "</playlist>");
    return Res(id, id + ".pls", "PLAYLIST");
  }
  int32_t Music(const char* id) { return m_engine->GetMusicIID(id); }
};

TEST_F(MusicTest, NewPieceStartsInTheFrameAfterTheOldOneHasFadedOut) {
  StartPieces(3.0);
  m_engine->MusicPlayByStrID("MUS_A", false, 0);
  Frame();
  ASSERT_EQ(m_engine->MusicGetCurrent(), Music("MUS_A"));

  m_engine->MusicPlay(Music("MUS_B"), true, 1000);
  EXPECT_EQ(m_engine->MusicGetPending(), Music("MUS_B"));
  int elapsed = 0;
  while (m_engine->MusicGetCurrent() == Music("MUS_A") && elapsed < 2000) {
    if (elapsed == 500) {  // half way down
      EXPECT_NEAR(Peak(Side(Render(1), 0)), 16384, 1200);
    }
    Frame();
    elapsed += 20;
  }
  EXPECT_TRUE(elapsed >= 1000 && elapsed <= 1020) << elapsed;
  EXPECT_EQ(m_engine->MusicGetCurrent(), Music("MUS_B"));
  EXPECT_NEAR(ZeroCrossings(Side(Render(100), 0)), 176, 3);  // 882 Hz, not 441
  // Playing the current piece changes nothing: no fade, nothing pending.
  m_engine->MusicPlayByStrID("MUS_B", false, 500);
  EXPECT_EQ(m_engine->MusicGetPending(), -1);

  // The game's shutdown: a three-second fade, then silence.
  m_engine->MusicStop(3000);
  for (int i = 0; i < 148; ++i) Frame();
  EXPECT_EQ(m_engine->MusicGetCurrent(), Music("MUS_B"));
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(std::pair(m_engine->MusicGetStatus(), m_engine->MusicGetCurrent()), std::pair(0, -1));

  EXPECT_EQ(Raised([&] { m_engine->MusicPlayByStrID("MUS_NONE", false, 0); }), "2 0: Invalid music id!");
  m_engine->MusicPlay(42, false, 0);
  EXPECT_EQ(Raised([&] { Frame(); }), "1 0: Cannot play music - invalid ID!");
}

TEST_F(MusicTest, ThreePiecePlaylistPicksEitherOtherPieceWithEqualChance) {
  // A piece that is not a resource is left out.
  StartPieces(0.02, Playlist("PL_ALL", {"MUS_A", "MUS_NONE", "MUS_B", "MUS_C"}));
  m_engine->PlaylistSet(O2DUTIL_DemandPlaylist("PL_ALL"));
  EXPECT_TRUE(LogHas("   =: New playlist contains 3 entries.\n"));
  const std::string again = ReadFileBytes("DATA/PL_ALL.pls");  // a duplicate gives the first one
  EXPECT_EQ(m_engine->LoadPlaylist(again.data(), static_cast<uint32_t>(again.size())), 0);

  // Each piece lasts 20 ms, so every 25 ms frame starts the next one.
  std::map<std::pair<int32_t, int32_t>, int> next;
  int32_t previous = -1;
  for (int i = 0; i < 600; ++i) {
    Frame(25);
    const int32_t current = m_engine->MusicGetCurrent();
    ASSERT_NE(current, previous);
    if (previous != -1) ++next[{previous, current}];
    previous = current;
  }
  const int32_t ids[3] = {Music("MUS_A"), Music("MUS_B"), Music("MUS_C")};
  for (int k = 0; k < 3; ++k) {
    const int first = next[{ids[k], ids[(k + 1) % 3]}];
    const int second = next[{ids[k], ids[(k + 2) % 3]}];
    EXPECT_GT(first + second, 150);
    EXPECT_NEAR(first / static_cast<double>(first + second), 0.5, 0.1) << first << " / " << second;
  }
}

TEST_F(MusicTest, PlaylistStopFadesOverThreeSecondsAndStartsNothing) {
  StartPieces(4.0, Playlist("PL_AB", {"MUS_A", "MUS_B"}));
  EXPECT_EQ(Raised([&] { m_engine->PlaylistSetByStrID("PL_NONE"); }), "2 0: Invalid playlist ID!");
  const std::string bad = "<playlists id=\"PL_BAD\"/>";
  EXPECT_EQ(Raised([&] { m_engine->LoadPlaylist(bad.data(), static_cast<uint32_t>(bad.size())); }),
            "2 0: XML file doesn't contain playlist data!");
  m_engine->PlaylistSet(O2DUTIL_DemandPlaylist("PL_AB"));
  Frame();
  ASSERT_NE(m_engine->MusicGetCurrent(), -1);
  m_engine->PlaylistStop();
  EXPECT_EQ(m_engine->PlaylistGetCurrent(), -1);
  for (int i = 0; i < 75; ++i) Frame();
  EXPECT_NEAR(Peak(Side(Render(1), 0)), 16384, 1200);
  for (int i = 0; i < 86; ++i) Frame();
  EXPECT_EQ(std::pair(m_engine->MusicGetCurrent(), m_engine->MusicGetPending()), std::pair(-1, -1));
  EXPECT_EQ(Peak(Side(Render(20), 0)), 0);
}

}  // namespace
