// The standard element classes, as GUI data names them.
#include "costrak_ehs.h"
#include "o2dgui_costrakgui_main.h"
#include "o2dgui_stdclass_button.h"
#include "o2dgui_stdclass_desktop.h"
#include "o2dgui_stdclass_label.h"
#include "o2dgui_stdclass_tile.h"
#include "o2dgui_stdclass_window.h"
#include "o2dgui_stdclass_animtile.h"

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
}
