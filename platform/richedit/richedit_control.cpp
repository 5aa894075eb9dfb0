#include "platform/richedit/richedit_control.h"

#include "platform/base/module.h"
#include "platform/base/syserror.h"
#include "platform/richedit/rtf_reader.h"
#include "platform/richedit/rtf_writer.h"
#include "platform/user/controls_common.h"
#include "platform/user/global_memory.h"
#include "platform/user/msgbox.h"
#include "platform/user/system.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace richedit {

namespace {

// The screen's resolution that twips are shown at before the zoom.
constexpr double kScreenDpi = 96.0;
// Text typed into a fresh control may be this long (the rich edit's documented default).
constexpr long kDefaultTextLimit = 32767;
constexpr UINT kStreamChunk = 4096;
// Control+wheel changes the zoom by a tenth per notch, between these percentages.
constexpr int kWheelZoomStep = 10;
constexpr int kMinWheelZoom = 10;
constexpr int kMaxWheelZoom = 500;
constexpr DWORD kStreamWriteFault = 29;  // ERROR_WRITE_FAULT: the callback took nothing
constexpr DWORD kStreamBadData = 13;     // ERROR_INVALID_DATA: the RTF had a fault; what came before it is shown

enum class WrapMode { Window, None, Width };

struct State {
  RichDocument document;
  FontMetricsCache fonts;
  std::optional<Layout> layout;
  long layoutKey = -1;  // the wrap width the layout was built for
  bool dirty = true;

  // The selection: the anchor stays, the active end moves.
  long anchor = 0;
  long active = 0;

  int zoomNumerator = 0;
  int zoomDenominator = 0;
  bool systemBackground = true;
  COLORREF background = RGB(255, 255, 255);
  DWORD eventMask = 0;
  DWORD options = 0;  // ECO_*
  long textLimit = kDefaultTextLimit;
  bool plainText = false;
  bool hideSelection = false;
  bool focused = false;
  int caretHeight = 0;  // pixels of the caret made for the focus; 0 when none
  bool modified = false;
  bool dragging = false;
  WrapMode wrap = WrapMode::Window;
  long wrapWidth = 0;  // twips, for WrapMode::Width
  int leftMargin = 1;  // pixels
  int rightMargin = 1;
  CharFormat defaultFormat;

  int xPos = 0;  // scroll position, pixels
  int yPos = 0;

  // EM_FORMATRANGE's layouts, kept between pages of one print: the text, and the header and footer each as a
  // document of their own.
  std::unique_ptr<Layout> printLayout;
  long printWidth = -1;
  std::unique_ptr<RichDocument> header;
  std::unique_ptr<RichDocument> footer;
  std::unique_ptr<Layout> headerLayout;
  std::unique_ptr<Layout> footerLayout;

  long SelMin() const { return std::min(anchor, active); }
  long SelMax() const { return std::max(anchor, active); }
  bool ReadOnly() const { return (options & ECO_READONLY) != 0; }
};

State* StateOf(HWND hwnd) { return user::detail::ControlState<State>(hwnd); }

double Zoom(const State& s)
{
  return s.zoomNumerator > 0 && s.zoomDenominator > 0
             ? static_cast<double>(s.zoomNumerator) / s.zoomDenominator
             : 1.0;
}

// Screen pixels per twip at the control's zoom.
double PixelsPerTwip(const State& s) { return kScreenDpi / kTwipsPerInch * Zoom(s); }

RECT TextArea(HWND hwnd, const State& s)
{
  RECT r{};
  GetClientRect(hwnd, &r);
  r.left += s.leftMargin;
  r.right = std::max(r.left, r.right - s.rightMargin);
  return r;
}

void Invalidate(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

void FreePrintLayouts(State& s)
{
  s.printLayout.reset();
  s.printWidth = -1;
  s.headerLayout.reset();
  s.footerLayout.reset();
  s.header.reset();
  s.footer.reset();
}

void DocumentChanged(State& s)
{
  s.dirty = true;
  FreePrintLayouts(s);
}

const Layout& CurrentLayout(HWND hwnd, State& s)
{
  const RECT area = TextArea(hwnd, s);
  const double ppt = PixelsPerTwip(s);
  const long areaTwips = std::max(1L, std::lround(area.Width() / ppt));
  long width = kNoWrap;
  if (s.wrap == WrapMode::Window) {
    width = areaTwips;
  } else if (s.wrap == WrapMode::Width) {
    width = std::max(1L, s.wrapWidth);
  }
  const long key = width == kNoWrap ? -areaTwips : width;
  if (s.dirty || !s.layout || s.layoutKey != key) {
    s.layout = Layout::Build(s.document, s.fonts, width, areaTwips);
    s.layoutKey = key;
    s.dirty = false;
  }
  return *s.layout;
}

int DocumentHeightPixels(HWND hwnd, State& s)
{
  return static_cast<int>(std::lround(CurrentLayout(hwnd, s).Height() * PixelsPerTwip(s)));
}

int DocumentWidthPixels(HWND hwnd, State& s)
{
  return static_cast<int>(std::lround(CurrentLayout(hwnd, s).ContentWidth() * PixelsPerTwip(s))) + s.leftMargin +
         s.rightMargin;
}

void UpdateScrollBars(HWND hwnd, State& s)
{
  RECT client{};
  GetClientRect(hwnd, &client);
  const int height = DocumentHeightPixels(hwnd, s);
  const int width = DocumentWidthPixels(hwnd, s);
  s.yPos = std::clamp(s.yPos, 0, std::max(0, height - client.Height()));
  s.xPos = std::clamp(s.xPos, 0, std::max(0, width - client.Width()));
  const LONG style = GetWindowLong(hwnd, GWL_STYLE);
  if (style & WS_VSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = std::max(0, height - 1);
    si.nPage = static_cast<UINT>(std::max(0, client.Height()));
    si.nPos = s.yPos;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  }
  if (style & WS_HSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = std::max(0, width - 1);
    si.nPage = static_cast<UINT>(std::max(0, client.Width()));
    si.nPos = s.xPos;
    SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
  }
}

void PlaceCaret(HWND hwnd, State& s);

void ScrollTo(HWND hwnd, State& s, int x, int y)
{
  const int oldX = s.xPos;
  const int oldY = s.yPos;
  s.xPos = x;
  s.yPos = y;
  UpdateScrollBars(hwnd, s);
  if (s.xPos != oldX || s.yPos != oldY) {
    Invalidate(hwnd);
    PlaceCaret(hwnd, s);
  }
}

void Notify(HWND hwnd, State& s, UINT code, NMHDR* header)
{
  HWND parent = GetParent(hwnd);
  if (parent == nullptr) {
    return;
  }
  header->hwndFrom = hwnd;
  header->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
  header->code = code;
  (void)s;
  SendMessage(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

void SelectionChanged(HWND hwnd, State& s)
{
  Invalidate(hwnd);
  PlaceCaret(hwnd, s);
  if (s.eventMask & ENM_SELCHANGE) {
    SELCHANGE sc{};
    sc.chrg = CHARRANGE{static_cast<LONG>(s.SelMin()), static_cast<LONG>(s.SelMax())};
    sc.seltyp = static_cast<WORD>(s.SelMin() == s.SelMax() ? SEL_EMPTY
                                                           : (s.SelMax() - s.SelMin() > 1 ? SEL_TEXT | SEL_MULTICHAR
                                                                                          : SEL_TEXT));
    Notify(hwnd, s, EN_SELCHANGE, &sc.nmhdr);
  }
}

void TextChanged(HWND hwnd, State& s)
{
  DocumentChanged(s);
  s.modified = true;
  UpdateScrollBars(hwnd, s);
  Invalidate(hwnd);
  if (s.eventMask & ENM_CHANGE) {
    user::detail::NotifyParent(hwnd, EN_CHANGE);
  }
}

// The same text shown at another size or width.
void LayoutChanged(HWND hwnd, State& s)
{
  DocumentChanged(s);
  UpdateScrollBars(hwnd, s);
  Invalidate(hwnd);
  s.caretHeight = 0;
  PlaceCaret(hwnd, s);
}

void SetSelection(HWND hwnd, State& s, long anchor, long active)
{
  const long length = s.document.Length();
  anchor = std::clamp(anchor, 0L, length);
  active = std::clamp(active, 0L, length);
  if (anchor == s.anchor && active == s.active) {
    return;
  }
  s.anchor = anchor;
  s.active = active;
  SelectionChanged(hwnd, s);
}

// Where a character is shown, in client pixels.
POINT ClientPointOfChar(HWND hwnd, State& s, long cp)
{
  const POINT p = CurrentLayout(hwnd, s).PointFromChar(cp);
  const double ppt = PixelsPerTwip(s);
  return POINT{static_cast<LONG>(s.leftMargin - s.xPos + std::lround(p.x * ppt)),
               static_cast<LONG>(-s.yPos + std::lround(p.y * ppt))};
}

long CharAtClientPoint(HWND hwnd, State& s, POINT p)
{
  const double ppt = PixelsPerTwip(s);
  return CurrentLayout(hwnd, s).CharFromPoint(std::lround((p.x - s.leftMargin + s.xPos) / ppt),
                                               std::lround((p.y + s.yPos) / ppt));
}

// The caret stands before the active character, as tall as its line, while the control has the focus and
// nothing is selected.
void PlaceCaret(HWND hwnd, State& s)
{
  if (!s.focused) {
    return;
  }
  const Layout& layout = CurrentLayout(hwnd, s);
  const Band& band = layout.Bands()[static_cast<size_t>(layout.LineFromChar(s.active))];
  long lineHeight = band.height;
  for (const LayoutLine& line : band.lines) {
    if (s.active >= line.cpFirst && s.active < std::max(line.cpLim, line.cpFirst + 1)) {
      lineHeight = line.height;
      break;
    }
  }
  const int height = std::max(1, static_cast<int>(std::lround(lineHeight * PixelsPerTwip(s))));
  if (height != s.caretHeight) {
    CreateCaret(hwnd, nullptr, 1, height);
    s.caretHeight = height;
  }
  const POINT at = ClientPointOfChar(hwnd, s, s.active);
  SetCaretPos(at.x, at.y);
  if (s.anchor == s.active) {
    ShowCaret(hwnd);
  } else {
    HideCaret(hwnd);
  }
}

void ScrollCaretIntoView(HWND hwnd, State& s)
{
  const Layout& layout = CurrentLayout(hwnd, s);
  const double ppt = PixelsPerTwip(s);
  const Band& band = layout.Bands()[static_cast<size_t>(layout.LineFromChar(s.active))];
  const int top = static_cast<int>(std::lround(band.top * ppt));
  const int bottom = static_cast<int>(std::lround((band.top + band.height) * ppt));
  const POINT at = layout.PointFromChar(s.active);
  const int x = static_cast<int>(std::lround(at.x * ppt));
  RECT client{};
  GetClientRect(hwnd, &client);
  int y = s.yPos;
  if (top < y) {
    y = top;
  } else if (bottom > y + client.Height()) {
    y = bottom - client.Height();
  }
  int xs = s.xPos;
  const int visible = client.Width() - s.leftMargin - s.rightMargin;
  if (x < xs) {
    xs = x;
  } else if (x > xs + visible) {
    xs = x - visible;
  }
  ScrollTo(hwnd, s, xs, y);
}

// ---------------------------------------------------------------------------------------------------------------
// Streams

std::string RtfOf(const RichDocument& document) { return WriteRtf(document); }

long StreamIn(HWND hwnd, State& s, UINT format, EDITSTREAM* stream)
{
  if (stream == nullptr || stream->pfnCallback == nullptr) {
    return 0;
  }
  stream->dwError = 0;
  std::string bytes;
  std::vector<BYTE> chunk(kStreamChunk);
  while (true) {
    LONG got = 0;
    const DWORD error = stream->pfnCallback(stream->dwCookie, chunk.data(), static_cast<LONG>(chunk.size()), &got);
    if (error != 0) {
      // What came before the failure is still shown: nothing the reader had is thrown away.
      stream->dwError = error;
      break;
    }
    if (got <= 0) {
      break;
    }
    bytes.append(reinterpret_cast<const char*>(chunk.data()), static_cast<size_t>(std::min<LONG>(got, kStreamChunk)));
  }
  const bool selection = (format & SFF_SELECTION) != 0;
  RichDocument piece;
  bool asText = (format & 0xFF) == SF_TEXT || s.plainText;
  if (!asText) {
    const RtfReadResult result = ReadRtf(bytes, piece);
    if (result.error == RtfError::NotRtf) {
      asText = true;  // text that is not RTF comes in as it is
    } else if (!result.Ok() && stream->dwError == 0) {
      stream->dwError = kStreamBadData;
    }
  }
  if (asText) {
    piece = DocumentFromPlainText(bytes, s.defaultFormat);
  }
  const long read = piece.Length();
  if (selection) {
    const long end = s.document.Replace(s.SelMin(), s.SelMax(), piece);
    s.anchor = s.active = end;
  } else {
    s.document = std::move(piece);
    s.anchor = s.active = 0;
    s.xPos = s.yPos = 0;
  }
  TextChanged(hwnd, s);
  s.modified = false;
  SelectionChanged(hwnd, s);
  return read;
}

long StreamOut(State& s, UINT format, EDITSTREAM* stream)
{
  if (stream == nullptr || stream->pfnCallback == nullptr) {
    return 0;
  }
  stream->dwError = 0;
  const bool selection = (format & SFF_SELECTION) != 0;
  const RichDocument part = selection ? s.document.Slice(s.SelMin(), s.SelMax()) : RichDocument();
  const RichDocument& source = selection ? part : s.document;
  std::string bytes = (format & 0xFF) == SF_TEXT ? source.PlainText() : RtfOf(source);
  size_t done = 0;
  while (done < bytes.size()) {
    const LONG want = static_cast<LONG>(std::min<size_t>(kStreamChunk, bytes.size() - done));
    LONG took = 0;
    const DWORD error =
        stream->pfnCallback(stream->dwCookie, reinterpret_cast<LPBYTE>(bytes.data() + done), want, &took);
    if (error != 0) {
      stream->dwError = error;
      break;
    }
    if (took <= 0) {
      stream->dwError = kStreamWriteFault;
      break;
    }
    done += static_cast<size_t>(std::min(took, want));
  }
  return static_cast<long>(done);
}

// ---------------------------------------------------------------------------------------------------------------
// Clipboard

bool PutOnClipboard(UINT format, const std::string& bytes)
{
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
  if (memory == nullptr) {
    return false;
  }
  auto* p = static_cast<char*>(GlobalLock(memory));
  std::memcpy(p, bytes.data(), bytes.size());
  p[bytes.size()] = '\0';
  GlobalUnlock(memory);
  if (SetClipboardData(format, memory) == nullptr) {
    GlobalFree(memory);
    return false;
  }
  return true;
}

void Copy(HWND hwnd, State& s)
{
  if (s.SelMin() == s.SelMax()) {
    return;
  }
  const RichDocument part = s.document.Slice(s.SelMin(), s.SelMax());
  if (!OpenClipboard(hwnd)) {
    return;
  }
  EmptyClipboard();
  PutOnClipboard(CF_TEXT, part.PlainText());
  PutOnClipboard(RegisterClipboardFormat("Rich Text Format"), RtfOf(part));
  CloseClipboard();
}

// Replaces the selection by `piece` as the user's edit: refused when read-only or beyond the text limit.
bool EditSelection(HWND hwnd, State& s, const RichDocument& piece, bool byUser)
{
  if (byUser && s.ReadOnly()) {
    MessageBeep(0);
    return false;
  }
  if (byUser && s.document.Length() - (s.SelMax() - s.SelMin()) + piece.Length() > s.textLimit) {
    MessageBeep(0);
    return false;
  }
  const long end = s.document.Replace(s.SelMin(), s.SelMax(), piece);
  s.anchor = s.active = end;
  TextChanged(hwnd, s);
  SelectionChanged(hwnd, s);
  return true;
}

void Paste(HWND hwnd, State& s)
{
  if (s.ReadOnly() || !OpenClipboard(hwnd)) {
    return;
  }
  RichDocument piece;
  bool have = false;
  const UINT rtfFormat = RegisterClipboardFormat("Rich Text Format");
  if (!s.plainText && IsClipboardFormatAvailable(rtfFormat)) {
    if (HANDLE data = GetClipboardData(rtfFormat)) {
      const auto* p = static_cast<const char*>(GlobalLock(data));
      have = p != nullptr && ReadRtf(std::string_view(p, strnlen(p, GlobalSize(data))), piece).error != RtfError::NotRtf;
      GlobalUnlock(data);
    }
  }
  if (!have && IsClipboardFormatAvailable(CF_TEXT)) {
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      const auto* p = static_cast<const char*>(GlobalLock(data));
      if (p != nullptr) {
        piece = DocumentFromPlainText(std::string_view(p, strnlen(p, GlobalSize(data))), s.defaultFormat);
        have = true;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  if (have) {
    EditSelection(hwnd, s, piece, true);
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Printing

// Where a header's top and a footer's bottom stand from the paper's edge (RTF's \headery and \footery default).
constexpr long kHeaderDistance = 720;

// The document's header or footer as a document of its own, to be laid out like the text.
std::unique_ptr<RichDocument> PartDocument(const RichDocument& document, const std::vector<Block>& blocks)
{
  if (blocks.empty()) {
    return nullptr;
  }
  auto part = std::make_unique<RichDocument>();
  part->fonts = document.fonts;
  part->colors = document.colors;
  part->defaultFont = document.defaultFont;
  part->blocks = blocks;
  part->Normalize();
  return part;
}

// Header and footer of a printed page, in the page's margins above and below the text.
void PaintHeaderAndFooter(State& s, HDC dc, const FORMATRANGE& range, double unitsX, double unitsY)
{
  const long width = std::max(1L, static_cast<long>(range.rc.right - range.rc.left));
  if (!s.header && !s.footer) {
    s.header = PartDocument(s.document, s.document.header);
    s.footer = PartDocument(s.document, s.document.footer);
  }
  if (s.header && !s.headerLayout) {
    s.headerLayout = std::make_unique<Layout>(Layout::Build(*s.header, s.fonts, width, width));
  }
  if (s.footer && !s.footerLayout) {
    s.footerLayout = std::make_unique<Layout>(Layout::Build(*s.footer, s.fonts, width, width));
  }
  const long paperTop = range.rcPage.bottom > range.rcPage.top ? range.rcPage.top : 0;
  const long paperBottom = range.rcPage.bottom > range.rcPage.top ? range.rcPage.bottom : range.rc.bottom;
  auto paint = [&](const Layout& layout, const RichDocument& part, long top) {
    const POINT at{static_cast<LONG>(std::lround(range.rc.left * unitsX)), static_cast<LONG>(std::lround(top * unitsY))};
    layout.Paint(dc, part, 0, layout.Bands().size(), 0, 0, at, unitsX, unitsY, PaintOptions{});
  };
  if (s.headerLayout) {
    paint(*s.headerLayout, *s.header, paperTop + kHeaderDistance);
  }
  if (s.footerLayout) {
    paint(*s.footerLayout, *s.footer, paperBottom - kHeaderDistance - s.footerLayout->Height());
  }
}

LRESULT FormatRange(State& s, bool render, FORMATRANGE* range)
{
  if (range == nullptr) {
    FreePrintLayouts(s);
    return 0;
  }
  const long length = s.document.Length();
  const long cpMin = std::max(0L, static_cast<long>(range->chrg.cpMin));
  if (cpMin >= length && length > 0) {
    return length;
  }
  const long width = std::max(1L, static_cast<long>(range->rc.right - range->rc.left));
  const long height = std::max(1L, static_cast<long>(range->rc.bottom - range->rc.top));
  if (!s.printLayout || s.printWidth != width) {
    s.printLayout = std::make_unique<Layout>(Layout::Build(s.document, s.fonts, width, width));
    s.printWidth = width;
    s.headerLayout.reset();
    s.footerLayout.reset();
  }
  const Layout& layout = *s.printLayout;
  const Layout::Page page = layout.PageFrom(cpMin, height, range->chrg.cpMax < 0 ? -1 : range->chrg.cpMax);
  const Band& first = layout.Bands()[page.firstBand];
  const long used = page.endBand > page.firstBand
                        ? layout.Bands()[page.endBand - 1].top + layout.Bands()[page.endBand - 1].height - first.top
                        : 0;
  if (render && range->hdc != nullptr) {
    HDC dc = range->hdc;
    const double unitsX = GetDeviceCaps(dc, LOGPIXELSX) / static_cast<double>(kTwipsPerInch);
    const double unitsY = GetDeviceCaps(dc, LOGPIXELSY) / static_cast<double>(kTwipsPerInch);
    const POINT at{static_cast<LONG>(std::lround(range->rc.left * unitsX)),
                   static_cast<LONG>(std::lround(range->rc.top * unitsY))};
    // Clipped to the text's height; sideways to the paper, since a table may stand out into the margin
    // (Word's \trleft-108 puts the cell borders left of the text).
    const bool paper = range->rcPage.right > range->rcPage.left;
    const long clipLeft = paper ? std::min(range->rc.left, range->rcPage.left) : range->rc.left;
    const long clipRight = paper ? std::max(range->rc.right, range->rcPage.right) : range->rc.right;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, static_cast<int>(std::lround(clipLeft * unitsX)), at.y,
                      static_cast<int>(std::lround(clipRight * unitsX)),
                      static_cast<int>(std::lround(range->rc.bottom * unitsY)));
    layout.Paint(dc, s.document, page.firstBand, page.endBand, 0, first.top, at, unitsX, unitsY, PaintOptions{});
    RestoreDC(dc, saved);
    if (!s.document.header.empty() || !s.document.footer.empty()) {
      PaintHeaderAndFooter(s, dc, *range, unitsX, unitsY);
    }
  }
  range->rc.bottom = static_cast<LONG>(range->rc.top + std::min(height, used));
  return page.cpNext;
}

// ---------------------------------------------------------------------------------------------------------------
// Painting

void PaintControl(HWND hwnd, State& s, HDC dc)
{
  RECT client{};
  GetClientRect(hwnd, &client);
  const COLORREF background = s.systemBackground ? GetSysColor(COLOR_WINDOW) : s.background;
  HBRUSH brush = CreateSolidBrush(background);
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  const Layout& layout = CurrentLayout(hwnd, s);
  const double ppt = PixelsPerTwip(s);
  const long topTwips = std::lround(s.yPos / ppt);
  const long bottomTwips = std::lround((s.yPos + client.Height()) / ppt);
  const size_t first = static_cast<size_t>(layout.LineFromY(topTwips));
  const size_t end = static_cast<size_t>(layout.LineFromY(bottomTwips)) + 1;
  PaintOptions options;
  const bool showSelection = !s.hideSelection && (s.focused || (s.options & ECO_NOHIDESEL));
  if (showSelection) {
    options.selectionMin = s.SelMin();
    options.selectionMax = s.SelMax();
  }
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
  layout.Paint(dc, s.document, first, end, 0, 0, POINT{static_cast<LONG>(s.leftMargin - s.xPos), -s.yPos}, ppt,
               ppt, options);
  RestoreDC(dc, saved);
}

// ---------------------------------------------------------------------------------------------------------------
// Keyboard and mouse

bool IsWordChar(char c)
{
  const auto u = static_cast<unsigned char>(c);
  return std::isalnum(u) || u >= 0xC0 || u == 0xA8 || u == 0xB8 || u == '_';
}

void SelectWord(HWND hwnd, State& s, long cp)
{
  const std::string text = s.document.GetText();
  const long length = static_cast<long>(text.size());
  cp = std::clamp(cp, 0L, length);
  long from = cp;
  long to = cp;
  if (cp < length && IsWordChar(text[static_cast<size_t>(cp)])) {
    while (from > 0 && IsWordChar(text[static_cast<size_t>(from - 1)])) {
      --from;
    }
    while (to < length && IsWordChar(text[static_cast<size_t>(to)])) {
      ++to;
    }
    // The spaces after a word go with it, as a double-click takes them.
    while (to < length && text[static_cast<size_t>(to)] == ' ') {
      ++to;
    }
  } else if (cp < length) {
    to = cp + 1;
  }
  SetSelection(hwnd, s, from, to);
}

int PagePixels(HWND hwnd)
{
  RECT client{};
  GetClientRect(hwnd, &client);
  return client.Height();
}

void MoveCaret(HWND hwnd, State& s, long to, bool extend)
{
  SetSelection(hwnd, s, extend ? s.anchor : to, to);
  ScrollCaretIntoView(hwnd, s);
}

long VerticalMove(HWND hwnd, State& s, int direction, int pixels)
{
  const POINT at = ClientPointOfChar(hwnd, s, s.active);
  const Layout& layout = CurrentLayout(hwnd, s);
  const Band& band = layout.Bands()[static_cast<size_t>(layout.LineFromChar(s.active))];
  const double ppt = PixelsPerTwip(s);
  int y = at.y;
  if (pixels == 0) {
    y = direction < 0 ? at.y - 1 : at.y + static_cast<int>(std::lround(band.height * ppt)) + 1;
  } else {
    y += direction * pixels;
  }
  if (y < -s.yPos) {
    return 0;
  }
  return CharAtClientPoint(hwnd, s, POINT{at.x, y});
}

bool KeyDown(HWND hwnd, State& s, UINT key)
{
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const long length = s.document.Length();
  const Layout& layout = CurrentLayout(hwnd, s);
  switch (key) {
  case VK_LEFT:
    MoveCaret(hwnd, s, !shift && s.anchor != s.active ? s.SelMin() : std::max(0L, s.active - 1), shift);
    return true;
  case VK_RIGHT:
    MoveCaret(hwnd, s, !shift && s.anchor != s.active ? s.SelMax() : std::min(length, s.active + 1), shift);
    return true;
  case VK_UP:
  case VK_DOWN:
    MoveCaret(hwnd, s, VerticalMove(hwnd, s, key == VK_UP ? -1 : 1, 0), shift);
    return true;
  case VK_PRIOR:
  case VK_NEXT:
    MoveCaret(hwnd, s, VerticalMove(hwnd, s, key == VK_PRIOR ? -1 : 1, PagePixels(hwnd)), shift);
    return true;
  case VK_HOME:
    MoveCaret(hwnd, s, control ? 0 : layout.Bands()[static_cast<size_t>(layout.LineFromChar(s.active))].cpFirst,
              shift);
    return true;
  case VK_END: {
    const Band& band = layout.Bands()[static_cast<size_t>(layout.LineFromChar(s.active))];
    MoveCaret(hwnd, s, control ? length : std::min(length, std::max(band.cpFirst, band.cpLim - 1)), shift);
    return true;
  }
  case 'A':
    if (control) {
      SetSelection(hwnd, s, 0, length);
      return true;
    }
    return false;
  case 'C':
  case VK_INSERT:
    if (control) {
      Copy(hwnd, s);
      return true;
    }
    if (key == VK_INSERT && shift) {
      Paste(hwnd, s);
      return true;
    }
    return false;
  case 'X':
    if (control && !s.ReadOnly()) {
      Copy(hwnd, s);
      EditSelection(hwnd, s, RichDocument(), true);
      return true;
    }
    return control;
  case 'V':
    if (control) {
      Paste(hwnd, s);
      return true;
    }
    return false;
  case VK_DELETE:
    if (s.ReadOnly()) {
      MessageBeep(0);
      return true;
    }
    if (s.anchor == s.active && s.active < length) {
      s.active += 1;
    }
    if (s.anchor != s.active) {
      EditSelection(hwnd, s, DocumentFromPlainText(""), true);
    }
    return true;
  default:
    return false;
  }
}

void Character(HWND hwnd, State& s, char c)
{
  if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\b') {
    return;
  }
  if (c == '\b') {
    if (s.anchor == s.active && s.active > 0) {
      if (s.ReadOnly()) {
        MessageBeep(0);
        return;
      }
      s.anchor = s.active - 1;
    }
    if (s.anchor != s.active) {
      EditSelection(hwnd, s, DocumentFromPlainText(""), true);
    }
    return;
  }
  const std::string text = c == '\r' ? std::string("\r\n") : std::string(1, c);
  EditSelection(hwnd, s, DocumentFromPlainText(text, s.defaultFormat), true);
  ScrollCaretIntoView(hwnd, s);
}

void Wheel(HWND hwnd, State& s, WPARAM wParam)
{
  const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
  if (notches == 0) {
    return;
  }
  if (LOWORD(wParam) & MK_CONTROL) {
    const int percent = static_cast<int>(std::lround(Zoom(s) * 100));
    const int next = std::clamp(percent + notches * kWheelZoomStep, kMinWheelZoom, kMaxWheelZoom);
    s.zoomNumerator = next;
    s.zoomDenominator = 100;
    LayoutChanged(hwnd, s);
    return;
  }
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const int lineHeight = std::max(1, static_cast<int>(std::lround(240 * PixelsPerTwip(s))));
  ScrollTo(hwnd, s, s.xPos, s.yPos - notches * static_cast<int>(lines) * lineHeight);
}

void ScrollBar(HWND hwnd, State& s, int bar, WORD code)
{
  RECT client{};
  GetClientRect(hwnd, &client);
  const bool vertical = bar == SB_VERT;
  const int page = vertical ? client.Height() : client.Width();
  const int line = std::max(1, static_cast<int>(std::lround(240 * PixelsPerTwip(s))));
  const int limit = vertical ? DocumentHeightPixels(hwnd, s) : DocumentWidthPixels(hwnd, s);
  int pos = vertical ? s.yPos : s.xPos;
  switch (code) {
  case SB_LINEUP:
    pos -= line;
    break;
  case SB_LINEDOWN:
    pos += line;
    break;
  case SB_PAGEUP:
    pos -= page;
    break;
  case SB_PAGEDOWN:
    pos += page;
    break;
  case SB_THUMBPOSITION:
  case SB_THUMBTRACK: {
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(hwnd, bar, &si);
    pos = si.nTrackPos;
    break;
  }
  case SB_TOP:
    pos = 0;
    break;
  case SB_BOTTOM:
    pos = limit;
    break;
  default:
    return;
  }
  ScrollTo(hwnd, s, vertical ? s.xPos : pos, vertical ? pos : s.yPos);
}

void SetDefaultFont(State& s, HFONT font)
{
  LOGFONTA lf{};
  if (font == nullptr || GetObject(font, sizeof lf, &lf) == 0) {
    return;
  }
  // A LOGFONT height is screen pixels; the document's sizes are half-points.
  const long heightPixels = std::labs(static_cast<long>(lf.lfHeight));
  s.defaultFormat.size = heightPixels > 0 ? static_cast<int>(std::max(2L, std::lround(heightPixels * 144.0 / kScreenDpi))) : 20;
  s.defaultFormat.bold = lf.lfWeight >= FW_BOLD;
  s.defaultFormat.italic = lf.lfItalic != 0;
  s.defaultFormat.font = s.document.FontIndex(FontEntry{lf.lfFaceName, lf.lfCharSet, FontFamily::Nil});
}

LRESULT SetCharFormat(HWND hwnd, State& s, WPARAM which, const CHARFORMATA* cf)
{
  if (cf == nullptr || (cf->cbSize != sizeof(CHARFORMATA) && cf->cbSize != sizeof(CHARFORMAT2A))) {
    return 0;
  }
  auto apply = [&](CharFormat& f) {
    if (cf->dwMask & CFM_BOLD) f.bold = (cf->dwEffects & CFE_BOLD) != 0;
    if (cf->dwMask & CFM_ITALIC) f.italic = (cf->dwEffects & CFE_ITALIC) != 0;
    if (cf->dwMask & CFM_UNDERLINE) f.underline = (cf->dwEffects & CFE_UNDERLINE) != 0;
    if (cf->dwMask & CFM_SIZE) f.size = std::max(2, static_cast<int>(cf->yHeight / 10));
    if (cf->dwMask & CFM_FACE) f.font = s.document.FontIndex(FontEntry{cf->szFaceName, cf->bCharSet, FontFamily::Nil});
    if (cf->dwMask & CFM_COLOR) {
      f.color = (cf->dwEffects & CFE_AUTOCOLOR) ? 0 : s.document.ColorIndex(cf->crTextColor);
    }
    if (cf->cbSize == sizeof(CHARFORMAT2A) && (cf->dwMask & CFM_BACKCOLOR)) {
      const auto* cf2 = static_cast<const CHARFORMAT2A*>(cf);
      f.highlight = (cf->dwEffects & CFE_AUTOBACKCOLOR) ? 0 : s.document.ColorIndex(cf2->crBackColor);
    }
  };
  apply(s.defaultFormat);
  // The default format is the whole text's while the control holds plain text, or when asked for everything.
  if (which == SCF_ALL || s.plainText || (which == SCF_DEFAULT && s.document.Length() == 0)) {
    for (Block& block : s.document.blocks) {
      auto each = [&](Paragraph& p) {
        for (Run& run : p.runs) {
          apply(run.format);
        }
        apply(p.endFormat);
      };
      if (block.kind == BlockKind::Paragraph) {
        each(block.paragraph);
      } else if (block.kind == BlockKind::TableRow) {
        for (TableCell& cell : block.row.cells) {
          for (Paragraph& p : cell.paragraphs) {
            each(p);
          }
        }
      }
    }
    s.document.Normalize();
    DocumentChanged(s);
    Invalidate(hwnd);
  }
  return 1;
}

std::string WindowText(const State& s) { return s.document.PlainText(); }

LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (user::detail::ControlLifetime<State>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  State* sp = StateOf(hwnd);
  if (sp == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  State& s = *sp;
  switch (msg) {
  case WM_NCCREATE:
    return DefWindowProc(hwnd, msg, wParam, lParam);
  case WM_CREATE: {
    const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    if (cs->style & ES_READONLY) {
      s.options |= ECO_READONLY;
    }
    s.options |= static_cast<DWORD>(cs->style) & (ECO_AUTOVSCROLL | ECO_AUTOHSCROLL | ECO_NOHIDESEL | ECO_WANTRETURN);
    if ((cs->style & ES_AUTOHSCROLL) && !(cs->style & ES_MULTILINE)) {
      s.wrap = WrapMode::None;
    }
    if (cs->lpszName != nullptr && cs->lpszName[0] != '\0') {
      s.document = DocumentFromPlainText(cs->lpszName, s.defaultFormat);
    }
    return 0;
  }
  case WM_PAINT:
  case WM_PRINTCLIENT:
    return user::detail::PaintOrPrintClient(hwnd, msg, wParam, [&](HDC dc) { PaintControl(hwnd, s, dc); });
  case WM_ERASEBKGND:
    return 1;
  case WM_SIZE:
    UpdateScrollBars(hwnd, s);
    Invalidate(hwnd);
    s.caretHeight = 0;
    PlaceCaret(hwnd, s);
    return 0;
  case WM_SETFOCUS:
    s.focused = true;
    s.caretHeight = 0;
    PlaceCaret(hwnd, s);
    Invalidate(hwnd);
    return 0;
  case WM_KILLFOCUS:
    s.focused = false;
    s.caretHeight = 0;
    DestroyCaret();
    Invalidate(hwnd);
    return 0;
  case WM_GETDLGCODE:
    return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL |
           ((GetWindowLong(hwnd, GWL_STYLE) & ES_MULTILINE) ? DLGC_WANTALLKEYS : 0);
  case WM_SETFONT:
    SetDefaultFont(s, reinterpret_cast<HFONT>(wParam));
    if (s.plainText || s.document.Length() == 0) {
      CHARFORMATA cf{};
      cf.cbSize = sizeof cf;
      SetCharFormat(hwnd, s, SCF_ALL, &cf);
    }
    if (LOWORD(static_cast<DWORD_PTR>(lParam))) {
      Invalidate(hwnd);
    }
    return 0;
  case WM_SETTEXT: {
    const char* text = reinterpret_cast<const char*>(lParam);
    const std::string_view view = text == nullptr ? std::string_view() : std::string_view(text);
    RichDocument document;
    if (!s.plainText && view.starts_with("{\\rtf") && ReadRtf(view, document).error != RtfError::NotRtf) {
      s.document = std::move(document);
    } else {
      s.document = DocumentFromPlainText(view, s.defaultFormat);
    }
    s.anchor = s.active = 0;
    s.xPos = s.yPos = 0;
    TextChanged(hwnd, s);
    s.modified = false;
    return TRUE;
  }
  case WM_GETTEXT: {
    if (wParam == 0 || lParam == 0) {
      return 0;
    }
    const std::string text = WindowText(s);
    const size_t n = std::min(text.size(), static_cast<size_t>(wParam) - 1);
    std::memcpy(reinterpret_cast<char*>(lParam), text.data(), n);
    reinterpret_cast<char*>(lParam)[n] = '\0';
    return static_cast<LRESULT>(n);
  }
  case WM_GETTEXTLENGTH:
    return static_cast<LRESULT>(WindowText(s).size());
  case EM_GETTEXTLENGTHEX: {
    const auto* ex = reinterpret_cast<const GETTEXTLENGTHEX*>(wParam);
    if (ex != nullptr && (ex->flags & GTL_USECRLF)) {
      return static_cast<LRESULT>(WindowText(s).size());
    }
    return s.document.Length();
  }
  case EM_GETSEL: {
    if (wParam != 0) {
      *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(s.SelMin());
    }
    if (lParam != 0) {
      *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(s.SelMax());
    }
    if (s.SelMax() > 0xFFFF) {
      return -1;
    }
    return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(s.SelMin()), static_cast<WORD>(s.SelMax())));
  }
  case EM_SETSEL: {
    const long start = static_cast<long>(static_cast<int>(wParam));
    const long end = static_cast<long>(static_cast<int>(lParam));
    if (start == -1) {
      SetSelection(hwnd, s, s.active, s.active);
    } else if (start == 0 && end == -1) {
      SetSelection(hwnd, s, 0, s.document.Length());
    } else {
      SetSelection(hwnd, s, start, end < 0 ? s.document.Length() : end);
    }
    return 0;
  }
  case EM_EXGETSEL:
    if (lParam != 0) {
      *reinterpret_cast<CHARRANGE*>(lParam) =
          CHARRANGE{static_cast<LONG>(s.SelMin()), static_cast<LONG>(s.SelMax())};
    }
    return 0;
  case EM_EXSETSEL: {
    const auto* range = reinterpret_cast<const CHARRANGE*>(lParam);
    if (range == nullptr) {
      return s.SelMax();
    }
    if (range->cpMin == -1) {
      SetSelection(hwnd, s, s.active, s.active);
    } else {
      SetSelection(hwnd, s, range->cpMin, range->cpMax < 0 ? s.document.Length() : range->cpMax);
    }
    return s.SelMax();
  }
  case EM_GETSELTEXT: {
    const std::string text = s.document.GetText(s.SelMin(), s.SelMax());
    if (lParam != 0) {
      std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
    }
    return static_cast<LRESULT>(text.size());
  }
  case EM_GETTEXTRANGE: {
    auto* range = reinterpret_cast<TEXTRANGEA*>(lParam);
    if (range == nullptr || range->lpstrText == nullptr) {
      return 0;
    }
    const std::string text = s.document.GetText(range->chrg.cpMin, range->chrg.cpMax);
    std::memcpy(range->lpstrText, text.c_str(), text.size() + 1);
    return static_cast<LRESULT>(text.size());
  }
  case EM_SELECTIONTYPE:
    return s.SelMin() == s.SelMax() ? SEL_EMPTY : (s.SelMax() - s.SelMin() > 1 ? SEL_TEXT | SEL_MULTICHAR : SEL_TEXT);
  case EM_HIDESELECTION:
    s.hideSelection = wParam != 0;
    Invalidate(hwnd);
    return 0;
  case EM_REPLACESEL:
    EditSelection(hwnd, s,
                  DocumentFromPlainText(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "", s.defaultFormat),
                  false);
    return 0;
  case WM_CLEAR:
  case WM_CUT:
    if (s.ReadOnly() || s.SelMin() == s.SelMax()) {
      return 0;
    }
    if (msg == WM_CUT) {
      Copy(hwnd, s);
    }
    EditSelection(hwnd, s, DocumentFromPlainText(""), true);
    return 0;
  case WM_COPY:
    Copy(hwnd, s);
    return 0;
  case WM_PASTE:
    Paste(hwnd, s);
    return 0;
  case EM_CANPASTE:
    return !s.ReadOnly() && (IsClipboardFormatAvailable(CF_TEXT) ||
                             IsClipboardFormatAvailable(RegisterClipboardFormat("Rich Text Format")))
               ? TRUE
               : FALSE;
  case EM_SETREADONLY: {
    const LONG style = GetWindowLong(hwnd, GWL_STYLE);
    if (wParam != 0) {
      s.options |= ECO_READONLY;
      SetWindowLong(hwnd, GWL_STYLE, style | static_cast<LONG>(ES_READONLY));
    } else {
      s.options &= ~ECO_READONLY;
      SetWindowLong(hwnd, GWL_STYLE, style & ~static_cast<LONG>(ES_READONLY));
    }
    return TRUE;
  }
  case EM_SETOPTIONS: {
    const DWORD value = static_cast<DWORD>(lParam);
    switch (wParam) {
    case ECOOP_SET:
      s.options = value;
      break;
    case ECOOP_OR:
      s.options |= value;
      break;
    case ECOOP_AND:
      s.options &= value;
      break;
    case ECOOP_XOR:
      s.options ^= value;
      break;
    default:
      break;
    }
    const LONG style = GetWindowLong(hwnd, GWL_STYLE);
    SetWindowLong(hwnd, GWL_STYLE, s.ReadOnly() ? style | static_cast<LONG>(ES_READONLY)
                                                : style & ~static_cast<LONG>(ES_READONLY));
    return static_cast<LRESULT>(s.options);
  }
  case EM_GETOPTIONS:
    return static_cast<LRESULT>(s.options);
  case EM_SETEVENTMASK: {
    const DWORD old = s.eventMask;
    s.eventMask = static_cast<DWORD>(lParam);
    return static_cast<LRESULT>(old);
  }
  case EM_GETEVENTMASK:
    return static_cast<LRESULT>(s.eventMask);
  case EM_SETBKGNDCOLOR: {
    const COLORREF old = s.systemBackground ? GetSysColor(COLOR_WINDOW) : s.background;
    s.systemBackground = wParam != 0;
    if (wParam == 0) {
      s.background = static_cast<COLORREF>(lParam);
    }
    Invalidate(hwnd);
    return static_cast<LRESULT>(old);
  }
  case EM_SETZOOM: {
    const int numerator = static_cast<int>(wParam);
    const int denominator = static_cast<int>(lParam);
    if (!IsValidZoom(numerator, denominator)) {
      return FALSE;
    }
    s.zoomNumerator = numerator;
    s.zoomDenominator = denominator;
    LayoutChanged(hwnd, s);
    return TRUE;
  }
  case EM_GETZOOM:
    if (wParam != 0) {
      *reinterpret_cast<int*>(wParam) = s.zoomNumerator;
    }
    if (lParam != 0) {
      *reinterpret_cast<int*>(lParam) = s.zoomDenominator;
    }
    return TRUE;
  case EM_SETTARGETDEVICE:
    // No device and width 0 wraps to the window; width 1 does not wrap; any other width wraps at that many twips.
    if (lParam == 0 && wParam == 0) {
      s.wrap = WrapMode::Window;
    } else if (lParam == 1) {
      s.wrap = WrapMode::None;
    } else if (lParam == 0) {
      s.wrap = WrapMode::Window;
    } else {
      s.wrap = WrapMode::Width;
      s.wrapWidth = static_cast<long>(lParam);
    }
    LayoutChanged(hwnd, s);
    return TRUE;
  case EM_SETMARGINS:
    if (wParam & EC_LEFTMARGIN) {
      s.leftMargin = LOWORD(static_cast<DWORD_PTR>(lParam)) == EC_USEFONTINFO ? 1 : LOWORD(static_cast<DWORD_PTR>(lParam));
    }
    if (wParam & EC_RIGHTMARGIN) {
      s.rightMargin = HIWORD(static_cast<DWORD_PTR>(lParam)) == EC_USEFONTINFO ? 1 : HIWORD(static_cast<DWORD_PTR>(lParam));
    }
    DocumentChanged(s);
    Invalidate(hwnd);
    return 0;
  case EM_GETMARGINS:
    return MAKELONG(static_cast<WORD>(s.leftMargin), static_cast<WORD>(s.rightMargin));
  case EM_SETTEXTMODE:
    // Only an empty control changes its mode.
    if (s.document.Length() != 0) {
      return 1;
    }
    if (wParam & TM_PLAINTEXT) {
      s.plainText = true;
    } else if (wParam & TM_RICHTEXT) {
      s.plainText = false;
    }
    return 0;
  case EM_GETTEXTMODE:
    return static_cast<LRESULT>((s.plainText ? TM_PLAINTEXT : TM_RICHTEXT) | TM_SINGLELEVELUNDO);
  case EM_SETCHARFORMAT:
    return SetCharFormat(hwnd, s, wParam, reinterpret_cast<const CHARFORMATA*>(lParam));
  case EM_REQUESTRESIZE:
    if (s.eventMask & ENM_REQUESTRESIZE) {
      const Layout& layout = CurrentLayout(hwnd, s);
      const double ppt = PixelsPerTwip(s);
      RECT client{};
      GetClientRect(hwnd, &client);
      REQRESIZE request{};
      request.rc = RECT{client.left, client.top,
                        static_cast<LONG>(client.left + std::lround(layout.ContentWidth() * ppt) + s.leftMargin +
                                          s.rightMargin),
                        static_cast<LONG>(client.top + std::lround(layout.Height() * ppt))};
      Notify(hwnd, s, EN_REQUESTRESIZE, &request.nmhdr);
    }
    return 0;
  case EM_EXLIMITTEXT:
    s.textLimit = lParam == 0 ? 65536 : static_cast<long>(lParam);
    return 0;
  case EM_LIMITTEXT:
    s.textLimit = wParam == 0 ? 65536 : static_cast<long>(wParam);
    return 0;
  case EM_GETLIMITTEXT:
    return s.textLimit;
  case EM_GETMODIFY:
    return s.modified ? TRUE : FALSE;
  case EM_SETMODIFY:
    s.modified = wParam != 0;
    return 0;
  case EM_STREAMIN:
    return StreamIn(hwnd, s, static_cast<UINT>(wParam), reinterpret_cast<EDITSTREAM*>(lParam));
  case EM_STREAMOUT:
    return StreamOut(s, static_cast<UINT>(wParam), reinterpret_cast<EDITSTREAM*>(lParam));
  case EM_FORMATRANGE:
    return FormatRange(s, wParam != 0, reinterpret_cast<FORMATRANGE*>(lParam));
  case EM_GETLINECOUNT:
    return CurrentLayout(hwnd, s).LineCount();
  case EM_LINEFROMCHAR: {
    const int cp = static_cast<int>(wParam);
    return CurrentLayout(hwnd, s).LineFromChar(cp == -1 ? s.active : cp);
  }
  case EM_EXLINEFROMCHAR:
    return CurrentLayout(hwnd, s).LineFromChar(static_cast<long>(lParam));
  case EM_LINEINDEX: {
    const Layout& layout = CurrentLayout(hwnd, s);
    const int line = static_cast<int>(wParam) == -1 ? layout.LineFromChar(s.active) : static_cast<int>(wParam);
    if (line < 0 || line >= layout.LineCount()) {
      return -1;
    }
    return layout.Bands()[static_cast<size_t>(line)].cpFirst;
  }
  case EM_LINELENGTH: {
    const Layout& layout = CurrentLayout(hwnd, s);
    const Band& band = layout.Bands()[static_cast<size_t>(layout.LineFromChar(static_cast<long>(wParam)))];
    return std::max(0L, std::min(band.cpLim, layout.TextLength()) - band.cpFirst -
                            (band.cpLim <= layout.TextLength() && band.cpLim > band.cpFirst ? 1 : 0));
  }
  case EM_GETFIRSTVISIBLELINE:
    return CurrentLayout(hwnd, s).LineFromY(std::lround(s.yPos / PixelsPerTwip(s)));
  case EM_LINESCROLL: {
    const Layout& layout = CurrentLayout(hwnd, s);
    const double ppt = PixelsPerTwip(s);
    const int first = layout.LineFromY(std::lround(s.yPos / ppt));
    const int target = std::clamp(first + static_cast<int>(lParam), 0, layout.LineCount() - 1);
    const int y = static_cast<int>(std::lround(layout.Bands()[static_cast<size_t>(target)].top * ppt));
    const int x = s.xPos + static_cast<int>(wParam) * std::max(1, static_cast<int>(std::lround(120 * ppt)));
    ScrollTo(hwnd, s, x, y);
    return TRUE;
  }
  case EM_SCROLLCARET:
    ScrollCaretIntoView(hwnd, s);
    return 0;
  case EM_GETSCROLLPOS:
    if (lParam != 0) {
      *reinterpret_cast<POINT*>(lParam) = POINT{s.xPos, s.yPos};
    }
    return 1;
  case EM_SETSCROLLPOS:
    if (lParam != 0) {
      const auto* p = reinterpret_cast<const POINT*>(lParam);
      ScrollTo(hwnd, s, p->x, p->y);
    }
    return 1;
  case EM_POSFROMCHAR:
    if (wParam != 0) {
      *reinterpret_cast<POINT*>(wParam) = ClientPointOfChar(hwnd, s, static_cast<long>(lParam));
    }
    return 0;
  case EM_CHARFROMPOS:
    if (lParam == 0) {
      return 0;
    }
    return CharAtClientPoint(hwnd, s, *reinterpret_cast<const POINT*>(lParam));
  case WM_KEYDOWN:
    if (KeyDown(hwnd, s, static_cast<UINT>(wParam))) {
      return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
  case WM_CHAR:
    if (GetKeyState(VK_CONTROL) < 0 && static_cast<unsigned>(wParam) < 0x20) {
      return 0;  // control+letter arrives as a control character; its key did the work
    }
    Character(hwnd, s, static_cast<char>(wParam));
    return 0;
  case WM_LBUTTONDOWN: {
    SetFocus(hwnd);
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const long cp = CharAtClientPoint(hwnd, s, p);
    SetSelection(hwnd, s, (wParam & MK_SHIFT) ? s.anchor : cp, cp);
    s.dragging = true;
    SetCapture(hwnd);
    return 0;
  }
  case WM_MOUSEMOVE:
    if (s.dragging && GetCapture() == hwnd) {
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      SetSelection(hwnd, s, s.anchor, CharAtClientPoint(hwnd, s, p));
      ScrollCaretIntoView(hwnd, s);
    }
    return 0;
  case WM_LBUTTONUP:
    if (s.dragging) {
      s.dragging = false;
      if (GetCapture() == hwnd) {
        ReleaseCapture();
      }
    }
    return 0;
  case WM_CAPTURECHANGED:
    s.dragging = false;
    return 0;
  case WM_LBUTTONDBLCLK:
    SelectWord(hwnd, s, CharAtClientPoint(hwnd, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
    return 0;
  case WM_MOUSEWHEEL:
    Wheel(hwnd, s, wParam);
    return 1;
  case WM_VSCROLL:
  case WM_HSCROLL:
    ScrollBar(hwnd, s, msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
    return 0;
  default:
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

bool IsValidZoom(int numerator, int denominator)
{
  if (numerator == 0 && denominator == 0) {
    return true;
  }
  if (numerator <= 0 || denominator <= 0) {
    return false;
  }
  // Between 1/64 and 64, compared without dividing.
  const long n = numerator;
  const long d = denominator;
  return n * 64 >= d && n <= 64 * d;
}

WNDPROC RichEditWindowProc() { return &Dispatch; }

const RichDocument* ControlDocument(HWND hwnd)
{
  if (!IsWindow(hwnd) || GetWindowLongPtr(hwnd, 0) == 0) {
    return nullptr;
  }
  char name[32] = {};
  GetClassName(hwnd, name, sizeof name);
  WNDCLASS wc;
  if (!GetClassInfo(nullptr, name, &wc) || wc.lpfnWndProc != &Dispatch) {
    return nullptr;
  }
  return &StateOf(hwnd)->document;
}

const Layout* ControlLayout(HWND hwnd)
{
  if (ControlDocument(hwnd) == nullptr) {
    return nullptr;
  }
  return &CurrentLayout(hwnd, *StateOf(hwnd));
}

void RegisterRichEditLibrary()
{
  static std::once_flag once;
  std::call_once(once, [] {
    for (const char* name : {RICHEDIT_CLASSA, RICHEDIT_CLASSW_NAME, RICHEDIT_CLASS10A, MSFTEDIT_CLASS_NAME}) {
      WNDCLASS wc;
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = &Dispatch;
      wc.cbWndExtra = sizeof(void*);
      wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
      wc.lpszClassName = name;
      RegisterClass(&wc);
    }
    for (const char* module : {"RICHED20", "RICHED32", "Msftedit"}) {
      platform::RegisterModule(module, {});
    }
  });
}

}  // namespace richedit
