#include "toolkit/paint/resource_manager.h"

#include "platform/gdi/png.h"
#include "platform/user/msgbox.h"
#include "res/modules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace res {
const platform::ResourceModuleData& PartialModule();
}  // namespace res

namespace {

// Ids of the toolkit module (res/toolkit) the lookups use.
constexpr UINT kAddRemoveButtons = 9300;    // string
constexpr UINT kEnterToolbarName = 9331;    // string, in the block the partial module lacks
constexpr UINT kImageEditorTools = 9352;    // toolbar and its bitmap
constexpr UINT kCrossCursor = 9375;         // cursor
constexpr UINT kNoSuchString = 9999;

class ResourceManager : public ::testing::Test {
protected:
  void SetUp() override
  {
    res::RegisterModules();
    programResources = AfxGetResourceHandle();
    toolkit = platform::RegisterResourceModule(res::ToolkitModule());
  }
  void TearDown() override
  {
    TKSetResourceInstance(nullptr, nullptr);
    AfxSetResourceHandle(programResources);
  }

  HINSTANCE programResources = nullptr;
  HINSTANCE toolkit = nullptr;
  CTKResourceManager manager;
};

TEST_F(ResourceManager, WithoutTheModuleNothingIsFoundAndNothingFails)
{
  platform::ScopedResourceModuleAbsence absent(res::kToolkitModuleFileName);
  // The main frame's load fails silently and hands on a null handle.
  manager.SetResourceHandle(platform::LoadResourceModule(res::kToolkitModuleFileName));
  ASSERT_EQ(TKGetResourceInstance(), nullptr);

  CString text("stale");
  EXPECT_FALSE(manager.LoadString(&text, kAddRemoveButtons));
  EXPECT_EQ(manager.LoadCursor(kCrossCursor), nullptr);
  CBitmap bitmap;
  EXPECT_FALSE(manager.LoadBitmap(&bitmap, kImageEditorTools));
  CMenu menu;
  EXPECT_FALSE(manager.LoadMenu(&menu, 9336));
  EXPECT_EQ(manager.LoadDialogTemplate(9304), nullptr);
  CToolBar toolbar;
  EXPECT_FALSE(manager.LoadToolBar(&toolbar, kImageEditorTools));
  EXPECT_EQ(AfxGetResourceHandle(), programResources);

  // A message box of a missing string is shown empty rather than not at all.
  user::ScriptedResponder responder;
  manager.ShowMessageBox(kNoSuchString, MB_OK);
  ASSERT_EQ(responder.Asked().size(), 1u);
  EXPECT_EQ(responder.Asked()[0].text, "");
}

TEST_F(ResourceManager, WithTheModuleEveryKindComesFromIt)
{
  TKResourceManager()->SetResourceHandle(toolkit);
  EXPECT_EQ(TKGetResourceInstance(), toolkit);

  CString text;
  EXPECT_TRUE(manager.LoadString(&text, kAddRemoveButtons));
  EXPECT_STREQ(static_cast<LPCSTR>(text), "Добавить или удалить кнопки");
  EXPECT_NE(manager.LoadCursor(kCrossCursor), nullptr);
  CBitmap bitmap;
  ASSERT_TRUE(manager.LoadBitmap(&bitmap, kImageEditorTools));
  BITMAP info{};
  bitmap.GetBitmap(&info);
  EXPECT_EQ(info.bmWidth, 16 * 16);
  EXPECT_EQ(info.bmHeight, 16);
  // The toolbar and, through the switch, its bitmap.
  CToolBar toolbar;
  EXPECT_TRUE(manager.LoadToolBar(&toolbar, kImageEditorTools));
  EXPECT_EQ(toolbar.GetCount(), 16);
  EXPECT_FALSE(manager.LoadString(&text, kNoSuchString));
  // Every load leaves the framework's resource handle as it found it.
  EXPECT_EQ(AfxGetResourceHandle(), programResources);
}

TEST_F(ResourceManager, AStringBlockTheModuleLacksComesFromTheProgram)
{
  HINSTANCE partial = platform::RegisterResourceModule(res::PartialModule());
  manager.SetResourceHandle(partial);
  // The program's resources stand in for a program that does hold the toolkit's strings.
  AfxSetResourceHandle(toolkit);

  CString text;
  EXPECT_TRUE(manager.LoadString(&text, kAddRemoveButtons));
  EXPECT_STREQ(static_cast<LPCSTR>(text), "Partial: add or remove buttons");
  EXPECT_TRUE(manager.LoadString(&text, kEnterToolbarName));
  EXPECT_STREQ(static_cast<LPCSTR>(text), "Введите имя панели.");
  // The module has the block of 9300 but not this id; the program's answer stands.
  EXPECT_TRUE(manager.LoadString(&text, 9307));
  EXPECT_STREQ(static_cast<LPCSTR>(text), "Закрыть");
  EXPECT_EQ(AfxGetResourceHandle(), toolkit);
}

TEST_F(ResourceManager, SwitchMovesTheResourceHandleOnlyWhileAModuleIsSet)
{
  {
    CTKResourceSwitch nothingSet;
    EXPECT_EQ(AfxGetResourceHandle(), programResources);
  }
  TKSetResourceInstance(toolkit, toolkit);
  {
    CTKResourceSwitch switched;
    EXPECT_EQ(AfxGetResourceHandle(), toolkit);
  }
  EXPECT_EQ(AfxGetResourceHandle(), programResources);
}

}  // namespace

namespace {

// What the toolkit's callers load from the module, by kind, and the forms they rely on.
TEST_F(ResourceManager, TheModuleHoldsEveryResourceTheToolkitLoads)
{
  manager.SetResourceHandle(toolkit);
  const UINT strings[] = {9300, 9349, 9395, 9307, 9312, 9314, 9337, 9350, 9330, 9331, 9332, 9334, 9335,
                          9346, 9411, 9412, 9413, 9414, 9415, 9416, 9392, 9393, 9394, 9396, 9420, 9421,
                          9422, 9423, 9900, 9901, 9907, 9908, 9909};
  for (UINT id : strings) {
    CString text;
    EXPECT_TRUE(manager.LoadString(&text, id)) << id;
    EXPECT_FALSE(text.IsEmpty()) << id;
  }
  // Format strings with one placeholder: an integer for 9330, a name for the others.
  const struct {
    UINT id;
    const char* placeholder;
  } formats[] = {{9330, "%d"}, {9335, "%s"}, {9349, "%s"}, {9394, "%s"}};
  for (const auto& format : formats) {
    CString text;
    manager.LoadString(&text, format.id);
    const std::string value(static_cast<LPCSTR>(text));
    EXPECT_NE(value.find(format.placeholder), std::string::npos) << format.id << ": " << value;
    EXPECT_EQ(value.find('%'), value.rfind('%')) << format.id << " has one placeholder";
  }

  for (UINT id : {9301u, 9302u, 9303u, 9375u, 9376u, 9377u, 9378u, 9970u, 9971u, 9972u}) {
    EXPECT_NE(manager.LoadCursor(id), nullptr) << id;
  }

  const struct {
    UINT id;
    int width;
  } bitmaps[] = {{9322, 160}, {9407, 64}};
  for (const auto& expected : bitmaps) {
    CBitmap bitmap;
    ASSERT_TRUE(manager.LoadBitmap(&bitmap, expected.id)) << expected.id;
    BITMAP info{};
    bitmap.GetBitmap(&info);
    EXPECT_EQ(info.bmWidth, expected.width) << expected.id;
    EXPECT_EQ(info.bmHeight, 16) << expected.id;
  }

  CMenu menu;
  ASSERT_TRUE(manager.LoadMenu(&menu, 9336));
  CMenu* commands = menu.GetSubMenu(0);
  ASSERT_NE(commands, nullptr);
  std::vector<UINT> ids;
  for (int i = 0; i < commands->GetMenuItemCount(); ++i) {
    if (const UINT id = commands->GetMenuItemID(i); id != 0) {
      ids.push_back(id);
    }
  }
  const std::vector<UINT> expectedIds = {9315, 9316, 9317, 9318, 9319, 9320, 9321, 9322, 9323, 9324, 9325, 9326};
  EXPECT_EQ(ids, expectedIds);
}

// The module's pictures as the program receives them, twice their size, for a person to look at.
TEST_F(ResourceManager, PicturesOfTheModuleSheet)
{
  manager.SetResourceHandle(toolkit);
  constexpr int kScale = 2;
  constexpr int kWidth = 690;
  constexpr int kHeight = 110;
  CDC screen;
  screen.CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  CDC sheet;
  sheet.CreateCompatibleDC(&screen);
  CBitmap surface;
  surface.CreateCompatibleBitmap(&screen, kWidth, kHeight);
  CBitmap* old = sheet.SelectObject(&surface);
  sheet.FillSolidRect(0, 0, kWidth, kHeight, RGB(255, 255, 255));
  int x = 0;
  for (UINT id : {9322u, 9407u}) {
    CBitmap bitmap;
    ASSERT_TRUE(manager.LoadBitmap(&bitmap, id));
    BITMAP info{};
    bitmap.GetBitmap(&info);
    CDC source;
    source.CreateCompatibleDC(&screen);
    CBitmap* previous = source.SelectObject(&bitmap);
    sheet.StretchBlt(x, 0, info.bmWidth * kScale, info.bmHeight * kScale, &source, 0, 0, info.bmWidth,
                     info.bmHeight, SRCCOPY);
    source.SelectObject(previous);
    x += info.bmWidth * kScale + 8;
  }
  x = 0;
  for (UINT id : {9301u, 9302u, 9303u, 9375u, 9376u, 9377u, 9378u, 9970u, 9971u, 9972u}) {
    HCURSOR cursor = manager.LoadCursor(id);
    ASSERT_NE(cursor, nullptr) << id;
    DrawIconEx(sheet.GetSafeHdc(), x, 16 * kScale + 8, cursor, 32 * kScale, 32 * kScale, 0, nullptr, DI_NORMAL);
    x += 32 * kScale + 4;
  }
  sheet.SelectObject(old);
  EXPECT_TRUE(gdi::SavePng(static_cast<HBITMAP>(surface.GetSafeHandle()),
                           std::string(TESMIRA_ARTIFACTS_DIR) + "/toolkit_module_pictures.png"));
}

}  // namespace

namespace {

INT_PTR QuietDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// Each page and dialog is built from the module's template and finds the controls its code addresses.
TEST_F(ResourceManager, DialogTemplatesHoldTheControlsTheirPagesAddress)
{
  const struct {
    UINT id;
    std::vector<int> controls;
  } templates[] = {
      {9313, {9338, 9327}},
      {9304, {9305, 9308, 9309, 9310, 9311}},
      {9328, {9329, IDOK, IDCANCEL}},
      {9379, {9381, 9383, 9385, 9386, 9387, 9388, 9390, 9391}},
      {9339, {9340, 9341, 9342, 9343, 9344, 9345, 9352, 9353, 9410}},
      {9351, {9354, 9357, 9358, 9359, 9360, 9361, 9362, IDOK, IDCANCEL}},
  };
  manager.SetResourceHandle(toolkit);
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr));
  for (const auto& expected : templates) {
    SCOPED_TRACE(expected.id);
    const DLGTEMPLATE* dialogTemplate = manager.LoadDialogTemplate(expected.id);
    ASSERT_NE(dialogTemplate, nullptr);
    HWND dialog = CreateDialogIndirectParam(toolkit, dialogTemplate, parent.GetSafeHwnd(), &QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    for (int control : expected.controls) {
      EXPECT_NE(GetDlgItem(dialog, control), nullptr) << control;
    }
    DestroyWindow(dialog);
  }
  parent.DestroyWindow();
}

}  // namespace
