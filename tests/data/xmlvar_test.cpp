#include <string>

#include "costrak_utils_cxmlvar.h"
#include "raised.h"
#include "test_support.h"

namespace {

class XMLVarTest : public TempDirTest {};

void Load(const std::string& text) { RESLOAD_XMLData(text.data(), static_cast<uint32_t>(text.size())); }

}  // namespace

TEST_F(XMLVarTest, AttributesOfEveryChildSetTheirVariables) {
  CXMLVarInt sizex("v1_sizex"), sizey("v1_sizey");
  CXMLVarFloat actiontime("v1_actiontime");
  Load("<?xml version=\"1.0\"?>\r\n<xmldata>\r\n <game v1_sizex=\"4\" v1_zzz_unknown=\"1\" v1_actiontime=\"0.25\""
       " v1_sizey=\"9\"/>\r\n <more v1_sizey=\"3\"/>\r\n</xmldata>\r\n");
  EXPECT_EQ(std::pair(sizex.GetValue(), sizey.GetValue()), std::pair(4, 3));  // for sizey the last assignment wins
  EXPECT_FLOAT_EQ(actiontime.GetValue(), 0.25f);
  EXPECT_EQ(GameLog(), " !: Warning: unused xml variable: v1_zzz_unknown\n");
}

TEST_F(XMLVarTest, InvalidRootAndEmptyData) {
  CXMLVarInt v("v3_sizex");
  EXPECT_EQ(Raised([] { Load("<xmldatas><game v3_sizex=\"4\"/></xmldatas>"); }),
            "1 0: Error in loading XMLData: invalid root node name!");
  Load("<xmldata v3_sizex=\"4\"></xmldata>");  // root attributes are not variables
  EXPECT_EQ(v.GetValue(), 0);
  EXPECT_EQ(GameLog(), " !: Warning: empty xmldata file!\n");
}

TEST_F(XMLVarTest, NoneAliveSetsNothingDuplicatesAreRefusedDestroyedAreUnregistered) {
  // This program declares no variable of static lifetime: with none alive nothing is set or logged.
  Load("<xmldata><g v7_any=\"1\"/></xmldata>");
  EXPECT_FALSE(std::filesystem::exists("gamelog.txt"));
  CXMLVarInt v("v6_name");
  EXPECT_EQ(Raised([] { CXMLVarFloat dup("v6_name"); }),
            "2 0: Error in CXMLVar::CXMLVar(const char* fp_pszID). An object with same ID already exists! ID = v6_name");
  { CXMLVarFloat gone("v6_gone"); }
  // The refused one did not displace the first; the destroyed one is just unused now.
  Load("<xmldata><g v6_name=\"8\" v6_gone=\"1\"/></xmldata>");
  EXPECT_EQ(v.GetValue(), 8);
  EXPECT_EQ(GameLog(), " !: Warning: unused xml variable: v6_gone\n");
}
