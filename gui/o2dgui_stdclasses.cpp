// The standard element classes, as GUI data names them.
#include "costrak_ehs.h"
#include "o2dgui_costrakgui_main.h"
#include "o2dgui_stdclass_animtile.h"
#include "o2dgui_stdclass_button.h"
#include "o2dgui_stdclass_desktop.h"
#include "o2dgui_stdclass_flex.h"
#include "o2dgui_stdclass_label.h"
#include "o2dgui_stdclass_list.h"
#include "o2dgui_stdclass_scrollbar.h"
#include "o2dgui_stdclass_tile.h"
#include "o2dgui_stdclass_window.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_STDCLASSES;

void O2DGUI_RegisterStandardClasses(COstrakGUI& gui) {
  EHS_CP();
  gui.RegisterClass(&CGUIDesktop::Create, "desktop");
  gui.RegisterClass(&CGUITile::Create, "tile");
  gui.RegisterClass(&CGUITip::Create, "tip");
  gui.RegisterClass(&CGUIAdvTile::Create, "advtile");
  gui.RegisterClass(&CGUIWindow::Create, "window");
  gui.RegisterClass(&CGUIAnimTile::Create, "animtile");
  gui.RegisterClass(&CGUILabel::Create, "label");
  gui.RegisterClass(&CGUITextBox::Create, "textbox");
  gui.RegisterClass(&CGUIButton::Create, "button");
  gui.RegisterClass(&CGUICheckBox::Create, "checkbox");
  gui.RegisterClass(&CGUIVerScroll::Create, "verscroll");
  gui.RegisterClass(&CGUIHorScroll::Create, "horscroll");
  gui.RegisterClass(&CGUIListBox::Create, "listbox");
  gui.RegisterClass(&CGUIScrollBox::Create, "scrollbox");
  gui.RegisterClass(&CGUIFlex::Create, "flex");
  gui.RegisterClass(&CGUITimer::Create, "timer");
}
