#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "costrak_ehs.h"
#include "costrak_utils_cxmlvar.h"
#include "costrak_xml.h"
#include "test_support.h"

namespace {

class XMLVarTest : public TempDirTest {
 protected:
  void TearDown() override {
    O2D_SetXMLEncryptMode(false);
    TempDirTest::TearDown();
  }
};

void Load(const std::string& text) { RESLOAD_XMLData(text.data(), static_cast<uint32_t>(text.size())); }

}  // namespace

TEST_F(XMLVarTest, AttributesOfEveryChildSetTheirVariables) {
  CXMLVarInt sizex("v1_sizex"), sizey("v1_sizey");
  CXMLVarFloat actiontime("v1_actiontime");
  EXPECT_EQ(sizex.GetValue(), 0);
  EXPECT_EQ(actiontime.GetValue(), 0.0f);
  Load("<?xml version=\"1.0\"?>\r\n<xmldata>\r\n"
       "  <game v1_sizex=\"4\" v1_zzz_unknown=\"1\" v1_actiontime=\"0.25\" v1_sizey=\"9\"/>\r\n"
       "  <more v1_sizey=\"3\"/>\r\n"
       "</xmldata>\r\n");
  EXPECT_EQ(sizex.GetValue(), 4);
  EXPECT_EQ(sizey.GetValue(), 3);  // the last assignment wins
  EXPECT_FLOAT_EQ(actiontime.GetValue(), 0.25f);
  EXPECT_EQ(ReadFileBytes("gamelog.txt"), " !: Warning: unused xml variable: v1_zzz_unknown\n");
}

TEST_F(XMLVarTest, ConversionFollowsStreamExtraction) {
  CXMLVarInt i("v2_int");
  CXMLVarFloat f("v2_float");
  i.SetValue("4.9");
  EXPECT_EQ(i.GetValue(), 4);
  i.SetValue("  -12abc");
  EXPECT_EQ(i.GetValue(), -12);
  i.SetValue("+7");
  EXPECT_EQ(i.GetValue(), 7);
  i.SetValue("abc");  // no number: the value stays
  EXPECT_EQ(i.GetValue(), 7);
  i.SetValue("99999999999");  // beyond 32 bits: stays as well
  EXPECT_EQ(i.GetValue(), 7);
  i.SetValue("-2147483648");
  EXPECT_EQ(i.GetValue(), INT32_MIN);
  f.SetValue("1.5e1x");
  EXPECT_FLOAT_EQ(f.GetValue(), 15.0f);
  f.SetValue("x");
  EXPECT_FLOAT_EQ(f.GetValue(), 15.0f);
  f.SetValue(" -0.125");
  EXPECT_FLOAT_EQ(f.GetValue(), -0.125f);
}

TEST_F(XMLVarTest, InvalidRootRaisesBeforeAnyVariableIsSet) {
  CXMLVarInt v("v3_sizex");
  try {
    Load("<xmldatas><game v3_sizex=\"4\"/></xmldatas>");
    FAIL() << "no error";
  } catch (const CEHSException& e) {
    EXPECT_EQ(e.Type, EHS_GENERAL);
    EXPECT_EQ(e.Code, 0u);
    EXPECT_EQ(e.Desc, "Error in loading XMLData: invalid root node name!");
  }
  EXPECT_EQ(v.GetValue(), 0);
}

TEST_F(XMLVarTest, EmptyDataWarnsAndEmptyBufferRaises) {
  CXMLVarInt v("v4_sizex");
  Load("<xmldata v4_sizex=\"4\"></xmldata>");  // root attributes are not variables
  EXPECT_EQ(v.GetValue(), 0);
  EXPECT_EQ(ReadFileBytes("gamelog.txt"), " !: Warning: empty xmldata file!\n");
  try {
    RESLOAD_XMLData("\r\r", 2);
    FAIL() << "no error";
  } catch (const CEHSTextError& e) {
    EXPECT_EQ(e.Text, "XMLERROR: buffer is empty.");
  }
}

TEST_F(XMLVarTest, EncryptedDataFollowsTheEngineFlag) {
  CXMLVarInt v("v5_sizey");
  std::string stored = "<xmldata><g v5_sizey=\"6\"/></xmldata>";
  XML_TransformBytes(stored.data(), stored.size());
  O2D_SetXMLEncryptMode(true);
  Load(stored);
  EXPECT_EQ(v.GetValue(), 6);
}

TEST_F(XMLVarTest, DuplicateNamesAreRefusedAndDestroyedVariablesUnregistered) {
  CXMLVarInt v("v6_name");
  try {
    CXMLVarFloat dup("v6_name");
    FAIL() << "no error";
  } catch (const CEHSException& e) {
    EXPECT_EQ(e.Type, EHS_GAME);
    EXPECT_EQ(e.Desc,
              "Error in CXMLVar::CXMLVar(const char* fp_pszID). An object with same ID already exists! ID = v6_name");
  }
  {
    CXMLVarFloat gone("v6_gone");
  }
  // The refused one did not displace the first; the destroyed one is just unused now.
  Load("<xmldata><g v6_name=\"8\" v6_gone=\"1\"/></xmldata>");
  EXPECT_EQ(v.GetValue(), 8);
  EXPECT_EQ(ReadFileBytes("gamelog.txt"), " !: Warning: unused xml variable: v6_gone\n");
}

TEST_F(XMLVarTest, WithoutDeclaredVariablesNothingIsSetOrLogged) {
  // This program declares no variable of static lifetime, so none is alive here.
  Load("<xmldata><g v7_any=\"1\"/></xmldata>");
  EXPECT_FALSE(std::filesystem::exists("gamelog.txt"));
}
