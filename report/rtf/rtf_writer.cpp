#include "report/rtf/rtf_writer.h"

#include "model/number_text.h"
#include "platform/gdi/windraw.h"
#include "platform/mfc-core/memfile.h"
#include "platform/mfc/gdiobj.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr UINT kGrowBytes = 1024;

// A pixel at 96 dpi, and the text column of A4 with the widest margins the document meets (2 x 1800 twips).
constexpr int kTwipsPerPixel = 15;
constexpr int kTextColumnTwips = 8300;

constexpr const char* kHeadStart = "{\\rtf1\\ansi\\ansicpg1251";
constexpr const char* kColourTable =
    "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red0\\green0\\blue255;"
    "\\red255\\green255\\blue255;\\red50\\green50\\blue50;\\red180\\green180\\blue180;\\red%d\\green%d\\blue%d;"
    "\\red0\\green0\\blue0}";
constexpr const char* kFontTable =
    "{\\fonttbl{\\f0\\fnil default;}{\\f1\\froman roman h;}{\\f2\\fswiss Arial CYR;}{\\f3\\ftech\\fcharset2 Symbol;}"
    "{\\f4\\fswiss\\fcharset204{\\*\\fname Arial;}Arial CYR;}}";

constexpr const char* kRowBorders =
    "\\trbrdrt\\brdrw15\\brdrs \\trbrdrl\\brdrw15\\brdrs \\trbrdrb\\brdrw15\\brdrs \\trbrdrr\\brdrw15\\brdrs ";
constexpr const char* kCellBorders =
    "\\clbrdrt\\brdrw15\\brdrs \\clbrdrl\\brdrw15\\brdrs \\clbrdrb\\brdrw15\\brdrs \\clbrdrr\\brdrw15\\brdrs";

bool IsBraced(const CString& text)
{
  const int length = text.GetLength();
  return length == 0 || text[0] == '{' || text[length - 1] == '}';
}

const char* CellAlignmentWord(int format)
{
  switch (format) {
  case 0: return "\\ql ";
  case 1: return "\\qc     ";
  case 2: return "\\qr     ";
  default: return "";
  }
}

std::vector<std::string> SplitWords(const std::string& text)
{
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(' ', start), text.size());
    if (end > start) {
      words.push_back(text.substr(start, end - start));
    }
    start = end + 1;
  }
  return words;
}

}  // namespace

int CRTFWriter::Open()
{
  if (m_open != 0) {
    return 0;
  }
  m_file = new (std::nothrow) CMemFile(kGrowBytes);
  if (m_file == nullptr) {
    return 0;
  }
  m_memory = 1;
  m_open = 1;
  const DWORD window = GetSysColor(COLOR_WINDOW);
  CString colours;
  colours.Format(kColourTable, static_cast<int>(window & 0xFF), static_cast<int>((window >> 8) & 0xFF),
                 static_cast<int>((window >> 16) & 0xFF));
  Put(CString(kHeadStart) + colours + kFontTable + "\\pard ");
  return 1;
}

void CRTFWriter::Put(const char* bytes, std::size_t count)
{
  if (m_open == 0 || m_file == nullptr || count == 0) {
    return;
  }
  m_file->Write(bytes, static_cast<UINT>(count));
}

void CRTFWriter::Put(const CString& fragment)
{
  Put(fragment.GetString(), static_cast<std::size_t>(fragment.GetLength()));
}

void CRTFWriter::WriteText(const CString& text)
{
  if (IsBraced(text)) {
    Put(text);
    return;
  }
  Put("{" + text + "}");
}

int CRTFWriter::WriteWrappedText(const CString& text, int width, int tolerance, int separators, int tabs,
                                 int spaces)
{
  std::string working(text.GetString(), static_cast<std::size_t>(text.GetLength()));
  if (!IsBraced(text)) {
    working = "{" + working + "}";
  }
  std::string continuation = "\\line ";
  continuation.append(static_cast<std::size_t>(std::max(spaces, 0)), ' ');
  for (int i = 0; i < tabs; ++i) {
    continuation += "\\tab";
  }
  continuation += ' ';
  if (separators != 0) {
    for (char& c : working) {
      if (c == ',' || c == '.') {
        c = ' ';
      }
    }
  }

  const std::vector<std::string> words = SplitWords(working);
  std::string result;
  int remaining = width;
  int breaks = 0;
  // The word that found no room on a started line and gets a fresh one before it may overflow.
  bool retry = false;
  for (std::size_t index = 0; index < words.size(); ++index) {
    std::string word = words[index];
    const bool last = index + 1 == words.size();
    for (;;) {
      const int n = static_cast<int>(word.size());
      if (n < remaining) {
        result += word + " ";
        remaining -= n;
        break;
      }
      if (n == remaining || n < remaining + tolerance) {
        result += word;
        if (!last) {
          result += continuation;
          ++breaks;
        }
        remaining = width;
        break;
      }
      const std::size_t hyphen = word.find('-');
      if (hyphen != std::string::npos && hyphen > 0 && static_cast<int>(hyphen) < n - 1) {
        // The hyphen ends this line and starts the next one.
        result += word.substr(0, hyphen + 1) + continuation;
        ++breaks;
        remaining = width;
        word = word.substr(hyphen);
        retry = false;
        continue;
      }
      if (retry) {
        result += word;
        if (!last) {
          result += continuation;
          ++breaks;
        }
        remaining = width;
        break;
      }
      if (remaining != width) {
        result += continuation;
        ++breaks;
      }
      retry = true;
      remaining = width;
    }
    retry = false;
  }
  Put(result.data(), result.size());
  return breaks;
}

void CRTFWriter::WriteLineBreaks(int count)
{
  CString fragment;
  for (int i = 0; i < count; ++i) {
    fragment += "\\line";
  }
  Put(fragment);
}

void CRTFWriter::NewPage()
{
  if (m_open == 0) {
    return;
  }
  Put(CString("\\page"));
  ++m_pageCount;
}

void CRTFWriter::BeginParagraph(int alignment)
{
  Put(CString("\\pard"));
  SetAlignment(alignment);
}

void CRTFWriter::EndParagraph() { Put(CString("\\par")); }

void CRTFWriter::KeepWithNext() { Put(CString("\\keepn")); }

void CRTFWriter::SetPage(int left, int right, int top, int bottom)
{
  CString fragment;
  fragment.Format("\\paperw11906\\paperh16838\\margl%d\\margr%d\\margt%d\\margb%d ", left, right, top, bottom);
  Put(fragment);
}

void CRTFWriter::TabStops(int first, int step, int count)
{
  CString fragment;
  for (int i = 0; i < count; ++i) {
    fragment.AppendFormat("\\tx%d", first + i * step);
  }
  Put(fragment);
}

void CRTFWriter::WriteTabs(int count)
{
  CString fragment;
  for (int i = 0; i < count; ++i) {
    fragment += "\\tab";
  }
  Put(fragment);
}

void CRTFWriter::SetColours(int highlight, int textColour)
{
  CString fragment;
  if (highlight >= 0 && highlight <= 7) {
    fragment.Format(" \\highlight0\\cf%d\\highlight%d ", textColour + 1, highlight + 1);
  } else if (highlight == 8) {
    fragment.Format(" \\highlight0\\cf%d\\highlight%d ", 1, 5);
    fragment.AppendFormat(" \\highlight0\\cf%d ", 9);
  } else {
    return;
  }
  Put(fragment);
}

void CRTFWriter::SetFont(int font, int halfPoints, int bold)
{
  CString fragment;
  fragment.Format(bold != 0 ? "\\b\\f%d\\fs%d" : "\\b0\\f%d\\fs%d", font, halfPoints);
  Put(fragment);
}

void CRTFWriter::SetAlignment(int alignment)
{
  switch (alignment) {
  case 0: Put(CString("\\ql")); break;
  case 1: Put(CString("\\qc")); break;
  case 2: Put(CString("\\qr")); break;
  default: break;
  }
}

void CRTFWriter::WriteTable(const CRTFCellGrid& grid)
{
  const CRTFColumn& columns = grid.Columns();
  const int columnCount = columns.GetCount();
  const int rowCount = grid.Rows().GetCount();
  if (columnCount == 0 || rowCount == 0) {
    return;
  }
  CString table;
  table.Format(" \\par\\trowd\\trgaph%d\\trleft%d ", 50, 0);
  table += kRowBorders;
  for (int c = 0; c < columnCount; ++c) {
    table += kCellBorders;
    table.AppendFormat("\\cellx%ld ", static_cast<long>(columns.GetColumn(c).rightEdge));
  }
  table += "\\pard ";
  for (int r = 0; r < rowCount; ++r) {
    table += "\\intbl ";
    for (int c = 0; c < columnCount; ++c) {
      table += CellAlignmentWord(columns.GetColumn(c).format);
      table += grid.GetCell(r, c);
      table += "\\cell ";
    }
    table += "\\row ";
  }
  table += "\\pard ";
  Put(table);
}

void CRTFWriter::WriteBitmap(CBitmap* bitmap)
{
  if (bitmap == nullptr || m_open == 0) {
    return;
  }
  BITMAP description{};
  bitmap->GetBitmap(&description);
  CString head;
  head.Format("{\\pict\\wbitmap0\\pich%d\\picw%d\\wbmbitspixel%d\\wbmplanes%d\\wbmwidthbytes%d ",
              static_cast<int>(description.bmHeight), static_cast<int>(description.bmWidth),
              static_cast<int>(description.bmBitsPixel), static_cast<int>(description.bmPlanes),
              static_cast<int>(description.bmWidthBytes));
  // Wider than the text column of an A4 page in any reader's margins, the picture is set at the column's width.
  const long long naturalWidth = static_cast<long long>(description.bmWidth) * kTwipsPerPixel;
  if (naturalWidth > kTextColumnTwips && description.bmHeight > 0) {
    const long long goalHeight = static_cast<long long>(description.bmHeight) * kTwipsPerPixel * kTextColumnTwips /
                                 naturalWidth;
    head.Delete(head.GetLength() - 1);
    head.AppendFormat("\\picwgoal%d\\pichgoal%d ", kTextColumnTwips, static_cast<int>(goalHeight));
  }
  Put(head);

  const long long byteCount = description.bmHeight > 0 && description.bmWidthBytes > 0
                                  ? static_cast<long long>(description.bmHeight) * description.bmWidthBytes
                                  : 0;
  std::vector<BYTE> bits(static_cast<std::size_t>(byteCount));
  if (byteCount > 0 && description.bmBits != nullptr) {
    // A DIB section describes its own stored bytes; they are what the description's sizes count. Readers take
    // \wbitmap rows top row first, and a DIB section of positive height stores its bottom row first.
    const auto* stored = static_cast<const BYTE*>(description.bmBits);
    DIBSECTION section{};
    const bool bottomUp = bitmap->GetObject(sizeof(DIBSECTION), &section) == static_cast<int>(sizeof(DIBSECTION)) &&
                          section.dsBmih.biHeight > 0;
    const std::size_t stride = static_cast<std::size_t>(description.bmWidthBytes);
    const std::size_t rows = static_cast<std::size_t>(description.bmHeight);
    for (std::size_t row = 0; row < rows; ++row) {
      const BYTE* from = stored + (bottomUp ? rows - 1 - row : row) * stride;
      std::copy(from, from + stride, bits.begin() + static_cast<std::ptrdiff_t>(row * stride));
    }
  } else if (byteCount > 0) {
    bitmap->GetBitmapBits(static_cast<DWORD>(byteCount), bits.data());
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string digits;
  digits.resize(bits.size() * 2);
  for (std::size_t i = 0; i < bits.size(); ++i) {
    digits[2 * i] = kDigits[bits[i] >> 4];
    digits[2 * i + 1] = kDigits[bits[i] & 0x0F];
  }
  Put(digits.data(), digits.size());
  Put(CString("} "));
}

void CRTFWriter::Close()
{
  if (m_open == 0) {
    return;
  }
  Put(CString("\\par }"));
  if (m_memory == 0) {
    m_file->Close();
  }
  delete m_file;
  m_file = nullptr;
  m_memory = 0;
  m_open = 0;
  m_pageCount = 0;
}

void CRTFWriter::CloseIfOpen()
{
  if (m_open != 0) {
    Close();
  }
}

void CRTFColumn::AddColumn(int width, int format)
{
  m_width += width;
  m_columns.Add(ColumnFormat{m_width, format});
}

CRTFCellGrid::CRTFCellGrid(const CRTFRowList& rows, const CRTFColumn& columns) : m_rows(rows), m_columns(columns)
{
  m_cells.SetSize(static_cast<INT_PTR>(rows.GetCount()) * columns.GetCount());
}

void CRTFCellGrid::SetCell(const CString& text, int column, int row)
{
  if (static_cast<unsigned>(row) >= static_cast<unsigned>(m_rows.GetCount()) ||
      static_cast<unsigned>(column) >= static_cast<unsigned>(m_columns.GetCount())) {
    return;
  }
  m_cells[static_cast<INT_PTR>(row) * m_columns.GetCount() + column] = text;
}

CString CRTFCellGrid::GetCell(int row, int column) const
{
  return m_cells[static_cast<INT_PTR>(row) * m_columns.GetCount() + column];
}

CString FormatGroupedNumber(double value)
{
  const CString text = FormatTwoDecimals(value);
  std::string digits(text.GetString(), static_cast<std::size_t>(text.GetLength()));
  std::string sign;
  if (!digits.empty() && digits[0] == '-') {
    sign = "-";
    digits.erase(0, 1);
  }
  const std::size_t separator = digits.find_last_of(".,");
  const std::size_t integerEnd = separator == std::string::npos ? digits.size() : separator;
  std::string grouped;
  for (std::size_t i = 0; i < integerEnd; ++i) {
    const std::size_t fromSeparator = integerEnd - i;
    if (i > 0 && fromSeparator % 3 == 0) {
      grouped += ' ';
    }
    grouped += digits[i];
  }
  grouped += digits.substr(integerEnd);
  return CString((sign + grouped).c_str());
}

CString EscapeRtfText(const CString& text)
{
  CString escaped;
  for (int i = 0; i < text.GetLength(); ++i) {
    const char c = text[i];
    if (c == '\\' || c == '{' || c == '}') {
      escaped += '\\';
    }
    escaped += c;
  }
  return escaped;
}
