// The customised bars as one stream: the list of bars to write (toolbars that differ from what the program
// builds, and the popup bars their controls open), each bar's and control's named values, and the merge of the
// bars read back into the running command bars. Popup bars travel once, by bar id; controls find them again by
// that id after loading.
#pragma once

#include "platform/mfc-core/object.h"
#include "platform/mfc/types.h"

#include <vector>

class CTKCommandBar;
class CTKCommandBars;

// What saving or loading the bar state hands every bar and control (the exchange's owner).
class TK_BARSTATE_CONTEXT : public CObject {
public:
  BOOL bSaveOnlyCustomized = TRUE;
  BOOL bSilent = FALSE;
  BOOL bSaveOriginalControls = TRUE;
  CTKCommandBars* pCommandBars = nullptr;
};

// The question asked before a customisation replaces a built-in bar that changed since (the bar's title).
inline constexpr UINT TK_IDS_CONFIRM_RESTORE = 9394;

// Ids at or above it mark bars that had no id of their own (popup bars), renumbered on every save.
inline constexpr UINT TK_FIRST_GENERATED_BAR_ID = 0x1000000;

// Bars of one save or load, one reference each.
class CTKCommandBarList {
public:
  CTKCommandBarList() = default;
  ~CTKCommandBarList();
  CTKCommandBarList(const CTKCommandBarList&) = delete;
  CTKCommandBarList& operator=(const CTKCommandBarList&) = delete;

  // Takes a reference.
  void AddTail(CTKCommandBar* pBar);
  BOOL Lookup(CTKCommandBar* pBar) const;
  // The first bar with the id; null when none.
  CTKCommandBar* FindCommandBar(UINT nBarID) const;
  int GetCount() const { return static_cast<int>(m_bars.size()); }
  CTKCommandBar* GetAt(int nIndex) const { return m_bars[static_cast<size_t>(nIndex)]; }

private:
  std::vector<CTKCommandBar*> m_bars;
};

// Whether the exchange's owner is a bar-state context; null otherwise.
TK_BARSTATE_CONTEXT* TKBarStateContext(CObject* pOwner);
