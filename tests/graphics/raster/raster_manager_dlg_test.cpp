// The raster binding dialog driven as a user would, headless: a BMP opened, a segment measured on it, its length
// typed, the plan size checked against the 2000 m limit (the length label red while it is over), the raster
// stored and tiled or unbound, and the dialog's placement kept in the profile.
#include "graphics/raster/dib_from_file.h"
#include "graphics/raster/dxf_file_selector_dlg.h"
#include "graphics/raster/raster_manager_dlg.h"
#include "graphics/raster/raster_store.h"
#include "platform/mfc/winapp.h"
#include "platform/shell/htmlhelp.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"
#include "res/modules.h"
#include "res/program_ids.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

// A 24-bit BMP of 256 x 128 pixels, whose tiles of 128 make a canvas of the same size.
std::string WriteBmp()
{
  const std::string path = std::string(TESMIRA_ARTIFACTS_DIR) + "/raster-binding-256x128.bmp";
  const int w = 256, h = 128, row = w * 3;
  std::vector<std::uint8_t> bytes;
  auto put = [&bytes](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
      bytes.push_back((v >> (8 * i)) & 0xFF);
  };
  bytes.push_back('B');
  bytes.push_back('M');
  put(54 + row * h, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4), put(w, 4), put(h, 4), put(1, 2), put(24, 2), put(0, 4), put(row * h, 4), put(0, 4), put(0, 4);
  put(0, 4), put(0, 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      put((x * 255 / w) << 16 | (y * 255 / h) << 8 | 0x80, 3);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return path;
}

class RasterBinding : public ::testing::Test {
protected:
  void SetUp() override
  {
    // A profile of this test's own, where the dialog keeps its placement.
    profile = std::filesystem::path(::testing::TempDir()) / ("raster-binding-" + std::to_string(::getpid()));
    std::filesystem::create_directories(profile);
    ::setenv("TESMIRA_PROFILE_DIR", profile.c_str(), 1);
    app.SetRegistryKey("Marvesta");
    res::RegisterModules();
    CRasterStore::GetInstance()->Clear();
    path = WriteBmp();
  }
  void TearDown() override
  {
    user::SetModalResponder(nullptr);
    CRasterStore::GetInstance()->Clear();
    ::unsetenv("TESMIRA_PROFILE_DIR");
    std::filesystem::remove_all(profile);
  }

  // Runs the dialog; `act` plays the user on it and answers the dialog's question. Message boxes asked meanwhile
  // are kept and answered OK.
  INT_PTR Run(CRasterManagerDlg& dialog, std::function<int(CRasterManagerDlg&)> act)
  {
    user::SetModalResponder([&](const user::ModalQuestion& q) {
      if (q.kind == user::ModalQuestion::Kind::MessageBox) {
        boxes.push_back(q.text);
        return IDOK;
      }
      if (q.kind == user::ModalQuestion::Kind::OpenFile) {
        q.reply = path;
        return IDOK;
      }
      return act(dialog);
    });
    return dialog.DoModal();
  }

  static void Command(CRasterManagerDlg& d, UINT id) { d.SendMessage(WM_COMMAND, id, 0); }
  static void Click(CRasterManagerDlg& d, int x, int y)
  {
    d.m_viewer->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    d.m_viewer->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  static void Type(CRasterManagerDlg& d, const char* keys)
  {
    for (const char* k = keys; *k; ++k)
      d.m_toolbar.m_wiseEdit.m_edit.SendMessage(WM_CHAR, static_cast<unsigned char>(*k), 1);
  }
  // Selects the field's text and deletes it, as a user overwrites the "0.00" it starts with.
  static void Clear(CRasterManagerDlg& d)
  {
    d.m_toolbar.m_wiseEdit.m_edit.SendMessage(EM_SETSEL, 0, -1);
    d.m_toolbar.m_wiseEdit.m_edit.SendMessage(WM_CHAR, VK_BACK, 1);
  }
  // The colour the length label is drawn in.
  static COLORREF LengthLabelColour(CRasterManagerDlg& d)
  {
    CWiseEdit& edit = d.m_toolbar.m_wiseEdit;
    HDC dc = CreateCompatibleDC(nullptr);
    edit.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(edit.m_lengthLabel.GetSafeHwnd()));
    const COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
  }

  CWinApp app{"Tesmira Road"};
  std::filesystem::path profile;
  std::string path;
  std::vector<std::string> boxes;
};

TEST_F(RasterBinding, AMeasuredSegmentGivesThePlanSizeWithinTheLimit)
{
  CRasterManagerDlg dialog(nullptr, nullptr, 0, "");
  struct Seen {
    bool lengthFieldBeforeSegment = true;
    double twelveAndAHalf = 0, planLengthAt12_5 = 0;
    int refusedCheck = -1;
    COLORREF overColour = 0, withinColour = 0;
  } seen;
  const INT_PTR result = Run(dialog, [&](CRasterManagerDlg& d) {
    EXPECT_FALSE(d.m_viewer->HasPicture());
    Command(d, res::program::ID_RASTER_OPEN);
    EXPECT_TRUE(d.m_viewer->HasPicture());
    CString title;
    d.GetWindowText(title);
    EXPECT_EQ(std::string(title), path) << "the dialog's title is the file opened";
    EXPECT_EQ(d.m_viewer->m_pictureWidth, 256);
    EXPECT_EQ(d.m_viewer->m_zoom, 1.0) << "a picture smaller than the viewer keeps its size";
    seen.lengthFieldBeforeSegment = d.m_toolbar.m_wiseEdit.IsWindowEnabled();
    Command(d, res::program::ID_RASTER_SEGMENT);
    Click(d, 100, 100);
    Click(d, 228, 100);  // 128 pixels
    EXPECT_TRUE(d.m_viewer->m_segment.m_complete);
    EXPECT_TRUE(d.m_toolbar.m_wiseEdit.IsWindowEnabled());
    Clear(d);
    Type(d, "12,5");
    seen.twelveAndAHalf = d.m_toolbar.m_wiseEdit.m_edit.m_value;
    seen.planLengthAt12_5 = d.m_planLength;
    Type(d, ".7");  // a second separator and a fifth character: the separator is refused
    EXPECT_EQ(std::string(d.m_toolbar.m_wiseEdit.m_edit.m_text), "12,57");
    Clear(d);
    Type(d, "1000.5");  // 2001 x 1000.5 m
    Type(d, "9");      // a seventh character is refused
    EXPECT_EQ(std::string(d.m_toolbar.m_wiseEdit.m_edit.m_text), "1000.5");
    seen.refusedCheck = d.m_toolbar.m_wiseEdit.m_sizeCheck;
    seen.overColour = LengthLabelColour(d);
    d.SendMessage(WM_COMMAND, IDOK, 0);  // refused: the dialog stays
    Clear(d);
    Type(d, "1000");  // exactly 2000 x 1000 m
    seen.withinColour = LengthLabelColour(d);
    return IDOK;
  });
  EXPECT_FALSE(seen.lengthFieldBeforeSegment);
  EXPECT_EQ(seen.twelveAndAHalf, 12.5);
  EXPECT_DOUBLE_EQ(seen.planLengthAt12_5, 25.0);
  EXPECT_EQ(seen.refusedCheck, CWiseEdit::kLengthTooLong);
  EXPECT_EQ(seen.overColour, RGB(255, 0, 0));
  EXPECT_EQ(seen.withinColour, RGB(0, 0, 0));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("2001.00 х 1000.50"), std::string::npos) << boxes[0];
  EXPECT_NE(boxes[0].find("2000 х 2000"), std::string::npos);

  EXPECT_EQ(result, IDOK);
  ASSERT_NE(dialog.m_rasterId, 0);
  const CDibFromFile* stored = CRasterStore::GetInstance()->Find(dialog.m_rasterId);
  ASSERT_NE(stored, nullptr);
  EXPECT_DOUBLE_EQ(stored->m_widthMetres, 2000);
  EXPECT_DOUBLE_EQ(stored->m_heightMetres, 1000);
  EXPECT_FALSE(stored->GetTiles().empty());

  // The placement went to the profile when the dialog closed.
  LPBYTE data = nullptr;
  UINT bytes = 0;
  ASSERT_TRUE(app.GetProfileBinary(CRasterManagerDlg::kPlacementSection, "WindowPlacement", &data, &bytes));
  EXPECT_EQ(bytes, 44u);
  delete[] data;
}

TEST_F(RasterBinding, ZoomingOrMovingResetsTheSegmentAndUnbindingGivesNoRaster)
{
  // First bound, as above but quickly.
  CRasterManagerDlg first(nullptr, nullptr, 0, path.c_str());
  Run(first, [](CRasterManagerDlg& d) {
    Command(d, res::program::ID_RASTER_SEGMENT);
    Click(d, 10, 10);
    Click(d, 10, 74);
    Clear(d);
    Type(d, "10");
    return IDOK;
  });
  const int id = first.m_rasterId;
  ASSERT_NE(id, 0);

  CRasterManagerDlg again(nullptr, nullptr, id, "");
  std::vector<bool> completeAfter;
  const INT_PTR result = Run(again, [&](CRasterManagerDlg& d) {
    EXPECT_EQ(d.m_viewer->m_raster, CRasterStore::GetInstance()->Find(id)) << "the stored raster, not read again";
    for (UINT command : {res::program::ID_RASTER_ZOOM_IN, res::program::ID_RASTER_RESTORE_SIZE,
                         res::program::ID_RASTER_MOVE}) {
      Command(d, res::program::ID_RASTER_SEGMENT);
      Click(d, 10, 10);
      Click(d, 50, 10);
      Command(d, command);
      completeAfter.push_back(d.m_viewer->m_segment.m_complete != 0 || d.m_toolbar.m_wiseEdit.IsWindowEnabled());
    }
    Command(d, res::program::ID_RASTER_UNBIND);
    return IDOK;
  });
  EXPECT_EQ(completeAfter, std::vector<bool>(3, false));
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(again.m_rasterId, 0);
  EXPECT_NE(CRasterStore::GetInstance()->Find(id), nullptr) << "unbinding leaves the raster in the store";
}

// The toolbar's help opens the program's help at the dialog's keyword, its index when the keyword is missing.
TEST_F(RasterBinding, HelpOpensTheProgramHelpAtItsKeyword)
{
  std::vector<shell::HelpRequest> requests;
  shell::SetHelpHandler([&](const shell::HelpRequest& r) {
    requests.push_back(r);
    return true;
  });
  CRasterManagerDlg dialog(nullptr, nullptr, 0, "");
  HWND window = nullptr;
  Run(dialog, [&](CRasterManagerDlg& d) {
    window = d.GetSafeHwnd();
    Command(d, res::program::ID_RASTER_HELP);
    return IDCANCEL;
  });
  shell::SetHelpHandler(nullptr);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].command, HH_KEYWORD_LOOKUP);
  EXPECT_EQ(requests[0].keywords, "Геоподоснова");
  EXPECT_TRUE(requests[0].indexOnFail);
  EXPECT_EQ(requests[0].caller, window);
  EXPECT_EQ(requests[0].file, std::filesystem::read_symlink("/proc/self/exe").string() + ".chm");
}

// The choice for an area with a background drawing: the bound file shown, each button's result.
TEST_F(RasterBinding, ABoundDrawingIsReplacedRemovedOrKept)
{
  for (const int press : {CDXFFileSelectorDgl::kReplace, CDXFFileSelectorDgl::kRemove, IDCANCEL}) {
    CDXFFileSelectorDgl dialog(nullptr, "/планы/квартал.dxf");
    std::string shown;
    user::SetModalResponder([&](const user::ModalQuestion& q) {
      char text[128] = {};
      GetDlgItemText(q.dialog, res::program::IDC_BOUND_FILE_NAME, text, sizeof text);
      shown = text;
      return press;
    });
    const INT_PTR result = dialog.DoModal();
    EXPECT_EQ(shown, "/планы/квартал.dxf");
    EXPECT_EQ(result, press);
    EXPECT_EQ(dialog.m_result, press == IDCANCEL ? 0 : press);
  }
}

}  // namespace
