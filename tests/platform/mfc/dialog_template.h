// Dialog templates in memory for the dialog tests, laid out as the resource compiler lays them out: the
// header, no menu, the dialog class, the caption, the font, then each item aligned on four bytes with its
// class ordinal and text in UTF-16.
#pragma once

#include "platform/base/codepage.h"
#include "platform/mfc/afxwin.h"
#include "platform/user/user.h"

#include <string>
#include <vector>

namespace mfctest {

inline constexpr WORD kButtonClass = 0x0080;
inline constexpr WORD kEditClass = 0x0081;
inline constexpr WORD kStaticClass = 0x0082;
inline constexpr WORD kListBoxClass = 0x0083;
inline constexpr WORD kComboBoxClass = 0x0085;

class DialogTemplate {
public:
  DialogTemplate(DWORD style, short cx, short cy, const char* caption)
  {
    Dword(style | DS_SETFONT);
    Dword(0);
    countAt_ = bytes_.size();
    Word(0);
    Word(0);
    Word(0);
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(0);  // no menu
    Word(0);  // the dialog class
    String(caption);
    Word(8);
    String("MS Shell Dlg");
  }
  // Items are visible children; `text` is cp1251.
  DialogTemplate& Item(WORD classOrdinal, DWORD style, short x, short y, short cx, short cy, WORD id,
                       const char* text = "")
  {
    while (bytes_.size() % 4 != 0) {
      bytes_.push_back(0);
    }
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    for (short v : {x, y, cx, cy}) {
      Word(static_cast<WORD>(v));
    }
    Word(id);
    Word(0xFFFF);
    Word(classOrdinal);
    String(text);
    Word(0);
    ++bytes_[countAt_];
    return *this;
  }
  const void* Data() const { return bytes_.data(); }

private:
  void Word(WORD w)
  {
    bytes_.push_back(static_cast<BYTE>(w & 0xFF));
    bytes_.push_back(static_cast<BYTE>(w >> 8));
  }
  void Dword(DWORD d)
  {
    Word(static_cast<WORD>(d & 0xFFFF));
    Word(static_cast<WORD>(d >> 16));
  }
  void String(const char* cp1251)
  {
    for (char16_t c : codepage::Cp1251ToUtf16(cp1251)) {
      Word(static_cast<WORD>(c));
    }
    Word(0);
  }
  std::vector<BYTE> bytes_;
  std::size_t countAt_ = 0;
};

// Every message waiting for this thread, offered first to the windows it goes to and their parents, as the
// application's loop offers it (a modeless dialog takes its keys there).
inline void PumpMessages()
{
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    bool taken = false;
    for (HWND hwnd = msg.hwnd; hwnd != nullptr && !taken; hwnd = ::GetParent(hwnd)) {
      CWnd* pWnd = CWnd::FromHandlePermanent(hwnd);
      taken = pWnd != nullptr && pWnd->PreTranslateMessage(&msg);
    }
    if (!taken) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }
}

}  // namespace mfctest
