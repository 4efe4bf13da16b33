#pragma once
// The resource registry: its mode, the records and the load functions by type.
// The engine object holds one; only the subsystem's own sources include this.
#include <map>
#include <memory>
#include <string>

#include "costrak.h"
#include "costrak_itemsmanager.h"
#include "costrak_res_cres.h"
#include "costrak_res_decode_ahead.h"
#include "costrak_res_main.h"

struct CResState {
  bool bResInitialized = false;
  int32_t iResMode = O2D_RESMODE_NONE;
  std::unique_ptr<TItemsManager<CO2DResource>> pResManager;
  std::map<std::string, O2DLoadResFn, std::less<>> mapLoadRes;
  std::map<std::string, O2DLoadResExFn, std::less<>> mapLoadResEx;
  std::unique_ptr<CO2DDecodeAhead> decodeAhead;
};
