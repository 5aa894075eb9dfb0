// The table of report items the visual options own: which sections the calculation report carries.
#pragma once

#include "platform/mfc-core/array.h"
#include "platform/mfc-core/mfcstring.h"

#include <cstdint>
#include <initializer_list>

class CArchive;
class CWnd;

// One report item; its file form is exactly these 268 bytes: id, caption as 256 bytes of zero-terminated text,
// state, tree item (32-bit).
struct tag_ITEM_PREF_OF_REPORT {
  std::int32_t id;
  char caption[256];
  std::int32_t state;  // 0 off; other states as the settings dialog's report page has them
  std::int32_t treeItem;
};

class CPreferencesOfReport {
public:
  static constexpr int kRecordBytes = 268;

  CPreferencesOfReport();
  ~CPreferencesOfReport();
  CPreferencesOfReport(const CPreferencesOfReport&) = delete;
  CPreferencesOfReport& operator=(const CPreferencesOfReport&) = delete;

  // The 34 default items.
  void SetDefaults();
  // This table's records become a copy of the other's; the tree is not copied.
  void Assign(const CPreferencesOfReport& other);
  // The first row with the id; without one, `out` reads as that id, off, no tree item (its caption untouched) and
  // the answer is FALSE.
  BOOL GetItem(int id, tag_ITEM_PREF_OF_REPORT* out) const;
  // The first row with the id takes `row`'s caption, state and tree item; FALSE, with nothing changed, when there
  // is no such row. With `propagate` the rows that depend on it follow first: parents take off, on or partly on
  // from their parts, a section's parts follow the section, and of the observer pair 206/207 one is chosen.
  BOOL SetItemState(int id, const tag_ITEM_PREF_OF_REPORT* row, BOOL propagate);
  // The framework's array form: the count, then the 268-byte records.
  void Serialize(CArchive& ar);

  const CArray<tag_ITEM_PREF_OF_REPORT>& Items() const { return m_items; }

  // The report page's tree control while that page is shown, else null; never copied or stored.
  CWnd* m_tree = nullptr;

private:
  tag_ITEM_PREF_OF_REPORT* Find(int id);
  int StateOf(int id) const;
  void Store(int id, int state);
  void Recompute(int parent, std::initializer_list<int> parts, int settingId, int state);
  void Propagate(int id, int state);
  static bool EndsWithSummary(int id);

  CArray<tag_ITEM_PREF_OF_REPORT> m_items;
};
