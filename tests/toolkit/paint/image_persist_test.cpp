// Custom button images saved and carried over the clipboard: the icon stream against bytes written by hand, icon
// sets through the profile and the clipboard with every image kept, and damaged records that must not be trusted.
#include "toolkit/paint/imagepersist.h"

#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/memfile.h"
#include "platform/mfc/ole.h"
#include "platform/mfc/winapp.h"
#include "tests/platform/base/test_folder.h"
#include "toolkit/paint/prop_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::ScopedEnv;
using testing_support::TempFolder;

// The pixels of a bitmap as 0xAARRGGBB, row by row from the top.
std::vector<std::uint32_t> Pixels(HBITMAP hBitmap)
{
  BITMAP bm{};
  if (hBitmap == nullptr || GetObject(hBitmap, sizeof(bm), &bm) == 0) {
    return {};
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = bm.bmWidth;
  info.bmiHeader.biHeight = -std::abs(bm.bmHeight);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> out(static_cast<std::size_t>(bm.bmWidth) * std::abs(bm.bmHeight));
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, hBitmap, 0, static_cast<UINT>(std::abs(bm.bmHeight)), out.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return out;
}

// Colour and mask pixels of an image: an icon's two bitmaps, an alpha bitmap alone.
std::vector<std::uint32_t> ImagePixels(const CTKImageManagerIconHandle& handle)
{
  if (handle.IsAlpha()) {
    return Pixels(handle.GetBitmap());
  }
  ICONINFO info{};
  if (handle.GetIcon() == nullptr || !GetIconInfo(handle.GetIcon(), &info)) {
    return {};
  }
  std::vector<std::uint32_t> out = Pixels(info.hbmColor);
  for (std::uint32_t p : Pixels(info.hbmMask)) {
    out.push_back(p & 0xFFFFFF);
  }
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return out;
}

// An icon whose every pixel differs, with a mask that leaves a diagonal transparent.
HICON MakePatternIcon(int w, int h, int seed)
{
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateCompatibleBitmap(screen, w, h);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, color);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      SetPixelV(dc, x, y, x == y ? RGB(0, 0, 0) : RGB(x * 9 + seed, y * 9, (x + y + seed) % 256));
    }
  }
  SelectObject(dc, mask);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      SetPixelV(dc, x, y, x == y ? RGB(255, 255, 255) : RGB(0, 0, 0));
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ICONINFO info;
  info.fIcon = TRUE;
  info.hbmColor = color;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(color);
  DeleteObject(mask);
  return icon;
}

// A bottom-up 2 x 1 alpha section: (1, 2, 3, 4) then (5, 6, 7, 8) as b, g, r, a bytes.
HBITMAP MakeTinyAlpha()
{
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = 1;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const BYTE pixels[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  std::memcpy(bits, pixels, sizeof pixels);
  return bitmap;
}

void Int(std::vector<BYTE>& out, std::uint32_t n)
{
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<BYTE>(n >> (8 * i)));
  }
}

// The icon of MakeTinyAlpha as its stream, written out from the format.
std::vector<BYTE> TinyAlphaIconStream()
{
  std::vector<BYTE> s;
  Int(s, 1);                  // height
  Int(s, 16);                 // schema
  s.push_back(52);            // normal, colour record: header size 52 as a compact count
  s.push_back(0);
  Int(s, 40);                 //   biSize
  Int(s, 2);                  //   biWidth
  Int(s, 1);                  //   biHeight
  s.push_back(1);             //   biPlanes
  s.push_back(0);
  s.push_back(32);            //   biBitCount
  s.push_back(0);
  Int(s, 0);                  //   biCompression
  Int(s, 8);                  //   biSizeImage
  for (int i = 0; i < 4 + 4 + 4 + 4 + 12; ++i) {
    s.push_back(0);           //   resolution, colours used and important, then 12 bytes of masks or table
  }
  s.push_back(8);             //   pixel bytes: 2 x 1 x 4
  s.push_back(0);
  for (BYTE b = 1; b <= 8; ++b) {
    s.push_back(b);
  }
  s.insert(s.end(), {0, 0});  //   mask record: empty
  s.insert(s.end(), {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // disabled, hot, checked: two empty records each
  return s;
}

std::vector<BYTE> Store(const std::function<void(CArchive&)>& write)
{
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    write(ar);
    ar.Close();
  }
  return std::vector<BYTE>(file.GetData(), file.GetData() + file.GetLength());
}

// Loads the bytes; "error N" when the archive raised cause N.
std::string Load(std::vector<BYTE> bytes, const std::function<void(CArchive&)>& read)
{
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  try {
    read(ar);
  } catch (CArchiveException* e) {
    const std::string out = "error " + std::to_string(e->m_cause);
    e->Delete();
    ar.Abort();
    return out;
  }
  return "loaded";
}

TEST(ImagePersist, AlphaIconStreamIsTheHandWrittenBytesBothWays)
{
  CTKImageManager manager;
  HBITMAP alpha = MakeTinyAlpha();
  CTKImageManagerIconHandle handle(alpha);
  ASSERT_TRUE(manager.SetIcon(handle, 500, 2));
  CTKImageManagerIcon* pIcon = manager.GetImage(500, 2);
  ASSERT_NE(pIcon, nullptr);
  EXPECT_EQ(Store([&](CArchive& ar) { pIcon->Serialize(ar); }), TinyAlphaIconStream());

  CTKImageManagerIcon loaded(500, 2, nullptr);
  EXPECT_EQ(Load(TinyAlphaIconStream(), [&](CArchive& ar) { loaded.Serialize(ar); }), "loaded");
  EXPECT_EQ(loaded.GetHeight(), 1);
  ASSERT_TRUE(loaded.GetIcon().IsAlpha());
  EXPECT_EQ(ImagePixels(loaded.GetIcon()), (std::vector<std::uint32_t>{0x04030201u, 0x08070605u}));
  EXPECT_TRUE(loaded.GetHotIcon().IsEmpty() || loaded.GetHotIcon().GetBitmap() == loaded.GetIcon().GetBitmap());
  DeleteObject(alpha);
}

TEST(ImagePersist, DamagedRecordsMakeNothingOrRaiseTheArchivesError)
{
  // Offsets into TinyAlphaIconStream.
  constexpr std::size_t kHeight = 0;
  constexpr std::size_t kHeaderCount = 8;
  constexpr std::size_t kHeader = 10;
  constexpr std::size_t kPixelCount = kHeader + 52;
  auto put = [](std::size_t at, std::uint32_t value) {
    return [=](std::vector<BYTE>& s) {
      for (int i = 0; i < 4; ++i) {
        s[at + i] = static_cast<BYTE>(value >> (8 * i));
      }
    };
  };
  struct Case {
    const char* what;
    std::function<void(std::vector<BYTE>&)> change;
    const char* result;  // the load's outcome
    bool image;          // whether a normal image was made
  };
  const Case cases[] = {
      {"as written", [](std::vector<BYTE>&) {}, "loaded", true},
      {"a header shorter than its own fields", [](std::vector<BYTE>& s) { s[kHeaderCount] = 12; }, "error 5", false},
      {"a header size past any colour table",
       [](std::vector<BYTE>& s) {
         s[kHeaderCount] = 0x10;
         s[kHeaderCount + 1] = 0x27;
       },
       "error 5", false},
      {"biSize below a header", put(kHeader, 12), "loaded", false},
      {"biSize past the stored header", put(kHeader, 53), "loaded", false},
      {"no width", put(kHeader + 4, 0), "loaded", false},
      {"a negative width", put(kHeader + 4, 0xFFFFFFFE), "loaded", false},
      {"a width far past an icon", put(kHeader + 4, 100000), "loaded", false},
      {"the most negative height", put(kHeader + 8, 0x80000000), "loaded", false},
      {"a height far past an icon", put(kHeader + 8, 70000), "loaded", false},
      {"a depth of 7 bits", [](std::vector<BYTE>& s) { s[kHeader + 14] = 7; }, "loaded", false},
      {"a compressed bitmap", put(kHeader + 16, 1), "loaded", false},
      {"pixel bytes past an icon's",
       [](std::vector<BYTE>& s) {
         s[kPixelCount] = 0xFF;
         s[kPixelCount + 1] = 0xFF;
         s.insert(s.begin() + kPixelCount + 2, {0xFF, 0xFF, 0xFF, 0x7F});
       },
       "error 5", false},
      {"fewer pixel bytes than the image",
       [](std::vector<BYTE>& s) {
         s[kPixelCount] = 4;
         s.erase(s.begin() + kPixelCount + 6, s.begin() + kPixelCount + 10);
       },
       "loaded", true},
      {"no pixel bytes at all",
       [](std::vector<BYTE>& s) {
         s[kPixelCount] = 0;
         s.erase(s.begin() + kPixelCount + 2, s.begin() + kPixelCount + 10);
       },
       "loaded", true},
      {"cut short inside the pixels", [](std::vector<BYTE>& s) { s.resize(kPixelCount + 5); }, "error 3", false},
      {"an icon height far past an icon", put(kHeight, 0x7FFFFFFF), "error 5", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<BYTE> bytes = TinyAlphaIconStream();
    c.change(bytes);
    CTKImageManagerIcon icon(1, 16, nullptr);
    EXPECT_EQ(Load(bytes, [&](CArchive& ar) { icon.Serialize(ar); }), c.result);
    EXPECT_EQ(!icon.GetIcon().IsEmpty(), c.image);
  }
}

class ImageSets : public ::testing::Test {
public:
  void SetUp() override { app_.SetRegistryKey("Marvesta"); }

  // Two widths of one custom button, each with its four images.
  void FillSet(CTKImageManager& manager, UINT nId)
  {
    for (int width : {16, 24}) {
      const int states[] = {CTKImageManager::kStateNormal, CTKImageManager::kStateDisabled,
                            CTKImageManager::kStateHot, CTKImageManager::kStateChecked};
      for (int state : states) {
        HICON icon = MakePatternIcon(width, width, width + state * 40);
        CTKImageManagerIconHandle handle(icon);
        ASSERT_TRUE(manager.SetIcon(handle, nId, width, 0, state));
        DestroyIcon(icon);
      }
    }
  }

  // Every image of both widths.
  std::vector<std::vector<std::uint32_t>> Images(CTKImageManager& manager, UINT nId)
  {
    std::vector<std::vector<std::uint32_t>> out;
    CTKImageManagerIconSet* pSet = manager.GetIconSet(nId);
    for (UINT width : {16u, 24u}) {
      CTKImageManagerIcon* pIcon = pSet != nullptr ? pSet->GetIcon(width, FALSE) : nullptr;
      if (pIcon == nullptr) {
        out.push_back({});
        continue;
      }
      out.push_back(ImagePixels(pIcon->GetIcon()));
      out.push_back(ImagePixels(pIcon->GetDisabledIcon(FALSE)));
      out.push_back(ImagePixels(pIcon->GetHotIcon()));
      out.push_back(ImagePixels(pIcon->GetCheckedIcon()));
    }
    return out;
  }

  TempFolder folder_;
  ScopedEnv env_{"TESMIRA_PROFILE_DIR", folder_.Path()};
  CWinApp app_{"Tesmira Road"};
};

TEST_F(ImageSets, CopiedSetPastesUnderTheFirstCustomIdWithEveryImage)
{
  CTKImageManager source;
  FillSet(source, 35001);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  source.CopyIconToClipboard(35001);
  CloseClipboard();

  CTKImageManager target;
  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  EXPECT_EQ(target.PasteIconFromClipboard(&data), 68267u);
  const auto images = Images(target, 68267);
  EXPECT_EQ(images, Images(source, 35001));
  for (const auto& image : images) {
    EXPECT_EQ(image.size(), image.size() > 600 ? 24u * 24 * 2 : 16u * 16 * 2);
  }
}

TEST_F(ImageSets, PastingAForeignOrDamagedStreamGivesNothing)
{
  CTKImageManager source;
  FillSet(source, 35001);
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    CTKPropExchangeArchive px(ar);
    source.DoPropExchange(35001, &px);
    ar.Close();
  }
  std::vector<BYTE> good(file.GetData(), file.GetData() + file.GetLength());
  std::vector<BYTE> foreign = good;
  foreign[1] = 'X';  // the check sum's first letter
  std::vector<BYTE> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
  for (const auto& bytes : {foreign, cut}) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    SetClipboardData(TKToolBarImageClipboardFormat(), block);
    CloseClipboard();
    CTKImageManager target;
    COleDataObject data;
    ASSERT_TRUE(data.AttachClipboard());
    EXPECT_EQ(target.PasteIconFromClipboard(&data), 0u);
    EXPECT_EQ(target.GetIconSet(68267), nullptr);
  }
}

TEST_F(ImageSets, ProfileHoldsNoCheckSumAndNoScaledCopies)
{
  CTKImageManager source;
  FillSet(source, 35001);
  ASSERT_NE(source.GetImage(35001, 20), nullptr);  // a scaled copy, made on request

  HKEY app = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Marvesta\\Tesmira Road", 0, nullptr, 0, KEY_ALL_ACCESS,
                           nullptr, &app, nullptr),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  {
    CTKPropExchangeRegistry px(FALSE, app, "Images");
    source.DoPropExchange(&px);
  }
  platform::ProfileStore& store = *app_.GetProfileStore();
  EXPECT_EQ(store.GetProfileInt("Images", "Count", 0), 1u);
  EXPECT_EQ(store.GetProfileInt("Images\\IconSet0", "Id", 0), 35001u);
  std::vector<std::string> names = store.EntryNames("Images\\IconSet0");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Count", "Id"}));
  EXPECT_EQ(store.GetProfileInt("Images\\IconSet0", "Count", 0), 2u);

  CTKImageManager loaded;
  {
    CTKPropExchangeRegistry px(TRUE, app, "Images");
    loaded.DoPropExchange(&px);
  }
  RegCloseKey(app);
  EXPECT_EQ(Images(loaded, 35001), Images(source, 35001));
  // A loaded id beyond the custom ones moves the next custom id past it.
  CTKImageManagerIconHandle handle(MakeTinyAlpha());
  EXPECT_EQ(loaded.AddCustomIcon(handle), 68267u);
  CTKImageManager custom;
  FillSet(custom, 70000);
  std::vector<BYTE> bytes = Store([&](CArchive& ar) { custom.Serialize(ar); });
  CTKImageManager again;
  EXPECT_EQ(Load(bytes, [&](CArchive& ar) { again.Serialize(ar); }), "loaded");
  EXPECT_EQ(again.AddCustomIcon(handle), 70001u);
  DeleteObject(handle.GetBitmap());
}

TEST(ImagePersist, AnOldStreamHasNoCheckedImage)
{
  std::vector<BYTE> bytes = TinyAlphaIconStream();
  bytes[4] = 7;  // schema 7: the checked image's records are not there
  bytes.resize(bytes.size() - 4);
  CTKImageManagerIcon icon(1, 16, nullptr);
  HBITMAP alpha = MakeTinyAlpha();
  icon.SetCheckedIcon(CTKImageManagerIconHandle(alpha));
  EXPECT_EQ(Load(bytes, [&](CArchive& ar) { icon.Serialize(ar); }), "loaded");
  EXPECT_FALSE(icon.GetIcon().IsEmpty());
  EXPECT_TRUE(icon.GetCheckedIcon().IsEmpty() || icon.GetCheckedIcon().GetBitmap() == icon.GetIcon().GetBitmap());
  DeleteObject(alpha);
}

}  // namespace
