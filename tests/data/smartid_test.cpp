#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "costrak_utils_csmartid.h"
#include "raised.h"

namespace {
// Lives for the whole test program, as the game's IDs do.
CSmartID g_sidLongLived("TEX_SID_LONGLIVED");

std::string RaisedBy(const char* strID) {
  return Raised([&] { CSmartID id(strID); });
}
}  // namespace

TEST(SmartID, DetectsTheTypeFromTheFirstThreeCharactersOrRaises) {
  CSmartID tex("TEX_SID_CELL"), teq("TEQ_SID_STD2"), fnt("FNT_SID_FONT1"), snd("SNDx");
  EXPECT_EQ(std::tuple(tex.GetResType(), teq.GetResType(), fnt.GetResType(), snd.GetResType()),
            std::tuple(SMARTID_TEXTURE, SMARTID_TECHNIQUE, SMARTID_FONT, SMARTID_SOUND));

  EXPECT_EQ(RaisedBy("TEX"), "1 0: Error in CSmartID::DetectResType : strID length is too small (<4)!");
  EXPECT_EQ(RaisedBy("MUS_SID_THEME"),
            "2 0: Error in CSmartID::DetectResType : cannot detect res type! strID = MUS_SID_THEME");
  // A failed construction registers nothing: the same string is free afterwards.
  CSmartID again("MUS_SID_THEME", SMARTID_SOUND);
}

TEST(SmartID, SameStrIDIsRefusedAndDestroyedObjectsLeaveTheRegistry) {
  CSmartID first("TEX_SID_DUP");
  EXPECT_EQ(RaisedBy("TEX_SID_DUP"),
            "2 0: Error in CSmartID::CSmartID(const char* fp_pszID, int fp_iResType). An object with same strID already exists! strID = TEX_SID_DUP");
  // The refused object left the registration of the first one in place.
  CSmartID::SetIDByStrID("TEX_SID_DUP", 12);
  EXPECT_EQ(first.GetID(), 12);

  // Destroyed objects leave the registry; others stay bound.
  { CSmartID shortLived("TEX_SID_SHORT"); }
  CSmartID::SetIDByStrID("TEX_SID_SHORT", 2);  // nothing refers to the freed object any more
  CSmartID reborn("TEX_SID_SHORT");
  EXPECT_EQ(reborn.GetID(), -1);
  // An object that outlives others is still reached after they are gone.
  CSmartID::SetIDByStrID("TEX_SID_LONGLIVED", 9);
  EXPECT_EQ(g_sidLongLived.GetID(), 9);
}
