// A dialog template compiled from tests/res/samples.rsrc, made into a dialog by resource id.
#include "platform/mfc-core/resources.h"
#include "platform/user/msgbox.h"
#include "platform/user/user.h"
#include "res/samples_ids.h"

#include <gtest/gtest.h>

#include <string>

namespace res {
const platform::ResourceModuleData& SamplesModule();
}

namespace {

LRESULT SwatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return DefWindowProc(hwnd, message, wParam, lParam);
}

INT_PTR SampleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
  if (message == WM_INITDIALOG) {
    SetDlgItemText(dialog, static_cast<int>(res::samples::IDC_SAMPLE_NAME), "Улица");
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

class SampleDialog : public ::testing::Test {
 protected:
  void SetUp() override
  {
    module = platform::RegisterResourceModule(res::SamplesModule());
    static bool registered = [] {
      WNDCLASS wc;
      wc.lpfnWndProc = &SwatchProc;
      wc.lpszClassName = "SampleSwatch";
      return RegisterClass(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
  }

  static std::string Text(HWND window)
  {
    char buffer[256];
    int length = GetWindowText(window, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(length));
  }
  static std::string ClassOf(HWND window)
  {
    char buffer[64];
    int length = GetClassName(window, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(length));
  }
  // Where the control stands in the dialog's client area, in pixels.
  static RECT PlaceOf(HWND dialog, HWND control)
  {
    RECT r{};
    GetWindowRect(control, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ScreenToClient(dialog, &corners[0]);
    ScreenToClient(dialog, &corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  }

  HINSTANCE module = nullptr;
};

TEST_F(SampleDialog, ControlsStandWhereTheScriptPutsThemWithTheirClassesTextsAndStyles)
{
  HWND dialog = CreateDialogParam(module, MAKEINTRESOURCE(res::samples::IDD_SAMPLE), nullptr, &SampleDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Text(dialog), "Параметры");

  // The dialog font decides the pixels: one dialog unit is a quarter of its average character width across
  // and an eighth of its height down. Liberation Sans at 11 pixels stands in for MS Shell Dlg at 8 points.
  RECT unit{0, 0, 4, 8};
  MapDialogRect(dialog, &unit);
  EXPECT_GE(unit.right, 5);
  EXPECT_LE(unit.right, 7);
  EXPECT_GE(unit.bottom, 12);
  EXPECT_LE(unit.bottom, 14);
  auto pixels = [&](RECT units) {
    return RECT{units.left * unit.right / 4, units.top * unit.bottom / 8, units.right * unit.right / 4,
                units.bottom * unit.bottom / 8};
  };
  RECT client{};
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, pixels(RECT{0, 0, 186, 95}).right);
  EXPECT_EQ(client.bottom, pixels(RECT{0, 0, 186, 95}).bottom);

  struct Expected {
    int id;
    const char* className;
    const char* text;
    RECT units;  // left, top, right, bottom
    DWORD style;
    DWORD exStyle;
  };
  const Expected controls[] = {
      {static_cast<int>(res::samples::IDC_SAMPLE_NAME), "Edit", "Улица", {50, 7, 130, 21},
       WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
      {static_cast<int>(res::samples::IDC_SAMPLE_SPIN), "msctls_updown32", "", {130, 7, 140, 21},
       WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0},
      {static_cast<int>(res::samples::IDC_SAMPLE_CHECK), "Button", "Показать", {7, 28, 87, 38},
       WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0},
      {static_cast<int>(res::samples::IDC_SAMPLE_LIST), "ListBox", "", {7, 42, 87, 82},
       WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY, 0},
      {static_cast<int>(res::samples::IDC_SAMPLE_SWATCH), "SampleSwatch", "", {100, 42, 140, 68}, WS_CHILD, 0},
      {IDOK, "Button", "OK", {129, 74, 179, 88}, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
      {IDCANCEL, "Button", "Отмена", {75, 74, 125, 88}, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0},
  };
  for (const Expected& e : controls) {
    SCOPED_TRACE(e.id);
    HWND control = GetDlgItem(dialog, e.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), e.className);
    EXPECT_EQ(Text(control), e.text);
    RECT place = PlaceOf(dialog, control);
    RECT expected = pixels(e.units);
    EXPECT_EQ(place.left, expected.left);
    EXPECT_EQ(place.top, expected.top);
    EXPECT_EQ(place.right, expected.right);
    EXPECT_EQ(place.bottom, expected.bottom);
    // Controls may add state bits of their own (a default button, a focused edit); the script's must be there.
    DWORD style = static_cast<DWORD>(GetWindowLong(control, GWL_STYLE));
    // A list shows its scroll bars only while its items overflow it, so their bits come and go with the items.
    const DWORD bars = WS_VSCROLL | WS_HSCROLL;
    EXPECT_EQ(style & e.style & ~bars, e.style & ~bars);
    EXPECT_EQ(style & WS_VISIBLE, e.style & WS_VISIBLE);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLong(control, GWL_EXSTYLE)) & e.exStyle, e.exStyle);
  }
  // The label nobody addresses is the first child, with its Russian text as code page 1251 bytes.
  HWND label = GetWindow(dialog, GW_CHILD);
  EXPECT_EQ(ClassOf(label), "Static");
  EXPECT_EQ(Text(label), "&\xC8\xEC\xFF:");
  EXPECT_EQ(PlaceOf(dialog, label).left, pixels(RECT{7, 9, 47, 17}).left);
  DestroyWindow(dialog);
}

TEST_F(SampleDialog, DialogBoxRunsTheTemplateAndAMissingTemplateFailsWithTheLookupsError)
{
  user::ScriptedResponder responder;
  responder.AnswerNext(IDCANCEL);
  EXPECT_EQ(DialogBoxParam(module, MAKEINTRESOURCE(res::samples::IDD_SAMPLE), nullptr, &SampleDialogProc, 0),
            IDCANCEL);
  ASSERT_EQ(responder.Asked().size(), 1u);
  EXPECT_EQ(responder.Asked()[0].caption, "Параметры");

  SetLastError(0);
  EXPECT_EQ(CreateDialogParam(module, MAKEINTRESOURCE(201), nullptr, &SampleDialogProc, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(DialogBoxParam(module, MAKEINTRESOURCE(201), nullptr, &SampleDialogProc, 0), -1);
  EXPECT_EQ(responder.Asked().size(), 1u);
}

TEST_F(SampleDialog, FindResourceLocksTheTemplateAndTellsMissingTypesNamesAndModules)
{
  HRSRC found = FindResource(module, MAKEINTRESOURCE(200), RT_DIALOG);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(FindResource(module, "#200", RT_DIALOG), found);
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  ASSERT_NE(bytes, nullptr);
  // DLGTEMPLATE: the style first, then the extended style and the count of items.
  DWORD style = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<DWORD>(bytes[3]) << 24;
  EXPECT_EQ(style, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT);
  EXPECT_EQ(bytes[8] | bytes[9] << 8, 8);
  EXPECT_GT(SizeofResource(module, found), 8 * 18u);

  struct Case {
    HINSTANCE module;
    LPCSTR name;
    LPCSTR type;
    DWORD error;
  };
  int notAModule = 0;
  const Case missing[] = {
      {module, MAKEINTRESOURCE(201), RT_DIALOG, ERROR_RESOURCE_NAME_NOT_FOUND},
      {module, "SAMPLE", RT_DIALOG, ERROR_RESOURCE_NAME_NOT_FOUND},
      {module, MAKEINTRESOURCE(200), MAKEINTRESOURCE(23), ERROR_RESOURCE_TYPE_NOT_FOUND},  // no module has one
      {reinterpret_cast<HINSTANCE>(&notAModule), MAKEINTRESOURCE(200), RT_DIALOG, ERROR_RESOURCE_DATA_NOT_FOUND},
  };
  for (const Case& c : missing) {
    SetLastError(0);
    EXPECT_EQ(FindResource(c.module, c.name, c.type), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
  // A handle that came from nowhere is not read.
  EXPECT_EQ(LockResource(reinterpret_cast<HGLOBAL>(&style)), nullptr);
  EXPECT_EQ(SizeofResource(module, reinterpret_cast<HRSRC>(&style)), 0u);
}

TEST_F(SampleDialog, StringBlocksMenusAndAcceleratorTablesAreFoundInTheirBinaryForms)
{
  // The menu's first item is the popup "&Файл"; its template form loads back into the same menu.
  HRSRC menu = FindResource(module, MAKEINTRESOURCE(res::samples::IDR_SAMPLE), RT_MENU);
  ASSERT_NE(menu, nullptr);
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, menu)));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24, 0);  // version 0, no header
  EXPECT_EQ(bytes[4] | bytes[5] << 8, 0x10);                                  // a popup, not the last item
  EXPECT_EQ(bytes[6] | bytes[7] << 8, '&');
  EXPECT_EQ(bytes[8] | bytes[9] << 8, 0x0424);  // Ф
  HMENU loaded = LoadMenuIndirect(bytes);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(GetMenuItemCount(loaded), 2);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(loaded, 0)), 5);
  EXPECT_EQ(GetMenuItemID(loaded, 1), 57665u);
  DestroyMenu(loaded);

  // Three accelerators of 8 bytes, the last marked.
  HRSRC table = FindResource(module, MAKEINTRESOURCE(res::samples::IDR_SAMPLE), RT_ACCELERATOR);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(SizeofResource(module, table), 24u);
  const auto* accel = static_cast<const BYTE*>(LockResource(LoadResource(module, table)));
  EXPECT_EQ(accel[16], 0x80 | 0x01);  // last, virtual key
  EXPECT_EQ(accel[18], 0x74);         // VK_F5
  EXPECT_EQ(accel[20] | accel[21] << 8, 32772);

  // The samples hold no strings, so there is no string block at all.
  SetLastError(0);
  EXPECT_EQ(FindResource(module, MAKEINTRESOURCE(1), RT_STRING), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
}

}  // namespace
