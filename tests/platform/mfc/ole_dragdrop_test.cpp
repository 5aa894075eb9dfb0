// OLE drag and drop inside the program: a drag from one window dropped on another, driven by injected mouse and
// keys; the target's answers and the cursor they give; the data arriving through global memory; cancelling;
// windows that take no drops; and the shared memory file and the clipboard as a data object.
#include "tests/platform/mfc/dialog_template.h"

#include "platform/com/combase.h"
#include "platform/mfc/afxole.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace mfctest;

// A lamp record as it travels: two header bytes, a name with its terminating zero, and a trailing 0xFF.
const std::string kLampRecord("\x01\x02" "ЖКУ-250\0\xFF", 11);

std::vector<std::string>& Log()
{
  static std::vector<std::string> log;
  return log;
}

std::string At(CPoint p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }

class CLampTarget : public COleDropTarget {
public:
  explicit CLampTarget(CLIPFORMAT format) : format_(format) {}
  std::string received;

  DROPEFFECT OnDragEnter(CWnd*, COleDataObject* pData, DWORD dwKeyState, CPoint point) override
  {
    Log().push_back("enter " + At(point));
    return Answer(pData, dwKeyState);
  }
  DROPEFFECT OnDragOver(CWnd*, COleDataObject* pData, DWORD dwKeyState, CPoint point) override
  {
    Log().push_back("over " + At(point));
    return Answer(pData, dwKeyState);
  }
  void OnDragLeave(CWnd*) override { Log().push_back("leave"); }
  BOOL OnDrop(CWnd*, COleDataObject* pData, DROPEFFECT dropEffect, CPoint point) override
  {
    Log().push_back("drop " + At(point) + (dropEffect == DROPEFFECT_COPY ? " copy" : " move"));
    CFile* file = pData->GetFileData(format_);
    if (file == nullptr) {
      return FALSE;
    }
    received.resize(static_cast<std::size_t>(file->GetLength()));
    file->Read(received.data(), static_cast<UINT>(received.size()));
    delete file;
    return TRUE;
  }

private:
  // Control held copies, else the lamp moves; anything but a lamp record is refused.
  DROPEFFECT Answer(COleDataObject* pData, DWORD dwKeyState) const
  {
    if (!pData->IsDataAvailable(format_)) {
      return DROPEFFECT_NONE;
    }
    return (dwKeyState & MK_CONTROL) != 0 ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
  }
  CLIPFORMAT format_;
};

// The default drop decisions, with what the user saw on the way. The user's next move is made each time the
// loop asks whether to go on, as the mouse moves between its looks at the queue.
class CScriptedSource : public COleDropSource {
public:
  std::vector<std::function<void()>> script;
  std::vector<std::string> seen;
  bool noDropCursorShown = false;

  SCODE GiveFeedback(DROPEFFECT dropEffect) override
  {
    seen.push_back(dropEffect == DROPEFFECT_NONE ? "none" : dropEffect == DROPEFFECT_COPY ? "copy" : "move");
    return COleDropSource::GiveFeedback(dropEffect);
  }
  SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) override
  {
    if (!seen.empty() && seen.back() == "none") {
      noDropCursorShown = noDropCursorShown || ::GetCursor() == ::LoadCursor(nullptr, IDC_NO);
    }
    const SCODE go = COleDropSource::QueryContinueDrag(bEscapePressed, dwKeyState);
    if (go == S_OK && next_ < script.size()) {
      script[next_++]();
    }
    return go;
  }

private:
  std::size_t next_ = 0;
};

std::function<void()> MoveTo(POINT p)
{
  return [p] { user::InjectMouseMove(p); };
}
std::function<void()> Release()
{
  return [] { user::InjectMouseButton(VK_LBUTTON, false); };
}
std::function<void()> Key(UINT vk, bool down)
{
  return [vk, down] { user::InjectKey(vk, down); };
}

class OleDragDropTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    Log().clear();
    ASSERT_TRUE(AfxOleInit());
    format_ = static_cast<CLIPFORMAT>(::RegisterClipboardFormat("Tesmira Lamp Record"));
    for (auto [wnd, left] : {std::pair{&source_, 0}, std::pair{&target_, 250}, std::pair{&plain_, 500}}) {
      ASSERT_TRUE(wnd->CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, left, 0, 200, 200, nullptr, nullptr));
    }
    dropTarget_ = std::make_unique<CLampTarget>(format_);
    ASSERT_TRUE(dropTarget_->Register(&target_));
    ::SetActiveWindow(source_);
    ::SetFocus(source_);
    PumpMessages();
  }
  void TearDown() override
  {
    dropTarget_.reset();
    for (CWnd* wnd : {&source_, &target_, &plain_}) {
      wnd->DestroyWindow();
    }
    PumpMessages();
    OleUninitialize();
  }

  // The data source holding one lamp record, written through a shared file.
  void Offer(COleDataSource& data)
  {
    CSharedFile file;
    file.Write(kLampRecord.data(), static_cast<UINT>(kLampRecord.size()));
    data.CacheGlobalData(format_, file.Detach());
  }
  // The button pressed on the source, as a drag starts.
  static void PressAt(POINT p)
  {
    user::InjectMouseMove(p);
    user::InjectMouseButton(VK_LBUTTON, true);
    PumpMessages();
  }

  CLIPFORMAT format_ = 0;
  CWnd source_;
  CWnd target_;
  CWnd plain_;
  std::unique_ptr<CLampTarget> dropTarget_;
};

TEST_F(OleDragDropTest, ADropOnTheTargetDeliversTheDataWithTheEffectItAnswered)
{
  COleDataSource data;
  Offer(data);
  CScriptedSource watcher;
  watcher.script = {MoveTo({300, 50}), MoveTo({310, 60}), Release()};
  PressAt(POINT{100, 100});
  EXPECT_EQ(DROPEFFECT_MOVE, data.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, &watcher));
  // The release is a change of keys: one more look before the drop.
  EXPECT_EQ((std::vector<std::string>{"enter (50,50)", "over (60,60)", "over (60,60)", "drop (60,60) move"}),
            Log());
  EXPECT_EQ(kLampRecord, dropTarget_->received);
  EXPECT_EQ((std::vector<std::string>{"none", "move", "move", "move"}), watcher.seen);
  EXPECT_TRUE(watcher.noDropCursorShown) << "over the source, which takes no drops";

  // Control held on release copies instead.
  Log().clear();
  CScriptedSource copier;
  copier.script = {MoveTo({300, 50}), Key(VK_CONTROL, true), Release()};
  PressAt(POINT{100, 100});
  EXPECT_EQ(DROPEFFECT_COPY, data.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, &copier));
  EXPECT_EQ((std::vector<std::string>{"none", "move", "copy", "copy"}), copier.seen);
  ASSERT_FALSE(Log().empty());
  EXPECT_EQ("drop (50,50) copy", Log().back());
  user::InjectKey(VK_CONTROL, false);
  PumpMessages();
}

TEST_F(OleDragDropTest, EscapeCancelsAndTheTargetIsLeft)
{
  COleDataSource data;
  Offer(data);
  CScriptedSource source;
  source.script = {MoveTo({300, 50}), [] { user::InjectKeyPress(VK_ESCAPE); }};
  PressAt(POINT{100, 100});
  LPDATAOBJECT object = data.GetDataObject();
  DWORD effect = DROPEFFECT_MOVE;
  EXPECT_EQ(DRAGDROP_S_CANCEL, ::DoDragDrop(object, source.GetInterface(), DROPEFFECT_MOVE, &effect));
  object->Release();
  EXPECT_EQ(DROPEFFECT_NONE, effect);
  EXPECT_EQ((std::vector<std::string>{"enter (50,50)", "leave"}), Log());
  EXPECT_TRUE(dropTarget_->received.empty());
  EXPECT_EQ(nullptr, ::GetCapture());
  user::InjectMouseButton(VK_LBUTTON, false);
  PumpMessages();
}

TEST_F(OleDragDropTest, WindowsThatTakeNoDropsOrDataTheTargetRefusesGiveNoEffect)
{
  COleDataSource data;
  Offer(data);
  CScriptedSource source;
  source.script = {MoveTo({300, 50}), MoveTo({600, 50}), Release()};
  // Across the target onto a window without a target: the target is entered and left, nothing dropped.
  PressAt(POINT{100, 100});
  LPDATAOBJECT object = data.GetDataObject();
  DWORD effect = DROPEFFECT_MOVE;
  EXPECT_EQ(DRAGDROP_S_DROP, ::DoDragDrop(object, source.GetInterface(), DROPEFFECT_MOVE, &effect));
  object->Release();
  EXPECT_EQ(DROPEFFECT_NONE, effect);
  EXPECT_EQ((std::vector<std::string>{"enter (50,50)", "leave"}), Log());

  // Data of another kind: the target answers none, and a release over it drops nothing there.
  Log().clear();
  COleDataSource other;
  CSharedFile text;
  text.Write("текст", 5);
  other.CacheGlobalData(CF_TEXT, text.Detach());
  CScriptedSource refused;
  refused.script = {MoveTo({300, 50}), Release()};
  PressAt(POINT{100, 100});
  EXPECT_EQ(DROPEFFECT_NONE, other.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, &refused));
  EXPECT_EQ((std::vector<std::string>{"enter (50,50)", "over (50,50)", "leave"}), Log());
  PumpMessages();
}

TEST_F(OleDragDropTest, RegistrationIsOnePerWindowAndNeedsOle)
{
  CLampTarget second(format_);
  EXPECT_FALSE(second.Register(&target_)) << "already registered";
  EXPECT_TRUE(second.Register(&plain_));
  second.Revoke();
  EXPECT_EQ(DRAGDROP_E_NOTREGISTERED, ::RevokeDragDrop(plain_));
  HRESULT elsewhere = S_OK;
  std::thread([&] { elsewhere = ::RegisterDragDrop(plain_, nullptr); }).join();
  EXPECT_EQ(E_OUTOFMEMORY, elsewhere) << "a thread without OleInitialize";
}

TEST(SharedFile, HandsItsBytesOverAsOneBlockAndTakesOneBack)
{
  CSharedFile file;
  file.Write(kLampRecord.data(), static_cast<UINT>(kLampRecord.size()));
  HGLOBAL block = file.Detach();
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(0u, file.GetLength());
  ASSERT_EQ(kLampRecord.size(), ::GlobalSize(block));
  const auto* bytes = static_cast<const char*>(::GlobalLock(block));
  EXPECT_EQ(0, std::memcmp(bytes, "\x01\x02\xC6\xCA\xD3-250\0\xFF", kLampRecord.size())) << "bytes as written";
  ::GlobalUnlock(block);

  // Taken back without growing: read from the start, and writing past the end refused.
  CSharedFile reader;
  reader.SetHandle(block, FALSE);
  char first[3] = {};
  EXPECT_EQ(2u, reader.Read(first, 2));
  EXPECT_EQ(0x01, first[0]);
  reader.Seek(0, CFile::end);
  bool refused = false;
  try {
    reader.Write("x", 1);
  } catch (CMemoryException* e) {
    e->Delete();
    refused = true;
  }
  EXPECT_TRUE(refused);
  // The block goes with the file.
}

TEST(ClipboardDataObject, OffersWhatTheClipboardHoldsAsCopies)
{
  ASSERT_TRUE(AfxOleInit());
  const auto format = static_cast<CLIPFORMAT>(::RegisterClipboardFormat("Tesmira Lamp Record"));
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, kLampRecord.size());
  std::memcpy(::GlobalLock(block), kLampRecord.data(), kLampRecord.size());
  ::GlobalUnlock(block);
  ::SetClipboardData(format, block);
  ::SetClipboardData(CF_BITMAP, ::CreateBitmap(4, 3, 1, 32, nullptr));
  ::CloseClipboard();

  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  EXPECT_TRUE(data.IsDataAvailable(format));
  EXPECT_TRUE(data.IsDataAvailable(CF_BITMAP));
  EXPECT_FALSE(data.IsDataAvailable(CF_TEXT));
  EXPECT_EQ(nullptr, data.GetGlobalData(CF_TEXT));
  CFile* file = data.GetFileData(format);
  ASSERT_NE(nullptr, file);
  std::string read(static_cast<std::size_t>(file->GetLength()), '\0');
  file->Read(read.data(), static_cast<UINT>(read.size()));
  delete file;
  EXPECT_EQ(kLampRecord, read);
  STGMEDIUM medium;
  ASSERT_TRUE(data.GetData(CF_BITMAP, &medium));
  EXPECT_EQ(static_cast<DWORD>(TYMED_GDI), medium.tymed);
  BITMAP bm{};
  ::GetObject(medium.hBitmap, sizeof bm, &bm);
  EXPECT_EQ(4, bm.bmWidth);
  ReleaseStgMedium(&medium);
  std::vector<CLIPFORMAT> formats;
  data.BeginEnumFormats();
  FORMATETC fe;
  while (data.GetNextFormat(&fe)) {
    formats.push_back(fe.cfFormat);
  }
  EXPECT_EQ((std::vector<CLIPFORMAT>{format, CF_BITMAP}), formats);
  data.Release();
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::CloseClipboard();
  OleUninitialize();
}

}  // namespace
