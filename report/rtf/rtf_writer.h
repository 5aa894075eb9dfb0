// The report's RTF writer: every document of the report (results summary, protocol, cost table) is appended
// fragment by fragment to a memory file that the owning view streams into its rich-edit control.
//
// Bytes, in the order a document holds them:
//   head     "{\rtf1\ansi\ansicpg1251" colour table (9 entries, entry 8 the window background at Open),
//            font table (f0 default .. f4 Arial CYR charset 204), "\pard "
//   body     fragments exactly as each operation below writes them, nothing in between
//   end      "\par }" written by Close
// Texts are RTF fragments in code page 1251 and are written as they are: text that comes from the user or a
// catalogue goes through EscapeRtfText first. The document is shown before Close, i.e. without its last brace.
#pragma once

#include "platform/mfc-core/array.h"
#include "platform/mfc-core/mfcstring.h"

#include <cstdint>

class CMemFile;
class CBitmap;
class CRTFCellGrid;

// A node table written as text: its coordinate column and its node columns stand at tab stops of their own, and a
// block of it fits the text column of an A4 page in any reader's margins.
inline constexpr int kNodeCoordinateTwips = 1000;
inline constexpr int kNodeColumnTwips = 720;
inline constexpr int kNodeColumnsPerBlock = 10;

class CRTFWriter {
public:
  CRTFWriter() = default;
  CRTFWriter(const CRTFWriter&) = delete;
  CRTFWriter& operator=(const CRTFWriter&) = delete;
  ~CRTFWriter() { CloseIfOpen(); }

  // 0 when open already or the memory file cannot be made; else writes the head and answers 1.
  int Open();
  // The text braced as "{%s}" unless empty or already starting with "{" or ending with "}".
  void WriteText(const CString& text);
  // The text broken into lines of `width` characters; answers the number of line breaks inserted.
  int WriteWrappedText(const CString& text, int width, int tolerance, int separators, int tabs, int spaces);
  void WriteLineBreaks(int count);
  void NewPage();
  void BeginParagraph(int alignment);
  void EndParagraph();
  // "\keepn": the paragraph begun stays on the page of the one that follows it.
  void KeepWithNext();
  // The page the document is set on: A4 portrait with these margins (twips).
  void SetPage(int left, int right, int top, int bottom);
  // Left tab stops of the current paragraph: `count` stops from `first`, `step` twips apart.
  void TabStops(int first, int step, int count);
  void WriteTabs(int count);
  // Highlight 0-7 with text colour t; 8 resets to black on white without highlight; above 8 nothing.
  void SetColours(int highlight, int textColour);
  void SetFont(int font, int halfPoints, int bold);
  // 0 left, 1 centre, 2 right, anything else nothing.
  void SetAlignment(int alignment);
  void WriteTable(const CRTFCellGrid& grid);
  // The bitmap's device-dependent bits as a \wbitmap picture; nothing for null.
  void WriteBitmap(CBitmap* bitmap);
  // "\par }" and the memory file discarded; the page count back to 0.
  void Close();
  void CloseIfOpen();

  BOOL IsOpen() const { return m_open != 0; }
  // The page breaks written since Open; the protocol numbers its contents with it.
  int GetPageCount() const { return m_pageCount; }
  void SetPageCount(int pages) { m_pageCount = pages; }
  // The document so far, null while closed; the owning view rewinds and streams it.
  CMemFile* GetFile() const { return m_file; }

private:
  void Put(const CString& fragment);
  void Put(const char* bytes, std::size_t count);

  CMemFile* m_file = nullptr;
  int m_memory = 0;
  int m_open = 0;
  int m_pageCount = 0;
};

// Column right edges (twips, cumulative) and alignments of one table.
class CRTFColumn {
public:
  struct ColumnFormat {
    int rightEdge;
    int format;  // 0 left, 1 centre, 2 right, other: no alignment word
  };
  void AddColumn(int width, int format);
  int GetCount() const { return static_cast<int>(m_columns.GetSize()); }
  const ColumnFormat& GetColumn(int index) const { return m_columns[index]; }

private:
  int m_width = 0;
  CArray<ColumnFormat> m_columns;
};

class CRTFRowList {
public:
  void AddRow() { m_rows.Add(m_rowFormat); }
  int GetCount() const { return static_cast<int>(m_rows.GetSize()); }

private:
  std::uint32_t m_rowFormat = 0;
  CArray<std::uint32_t> m_rows;
};

// The cell texts of one table, row-major. Sized once from the lists, which must outlive it and not grow.
class CRTFCellGrid {
public:
  CRTFCellGrid(const CRTFRowList& rows, const CRTFColumn& columns);
  // Cells outside the lists are ignored (negative indices too).
  void SetCell(const CString& text, int column, int row);
  CString GetCell(int row, int column) const;
  const CRTFRowList& Rows() const { return m_rows; }
  const CRTFColumn& Columns() const { return m_columns; }

private:
  const CRTFRowList& m_rows;
  const CRTFColumn& m_columns;
  CArray<CString> m_cells;
};

// A money amount with a space before every group of three integer digits: 1234567.5 gives "1 234 567.5".
// A minus sign stays in front of the digits ("-1 234.5").
CString FormatGroupedNumber(double value);

// Text from the user or a catalogue made safe to put into RTF: "\", "{" and "}" escaped.
CString EscapeRtfText(const CString& text);
