// The table of report items the visual options own: which sections the calculation report carries.
#pragma once

#include "platform/mfc-core/array.h"
#include "platform/mfc-core/mfcstring.h"

#include <cstdint>

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
  BOOL GetItem(int id, tag_ITEM_PREF_OF_REPORT* out) const;
  // The state of the item with this id from `row`; FALSE when there is no such item.
  BOOL SetItemState(int id, const tag_ITEM_PREF_OF_REPORT* row, BOOL tree);
  // The framework's array form: the count, then the 268-byte records.
  void Serialize(CArchive& ar);

  const CArray<tag_ITEM_PREF_OF_REPORT>& Items() const { return m_items; }

  // The report page's tree control while that page is shown, else null; never copied or stored.
  CWnd* m_tree = nullptr;

private:
  CArray<tag_ITEM_PREF_OF_REPORT> m_items;
};
