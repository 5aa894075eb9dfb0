#include "outside/norms/norms.h"

#include "platform/base/module.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/dialog_template.h"
#include "platform/user/msgbox.h"
#include "platform/user/system.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace qorstd {

namespace {

// Roads and streets, classed by traffic; pedestrian zones by illuminance.
constexpr LightingClass kStreetClasses1995[] = {
    {"А1", "Магистральные дороги и улицы общегородского значения", 1.6, 0.4, 0.7, 10, kNone, 10},
    {"А2", "Магистральные улицы общегородского значения", 1.2, 0.4, 0.7, 10, kNone, 10},
    {"А3", "Магистральные улицы районного значения", 1.0, 0.4, 0.7, 15, kNone, 8},
    {"Б1", "Улицы и дороги местного значения в жилой застройке", 0.6, 0.4, kNone, 15, kNone, 6},
    {"Б2", "Улицы и дороги местного значения в промышленных зонах", 0.4, 0.4, kNone, 20, kNone, 4},
    {"В", "Проезды", kNone, kNone, kNone, kNone, 4, 2},
};

constexpr LightingClass kStreetClasses2011[] = {
    {"А1", "Магистральные дороги скоростного движения", 2.0, 0.4, 0.7, 10, kNone, 10},
    {"А2", "Магистральные улицы общегородского значения непрерывного движения", 1.6, 0.4, 0.7, 10, kNone, 10},
    {"А3", "Магистральные улицы общегородского значения регулируемого движения", 1.2, 0.4, 0.6, 15, kNone, 10},
    {"А4", "Магистральные улицы районного значения", 1.0, 0.4, 0.6, 15, kNone, 8},
    {"Б1", "Улицы и дороги местного значения в жилой застройке", 0.8, 0.4, 0.5, 15, kNone, 6},
    {"Б2", "Улицы и дороги в промышленных и коммунально-складских зонах", 0.6, 0.4, 0.5, 20, kNone, 4},
    {"В1", "Поселковые улицы", kNone, kNone, kNone, kNone, 6, 4},
    {"В2", "Проезды и хозяйственные подъезды", kNone, kNone, kNone, kNone, 4, 2},
    {"П1", "Пешеходные улицы и площади", kNone, kNone, kNone, kNone, kNone, 20},
    {"П2", "Пешеходные зоны жилой застройки", kNone, kNone, kNone, kNone, kNone, 10},
};

constexpr LightingClass kHighwayClasses[] = {
    {"А1", "Автомобильные дороги I категории", 2.0, 0.4, 0.7, 10, kNone, kNone},
    {"А2", "Автомобильные дороги II категории", 1.5, 0.4, 0.7, 10, kNone, kNone},
    {"А3", "Автомобильные дороги III категории", 1.0, 0.4, 0.6, 15, kNone, kNone},
    {"Б1", "Пересечения и примыкания в одном уровне", kNone, kNone, kNone, kNone, 20, kNone},
    {"Б2", "Транспортные развязки в разных уровнях", kNone, kNone, kNone, kNone, 15, kNone},
};

constexpr LightingClass kUtilityClasses[] = {
    {"А1", "Скоростные дороги", 2.0, 0.4, 0.7, 10, kNone, 10},
    {"А2", "Магистральные улицы непрерывного движения", 1.5, 0.4, 0.7, 10, kNone, 10},
    {"А3", "Магистральные улицы регулируемого движения", 1.0, 0.4, 0.6, 15, kNone, 8},
    {"Б1", "Улицы местного значения", 0.75, 0.4, 0.5, 15, kNone, 6},
    {"Б2", "Улицы в промышленных зонах", 0.5, 0.35, 0.4, 15, kNone, 4},
    {"П1", "Площади и пешеходные улицы", kNone, kNone, kNone, kNone, 15, 15},
    {"П2", "Пешеходные зоны", kNone, kNone, kNone, kNone, 10, 10},
    {"П3", "Парковые дороги и аллеи", kNone, kNone, kNone, kNone, 5, 5},
};

constexpr NormDocument kDocuments[] = {
    {1, "СНиП 23-05-95*", kStreetClasses1995, static_cast<int>(std::size(kStreetClasses1995))},
    {2, "СП 52.13330.2011", kStreetClasses2011, static_cast<int>(std::size(kStreetClasses2011))},
    {3, "ГОСТ Р 54305-2011", kHighwayClasses, static_cast<int>(std::size(kHighwayClasses))},
    {4, "ГОСТ Р 55706-2013", kUtilityClasses, static_cast<int>(std::size(kUtilityClasses))},
    {5, "СП 52.13330.2016", kStreetClasses2011, static_cast<int>(std::size(kStreetClasses2011))},
    {6, "ГОСТ Р 58107-2018", kUtilityClasses, static_cast<int>(std::size(kUtilityClasses))},
};

constexpr BYTE kOpaque = 255;

struct WizardState {
  const NormDocument* document;
  NormsRecord* record;
  int transparency;
};

void Fill(NormsRecord& r, const LightingClass& c, int index)
{
  const std::size_t length = std::min(std::strlen(c.code), sizeof r.objectClass - 1);
  std::memset(r.objectClass, 0, sizeof r.objectClass);
  std::memcpy(r.objectClass, c.code, length);
  r.normsWord = index + 1;
  r.normsValue = 0;
  for (int i = 0; i < 10; ++i)
    r.documentValues[i] = kNone;
  r.documentValues[kRoadLuminance] = c.roadLuminance;
  r.documentValues[kOverallUniformity] = c.overallUniformity;
  r.documentValues[kLongitudinalUniformity] = c.longitudinalUniformity;
  r.documentValues[kGlareIndex] = c.thresholdIncrement;
  r.documentValues[kRoadIlluminance] = c.roadIlluminance;
  r.documentValues[kSidewalkIlluminance] = c.sidewalkIlluminance;
  std::memcpy(r.effectiveValues, r.documentValues, sizeof r.effectiveValues);
  for (double* pair : {r.thresholdIncrement, r.roadUniformity, r.sidewalkUniformity, r.roadMaximum, r.sidewalkMaximum})
    pair[0] = pair[1] = kNone;
  r.thresholdIncrement[0] = r.thresholdIncrement[1] = c.thresholdIncrement;
}

INT_PTR ClassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
  switch (message) {
  case WM_INITDIALOG: {
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    const auto* state = reinterpret_cast<const WizardState*>(lParam);
    HWND list = GetDlgItem(dialog, kClassListId);
    int current = 0;
    for (int i = 0; i < state->document->classCount; ++i) {
      const LightingClass& c = state->document->classes[i];
      const std::string line = std::string(c.code) + " — " + c.description;
      SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
      if (std::strcmp(state->record->objectClass, c.code) == 0)
        current = i;
    }
    SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
    if (state->transparency >= 0 && state->transparency < kOpaque)
      SetLayeredWindowAttributes(dialog, 0, static_cast<BYTE>(state->transparency), LWA_ALPHA);
    return TRUE;
  }
  case WM_COMMAND:
    if (LOWORD(wParam) == IDOK) {
      auto* state = reinterpret_cast<WizardState*>(GetWindowLongPtr(dialog, DWLP_USER));
      const auto chosen = static_cast<int>(SendMessage(GetDlgItem(dialog, kClassListId), LB_GETCURSEL, 0, 0));
      if (chosen < 0 || chosen >= state->document->classCount) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      Fill(*state->record, state->document->classes[chosen], chosen);
      EndDialog(dialog, IDOK);
      return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    }
    break;
  }
  return FALSE;
}

}  // namespace

const NormDocument* FindNormDocument(int id)
{
  for (const NormDocument& d : kDocuments)
    if (d.id == id)
      return &d;
  return nullptr;
}

int StartOfWizard(void* record, int transparency)
{
  auto* r = static_cast<NormsRecord*>(record);
  if (!r)
    return 0;
  const NormDocument* document = FindNormDocument(r->normDocumentId);
  if (!document)
    return 0;
  // The choice is made on a copy, so a cancel leaves the program's record as it was.
  NormsRecord chosen;
  std::memcpy(&chosen, r, sizeof chosen);
  chosen.objectClass[sizeof chosen.objectClass - 1] = '\0';
  WizardState state{document, &chosen, transparency};

  const std::string caption = std::string("Нормы: ") + document->name;
  user::DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 280, 170, caption);
  t.Item(user::kDialogStatic, SS_LEFT, 7, 7, 266, 10, static_cast<WORD>(-1), "Класс освещаемого объекта:");
  t.Item(user::kDialogListBox, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 7, 20, 266, 122, kClassListId);
  t.Item(user::kDialogButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 168, 149, 50, 14, IDOK, "OK");
  t.Item(user::kDialogButton, BS_PUSHBUTTON | WS_TABSTOP, 223, 149, 50, 14, IDCANCEL, "Отмена");
  const auto owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(r->ownerWindow));
  const INT_PTR answer =
      DialogBoxIndirectParam(nullptr, t.Data(), IsWindow(owner) ? owner : nullptr, &ClassProc,
                             reinterpret_cast<LPARAM>(&state));
  if (answer != IDOK)
    return 0;
  std::memcpy(r, &chosen, sizeof chosen);
  return 1;
}

void RegisterLibrary()
{
  platform::RegisterModule(kModuleName, {{"StartOfWizard", reinterpret_cast<void*>(&StartOfWizard)}});
}

}  // namespace qorstd
