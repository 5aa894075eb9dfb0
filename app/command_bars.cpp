#include "app/command_bars.h"

#include "app/resource.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/controlcombobox.h"
#include "toolkit/commandbars/customizepages.h"
#include "toolkit/commandbars/customizesheet.h"
#include "toolkit/commandbars/menubar.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/paint/paint_manager.h"

#include <iterator>

namespace {

struct BarRow {
  const char* title;
  UINT resource;
};
const BarRow kToolBars[] = {
    {"Стандартная", ids::IDR_MAINFRAME},
    {"Проект", ids::IDR_PROJECT_TOOLBAR},
    {"Вид", ids::IDR_VIEW_TOOLBAR},
    {"Экономика", ids::IDR_ECONOMICS_TOOLBAR},
};
// Print and print preview are rarely used: they show only in an expanded menu.
constexpr UINT kRarelyUsedCommands[] = {57607, 57609};
constexpr int kSplitButtonControls[] = {1021, 1023};
constexpr double kCalcModeWidthInChecks = 15.8;

}  // namespace

BOOL CreateProgramBars(CTKCommandBars* bars, CTKToolBar** imageBar)
{
  // Loaded into the command bars' image manager, which the menus draw from.
  auto* images = new CTKToolBar;
  *imageBar = images;
  images->SetCommandBars(bars);
  if (!images->LoadToolBar(ids::IDR_IMAGE_TOOLBAR))
    return FALSE;
  if (!bars->SetMenu("Меню", ids::IDR_MAINFRAME))
    return FALSE;
  for (const BarRow& row : kToolBars) {
    CTKToolBar* bar = bars->Add(row.title, tkBarTop);
    if (!bar || !bar->LoadToolBar(row.resource))
      return FALSE;
  }
  bars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
  bars->HideCommands(kRarelyUsedCommands, static_cast<int>(std::size(kRarelyUsedCommands)));
  bars->GetShortcutManager()->SetAccelerators(ids::IDR_MAINFRAME);
  return TRUE;
}

void ReleaseImageBar(CTKToolBar* imageBar)
{
  if (!imageBar)
    return;
  if (imageBar->GetSafeHwnd())
    imageBar->DestroyWindow();
  imageBar->InternalRelease();
}

BOOL CreateProgramControl(TK_CREATECONTROLSTRUCT* create, BOOL* madeCombo)
{
  *madeCombo = FALSE;
  if (create->bToolBar && create->pCommandBar && create->pCommandBar->GetBarID() == kProjectBarId &&
      create->nId == static_cast<int>(kCalcModeControl)) {
    auto* combo = new CTKControlComboBox;
    combo->SetWidth(static_cast<int>(GetSystemMetrics(SM_CXMENUCHECK) * kCalcModeWidthInChecks));
    combo->SetComboStyle(1);
    // A toolbar button takes its caption from the command's string; the combo's label is its own.
    combo->SetCaption("Режим расчета ");
    create->strCaption = "Режим расчета ";
    create->pControl = combo;
    *madeCombo = TRUE;
    return TRUE;
  }
  for (int id : kSplitButtonControls) {
    if (create->nId == id) {
      create->controlType = tkControlSplitButtonPopup;
      return TRUE;
    }
  }
  return FALSE;
}

void RunCustomizeSheet(CTKCommandBars* bars)
{
  constexpr UINT kAllCommandsString = 9337;
  constexpr UINT kBuiltInMenusString = 9350;
  constexpr UINT kNewMenuString = 9314;
  CTKCustomizeSheet sheet(bars);
  CTKCustomizeKeyboardPage keyboard(&sheet);
  sheet.AddPage(&keyboard);
  keyboard.AddCategories(ids::IDR_MAINFRAME);
  CTKCustomizeOptionsPage options(&sheet);
  sheet.AddPage(&options);
  CTKCustomizeCommandsPage* commands = sheet.GetCommandsPage();
  commands->AddCategories(ids::IDR_MAINFRAME);
  commands->InsertAllCommandsCategory(kAllCommandsString);
  commands->InsertBuiltInMenus(ids::IDR_MAINFRAME, kBuiltInMenusString);
  commands->InsertNewMenuCategory(kNewMenuString);
  sheet.DoModal();
}
