// Formatted text: lines, word wrapping, alignment, ellipses, tab expansion and '&' prefixes, measured or drawn.
#include "platform/gdi/raster.h"
#include "platform/gdi/text.h"
#include "platform/gdi/windraw.h"

#include <algorithm>
#include <cstring>

using namespace gdi;

namespace {

struct Line {
  std::u32string text;
  int prefixAt = -1;  // index of the underlined character in `text`
};

constexpr char32_t kTab = U'\t';

class Layout {
public:
  Layout(HDC__& dc, UINT format) : dc_(dc), format_(format)
  {
    auto font = DCFont(dc);
    const double sx = std::abs(dc.ScaleX());
    tabWidth_ = std::max(1, static_cast<int>(8 * font->metrics.tmAveCharWidth / (sx == 0 ? 1 : sx)));
  }

  // Width of a piece of a line that starts at `x0` (tabs stop at multiples of eight average characters).
  int Width(std::u32string_view s) const
  {
    if (!(format_ & DT_EXPANDTABS) || s.find(kTab) == std::u32string_view::npos) {
      return TextWidth(dc_, s);
    }
    int x = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= s.size(); ++i) {
      if (i == s.size() || s[i] == kTab) {
        x += TextWidth(dc_, s.substr(start, i - start));
        if (i < s.size()) {
          x = (x / tabWidth_ + 1) * tabWidth_;
        }
        start = i + 1;
      }
    }
    return x;
  }

  // Draws a line at (x, y) with tabs expanded; with `starts`, gives the x where each character starts.
  void Draw(std::u32string_view s, int x, int y, const RECT* clip, std::vector<int>* starts) const
  {
    if (starts == nullptr && ((format_ & DT_EXPANDTABS) == 0 || s.find(kTab) == std::u32string_view::npos)) {
      if (!s.empty() && !(format_ & DT_PREFIXONLY)) {
        OutputText(dc_, x, y, clip != nullptr ? ETO_CLIPPED : 0, clip, s, nullptr);
      }
      return;
    }
    std::vector<int> positions = DrawMeasured(s, x, y, clip);
    if (starts != nullptr) {
      *starts = std::move(positions);
    }
  }

private:
  std::vector<int> DrawMeasured(std::u32string_view s, int x, int y, const RECT* clip) const
  {
    std::vector<int> starts(s.size() + 1, x);
    int cx = x;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= s.size(); ++i) {
      const bool tab = i < s.size() && s[i] == kTab && (format_ & DT_EXPANDTABS);
      if (i == s.size() || tab) {
        std::u32string_view piece = s.substr(start, i - start);
        if (!piece.empty() && !(format_ & DT_CALCRECT) && !(format_ & DT_PREFIXONLY)) {
          OutputText(dc_, cx, y, clip != nullptr ? ETO_CLIPPED : 0, clip, piece, nullptr);
        }
        int at = cx;
        for (std::size_t k = 0; k < piece.size(); ++k) {
          starts[start + k] = at;
          at += TextWidth(dc_, piece.substr(k, 1));
        }
        cx += TextWidth(dc_, piece);
        if (tab) {
          cx = x + ((cx - x) / tabWidth_ + 1) * tabWidth_;
        }
        starts[i] = cx;
        start = i + 1;
      }
    }
    return starts;
  }

  HDC__& dc_;
  UINT format_;
  int tabWidth_ = 8;
};

// Removes '&' prefixes: "&&" stands for '&', "&x" underlines x, a lone trailing '&' goes.
Line StripPrefix(std::u32string_view s, bool process)
{
  Line line;
  if (!process) {
    line.text.assign(s);
    return line;
  }
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == U'&') {
      if (i + 1 < s.size() && s[i + 1] == U'&') {
        line.text.push_back(U'&');
        ++i;
      } else if (i + 1 < s.size()) {
        line.prefixAt = static_cast<int>(line.text.size());
      }
      continue;
    }
    line.text.push_back(s[i]);
  }
  return line;
}

bool IsBreakSpace(char32_t c) { return c == U' ' || c == kTab; }

// Splits text into lines: at line ends, and with word wrapping where a line would pass `width`.
std::vector<Line> BreakLines(const Layout& layout, std::u32string_view text, UINT format, int width)
{
  std::vector<std::u32string> paragraphs;
  if (format & DT_SINGLELINE) {
    std::u32string one;
    for (char32_t c : text) {
      if (c != U'\r' && c != U'\n') {
        one.push_back(c);
      }
    }
    paragraphs.push_back(one);
  } else {
    std::u32string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == U'\r' || text[i] == U'\n') {
        paragraphs.push_back(current);
        current.clear();
        if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') {
          ++i;
        }
      } else {
        current.push_back(text[i]);
      }
    }
    paragraphs.push_back(current);
  }
  const bool prefixes = !(format & DT_NOPREFIX);
  std::vector<Line> lines;
  for (const std::u32string& p : paragraphs) {
    Line whole = StripPrefix(p, prefixes);
    if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE) || layout.Width(whole.text) <= width) {
      lines.push_back(whole);
      continue;
    }
    // Greedy wrapping at spaces; a word wider than the rectangle stands alone on its line (broken by
    // characters only for edit controls).
    const std::u32string& t = whole.text;
    std::size_t start = 0;
    while (start < t.size()) {
      std::size_t end = start;
      std::size_t lastBreak = std::u32string::npos;
      while (end < t.size()) {
        std::size_t next = end;
        while (next < t.size() && !IsBreakSpace(t[next])) {
          ++next;
        }
        if (layout.Width(std::u32string_view(t).substr(start, next - start)) > width && lastBreak != std::u32string::npos) {
          break;
        }
        lastBreak = next;
        end = next;
        if (layout.Width(std::u32string_view(t).substr(start, next - start)) > width) {
          break;
        }
        while (end < t.size() && IsBreakSpace(t[end])) {
          ++end;
        }
      }
      std::size_t lineEnd = lastBreak == std::u32string::npos ? t.size() : lastBreak;
      if ((format & DT_EDITCONTROL) && layout.Width(std::u32string_view(t).substr(start, lineEnd - start)) > width) {
        lineEnd = start + 1;
        while (lineEnd < t.size() && layout.Width(std::u32string_view(t).substr(start, lineEnd + 1 - start)) <= width) {
          ++lineEnd;
        }
      }
      Line line;
      line.text = t.substr(start, lineEnd - start);
      if (whole.prefixAt >= static_cast<int>(start) && whole.prefixAt < static_cast<int>(lineEnd)) {
        line.prefixAt = whole.prefixAt - static_cast<int>(start);
      }
      lines.push_back(std::move(line));
      start = lineEnd;
      while (start < t.size() && IsBreakSpace(t[start])) {
        ++start;
      }
    }
    if (t.empty()) {
      lines.push_back(whole);
    }
  }
  return lines;
}

const std::u32string kEllipsis = U"...";

// Shortens a line that is wider than `width` by putting "..." at its end, or in the middle of a path.
void Ellipsize(const Layout& layout, Line& line, UINT format, int width)
{
  if (layout.Width(line.text) <= width) {
    return;
  }
  std::u32string& t = line.text;
  if (format & DT_PATH_ELLIPSIS) {
    const std::size_t slash = t.find_last_of(U"\\/");
    if (slash != std::u32string::npos && slash > 0) {
      const std::u32string tail = t.substr(slash);
      std::u32string head = t.substr(0, slash);
      while (!head.empty() && layout.Width(head + kEllipsis + tail) > width) {
        head.pop_back();
      }
      t = head + kEllipsis + tail;
      if (layout.Width(t) <= width || !(format & DT_END_ELLIPSIS)) {
        line.prefixAt = -1;
        return;
      }
    }
  }
  if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
    std::u32string head = t;
    while (!head.empty() && layout.Width(head + kEllipsis) > width) {
      head.pop_back();
    }
    if ((format & DT_WORD_ELLIPSIS) && !(format & DT_END_ELLIPSIS)) {
      const std::size_t space = head.find_last_of(U' ');
      if (space != std::u32string::npos && head.size() < t.size() && t[head.size()] != U' ') {
        head.resize(space);
      }
    }
    if (line.prefixAt >= static_cast<int>(head.size())) {
      line.prefixAt = -1;
    }
    t = head + kEllipsis;
  }
}

int DrawTextImpl(HDC dc, std::u32string_view text, RECT* rect, UINT format)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || rect == nullptr) {
    return 0;
  }
  const Layout layout(*d, format);
  const int width = rect->right - rect->left;
  std::vector<Line> lines = BreakLines(layout, text, format, width);
  if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
    for (Line& line : lines) {
      Ellipsize(layout, line, format, width);
    }
  }
  const TEXTMETRICA tm = [&] {
    TEXTMETRICA m;
    GetTextMetricsA(dc, &m);
    return m;
  }();
  const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  const int totalHeight = lineHeight * static_cast<int>(lines.size());
  int maxWidth = 0;
  for (const Line& line : lines) {
    maxWidth = std::max(maxWidth, layout.Width(line.text));
  }
  int y = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) {
      y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    } else if (format & DT_BOTTOM) {
      y = rect->bottom - lineHeight;
    }
  }
  if (format & DT_CALCRECT) {
    // The rectangle grows or shrinks to the text; the width stays for wrapped text that fits.
    rect->right = rect->left + maxWidth;
    if (!(format & DT_SINGLELINE) || !(format & (DT_VCENTER | DT_BOTTOM))) {
      rect->bottom = rect->top + totalHeight;
    } else {
      rect->bottom = rect->top + lineHeight;
    }
    return (format & DT_SINGLELINE) ? lineHeight : totalHeight;
  }
  const UINT savedAlign = d->st.textAlign;
  d->st.textAlign = TA_LEFT | TA_TOP;
  const RECT clipRect = *rect;
  const RECT* clip = (format & DT_NOCLIP) ? nullptr : &clipRect;
  for (const Line& line : lines) {
    const int w = layout.Width(line.text);
    int x = rect->left;
    if (format & DT_CENTER) {
      x = rect->left + (width - w) / 2;
    } else if (format & DT_RIGHT) {
      x = rect->right - w;
    }
    const bool underline = line.prefixAt >= 0 && !(format & DT_HIDEPREFIX);
    std::vector<int> starts;
    layout.Draw(line.text, x, y, clip, underline ? &starts : nullptr);
    if (underline) {
      // The mnemonic's underline: one pixel below the baseline, the width of its character.
      const int ux0 = starts[static_cast<std::size_t>(line.prefixAt)];
      const int ux1 = starts[static_cast<std::size_t>(line.prefixAt) + 1];
      const POINT a = d->ToDevice(POINT{ux0, y + tm.tmAscent + 1});
      const POINT b = d->ToDevice(POINT{ux1, y + tm.tmAscent + 1});
      Region underline(RECT{a.x, a.y, b.x, a.y + 1});
      if (clip != nullptr) {
        underline = underline.Intersect(d->RectToDevice(*clip));
      }
      FillShape(*d, underline, SolidInk(TargetPixel(*d, d->st.textColor), R2_COPYPEN));
    }
    y += lineHeight;
  }
  d->st.textAlign = savedAlign;
  if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) {
    return (y - lineHeight - rect->top) + lineHeight;
  }
  return totalHeight;
}

}  // namespace

int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format)
{
  if (text == nullptr) {
    return 0;
  }
  const std::size_t n = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
  return DrawTextImpl(dc, FromCp1251(std::string_view(text, n)), rect, format);
}

int DrawTextW(HDC dc, LPCWSTR text, int length, RECT* rect, UINT format)
{
  if (text == nullptr) {
    return 0;
  }
  std::size_t n = 0;
  if (length < 0) {
    while (text[n] != 0) {
      ++n;
    }
  } else {
    n = static_cast<std::size_t>(length);
  }
  return DrawTextImpl(dc, std::u32string(text, text + n), rect, format);
}
