#include "outside/grafocore/layers_dialog.h"

#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/dialog_template.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

#include <algorithm>

namespace grafocore {

namespace {

constexpr int kRowsPerColumn = 16;
constexpr short kColumnWidth = 110;
constexpr short kRowHeight = 12;

INT_PTR LayersProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
  static_assert(sizeof(LONG_PTR) >= sizeof(void*));
  switch (message) {
  case WM_INITDIALOG: {
    auto* drawing = reinterpret_cast<dxf::Drawing*>(lParam);
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    const int listed = std::min<int>(static_cast<int>(drawing->layers.size()), kListedLayers);
    for (int i = 0; i < listed; ++i)
      CheckDlgButton(dialog, kFirstLayerBox + i, drawing->layers[i].on ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
  }
  case WM_COMMAND:
    if (LOWORD(wParam) == IDOK) {
      auto* drawing = reinterpret_cast<dxf::Drawing*>(GetWindowLongPtr(dialog, DWLP_USER));
      const int listed = std::min<int>(static_cast<int>(drawing->layers.size()), kListedLayers);
      for (int i = 0; i < listed; ++i)
        drawing->layers[i].on = IsDlgButtonChecked(dialog, kFirstLayerBox + i) == BST_CHECKED;
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

INT_PTR RunLayersDialog(HWND owner, dxf::Drawing& drawing)
{
  const int listed = std::min<int>(static_cast<int>(drawing.layers.size()), kListedLayers);
  const int columns = std::max(1, (listed + kRowsPerColumn - 1) / kRowsPerColumn);
  const int rows = std::min(std::max(listed, 1), kRowsPerColumn);
  const short width = static_cast<short>(std::max(160, columns * kColumnWidth + 14));
  const short buttonsY = static_cast<short>(10 + rows * kRowHeight + 6);
  user::DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, width,
                         static_cast<short>(buttonsY + 22), "Слои");
  for (int i = 0; i < listed; ++i)
    t.Item(user::kDialogButton, BS_AUTOCHECKBOX | WS_TABSTOP,
           static_cast<short>(7 + (i / kRowsPerColumn) * kColumnWidth),
           static_cast<short>(10 + (i % kRowsPerColumn) * kRowHeight), kColumnWidth - 4, 10,
           static_cast<WORD>(kFirstLayerBox + i), drawing.layers[i].name);
  t.Item(user::kDialogButton, BS_DEFPUSHBUTTON | WS_TABSTOP, static_cast<short>(width - 112), buttonsY, 50, 14, IDOK,
         "OK");
  t.Item(user::kDialogButton, BS_PUSHBUTTON | WS_TABSTOP, static_cast<short>(width - 57), buttonsY, 50, 14,
         IDCANCEL, "Отмена");
  return DialogBoxIndirectParam(nullptr, t.Data(), owner, &LayersProc, reinterpret_cast<LPARAM>(&drawing));
}

}  // namespace grafocore
