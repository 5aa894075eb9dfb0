// The frame of the calculation protocol: how a build starts and ends, which report items switch which section on,
// the fixed order of the sections, the title page, the contents, the heading forms, result pictures, progress,
// the statistics records of printed protocols and the analytics events. The sections themselves write between
// these fixed points through CProtocolSections.
#pragma once

#include "graphics/core/model_ref.h"
#include "model/class_of.h"
#include "model/iarea.h"
#include "model/iresults.h"
#include "platform/base/hresult.h"
#include "platform/mfc-core/array.h"
#include "platform/mfc-core/mfcstring.h"

#include <initializer_list>
#include <string>
#include <vector>

class CPreferencesOfReport;
class CRTFWriter;
class CStandardsOfRoad;
class CWnd;
struct IGroupOfDev;
struct IProject;
struct IQorRoadDoc;
struct IStatisticsRecord;
struct IStatisticsSession;
struct IVisualOpt;

// The protocol's margins (twips): room for binding on the left, the header at the top; the footer's room at the
// bottom of an exported page.
inline constexpr struct {
  int left, top, right, bottom;
} kProtocolMargins{1700, 1250, 500, 1000};

// Report item ids.
inline constexpr int kItemTitlePage = 100;
inline constexpr int kItemRoadData = 101;
inline constexpr int kItemGroupData = 102;
inline constexpr int kItemPlacement = 103;
inline constexpr int kItemLuminaire = 104;
inline constexpr int kItemResults = 105;
inline constexpr int kItemSummary = 106;
inline constexpr int kItemEconomics = 600;

// One entry of the contents, appended when its section starts.
struct _tgCONTENT {
  int tabsBefore;
  char text[260];  // an RTF group such as "{Параметры дороги}"
  int bold;
  int tabsAfter;
  int page;  // 0: no page number
  int lineBreaks;
};

// What one build holds while its sections write.
class CProtocolFrame {
public:
  CProtocolFrame(IQorRoadDoc* document, CRTFWriter& writer, IStatisticsSession* statistics, int print);
  ~CProtocolFrame();
  CProtocolFrame(const CProtocolFrame&) = delete;
  CProtocolFrame& operator=(const CProtocolFrame&) = delete;

  // A section is written when its item's state is not 0; an item missing from the table is off.
  BOOL ItemOn(int id) const;
  int ItemState(int id) const;

  // The page of an entry that starts now: the writer's page breaks plus one.
  int CurrentPage() const;
  void AddContent(int tabsBefore, const CString& text, int bold, int tabsAfter, int page, int lineBreaks);
  const CArray<_tgCONTENT>& Contents() const { return m_contents; }

  // The heading forms every section uses; a heading's parts are texts and runs of "\\tab", written as tabs.
  void SectionHeading(std::initializer_list<const char*> textsAndTabs);
  void SubHeading(const CString& text, int tabs);
  void BodyText();

  // Progress to the main frame (0 hides the bar); sent only when the main window is a frame window.
  static void Progress(int percent);

  // One picture of `width` x `height` into the document: the view-mode word set, the bitmap rendered by the
  // application's view and written.
  void WritePicture(DWORD viewMode, int width, int height, IGroupOfDev* group);
  // Only the picture: the view-mode word set, the bitmap rendered and written.
  void WriteRenderedBitmap(DWORD viewMode, int width, int height, IGroupOfDev* group);

  // The statistics entry of one switched-on group, with its luminaire count.
  void StatisticsEntry(IGroupOfDev* group, int count);

  CRTFWriter& writer;
  IQorRoadDoc* const document;
  const int print;

  ModelRef<IVisualOpt> options;
  const CPreferencesOfReport* preferences = nullptr;
  ModelRef<IProject> project;
  ModelRef<IArea> area;
  CStandardsOfRoad* norms = nullptr;
  ModelRef<IResultsOfCalc> results;

  // Flags worked out once at the start of a straight-road build.
  bool roadShown = false;
  bool sidewalksShown = false;
  bool wallsShown = false;
  bool hasNorms = false;
  // Groups whose title the luminaire section wrote in place of the placement section.
  int luminaireTitles = 0;

  // Where the group walk of an open site stands: the parent whose sub-groups are walked (null for a top-level
  // group), its placement scheme, the sub-group's index, and whether the group is the first written of its
  // top-level group (its identity and luminaire are written only then).
  IGroupOfDev* walkParent = nullptr;
  int walkParentScheme = 0;
  int subGroupIndex = 0;
  bool groupIdentity = true;
  // The luminaires (by their database key) whose section was written.
  std::vector<std::string> describedLuminaires;

private:
  friend int BuildProtocol(IQorRoadDoc*, CRTFWriter&, int&, IStatisticsSession*, int, class CProtocolSections*, bool);
  void StatisticsBegin(IStatisticsSession* statistics);
  void StatisticsEnd();
  // A failing statistics call is told once; the build goes on without statistics.
  bool StatisticsFailed(HRESULT code);
  void TitlePage();
  void WriteContents();

  IStatisticsSession* m_statistics = nullptr;
  IStatisticsRecord* m_record = nullptr;
  bool m_statisticsBroken = false;
  CArray<_tgCONTENT> m_contents;
};

// The display state a section of pictures changes, saved when it starts and put back when it ends, so that after
// a build the view shows what it showed before. Result sections switch the print mode on and the observer to the
// user-chosen one; placement pictures change only the result display, the print mode and the view-mode word, and
// hide the results while they draw.
class CPictureSection {
public:
  enum class Kind { Results, Placement };
  CPictureSection(CProtocolFrame& frame, Kind kind);
  ~CPictureSection();
  CPictureSection(const CPictureSection&) = delete;
  CPictureSection& operator=(const CPictureSection&) = delete;

  // A picture with this result display (0 isolines, 1 filled, 2 filled with node values, 3 false colours) and
  // quantity (0 luminance, 1 illuminance, 2 semi-cylindrical); a page break before every picture but the first.
  void Picture(DWORD viewMode, int display, int quantity, int width, int height, IGroupOfDev* group);
  // Puts the saved state back now rather than when the section ends; once.
  void Restore();

private:
  CProtocolFrame& m_frame;
  Kind m_kind;
  int m_pictures = 0;
  DWORD m_viewMode = 0;
  int m_display = 0;
  int m_quantity = 0;
  int m_autoObserver = 0;
  int m_shownObserver = 0;
  int m_valid = 0;
  bool m_restored = false;
};

// The sections between the frame's fixed points (straight road, or open site and interchange). Each answers
// whether it wrote, since only a section that wrote sends its progress.
class CProtocolSections {
public:
  virtual ~CProtocolSections() = default;
  virtual bool InputData(CProtocolFrame&) { return false; }      // item 101, then progress 15
  virtual bool GroupData(CProtocolFrame&) { return false; }      // item 102, then progress 20
  virtual void Group(CProtocolFrame&, IGroupOfDev*) {}           // items 103 and 104 of one group
  virtual bool Summary(CProtocolFrame&) { return false; }        // items 105 and 106, then progress 50
  virtual void Results(CProtocolFrame&) {}                        // the result sections with their own progress
  virtual void EconomicSection(CProtocolFrame&) {}                // item 600
};

// The report view's protocol builders over its writer and never-built flag; sections may be null (the frame
// alone). 0 when the writer was open already or cannot be opened, else 1 with the writer left open.
int BuildFullReport(IQorRoadDoc* document, CRTFWriter& writer, int& neverBuilt, IStatisticsSession* statistics,
                    int print, CProtocolSections* sections);
int BuildFullReport30(IQorRoadDoc* document, CRTFWriter& writer, int& neverBuilt, IStatisticsSession* statistics,
                      int print, CProtocolSections* sections);

// The application's OpenGL view that renders report pictures; null without a frame window as main window.
CWnd* GetActiveReportView();

// The mark of contents entry `entry` where its section starts ("section<entry>"), whose page the contents' page
// field of the entry shows.
CString SectionMark(INT_PTR entry);

// The contents title of a group, "{Группа ОП: name}", at most 254 characters: the name escaped and, when the title
// would be longer, cut at a character boundary and ended with "…".
CString GroupTitle(const CString& name);

// The label of an open site's kind in the protocol: by typical form, empty for form 6 and for a negative form.
CString AreaTypeLabel(int typicalForm);
