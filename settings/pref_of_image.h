// The page "Изображение": how results are drawn (isolines, plain fill, node values, false colours), the scale
// type, and an open site's calculation grid mode and step, which reach the area only through the dialog's opener.
#pragma once

#include "model/pref_of_color.h"
#include "settings/pref_page.h"

#include <memory>

namespace Options {

// The in-place editor of a level: tells its parent (0x8206) when it loses the focus.
class CInpEdit : public CEdit {
public:
  static constexpr UINT kId = 290;

protected:
  void OnKillFocus(CWnd* pNewWnd);
  DECLARE_MESSAGE_MAP()
};

// A colour button of the false-colour scale: owner-drawn in its face colour.
class CColourButton : public CButton {
public:
  COLORREF m_face = RGB(192, 192, 192);
};

class CPrefOfImage : public CPrefPage {
public:
  static constexpr int kScaleEntries = 9;

  static constexpr UINT kGridMode = 1034;
  static constexpr UINT kGridStep = 1082;

  CPrefOfImage(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options);

  BOOL OnInitDialog() override;
  // Every control from the private options; run whenever the page is shown.
  void Refresh();
  void SetDisplayType(int type);

  void OnOK() override;
  // The user's levels of the quantity chosen in the level tab, sorted, into the list.
  void FillLevels();
  void OnAddLevel();
  void OnDeleteLevel();
  void OnResetLevels();
  // "Редактировать" or a double click: the selected level edited in place over its row.
  void OnEditLevel();
  // 0x8206: wParam not 0 cancels; otherwise the typed value replaces the selected level.
  LRESULT OnEndLevelEdit(WPARAM wParam, LPARAM lParam);
  int LevelQuantity() const;
  CInpEdit* GetLevelEditor() const { return m_editor.get(); }

  // The false-colour scale of the quantity chosen in the scale tab (none when the area shows no quantity).
  int ScaleQuantity() const;
  CArray<_PREF_OF_COLOR_LEVELS>* CurrentScale() const;
  void ShowScale(bool normalise);
  // The value edit of `position` read into the current scale; 1 when it stored a value.
  int CommitScaleEdit(int position, bool messages, bool normalise);
  void OnScaleColour(UINT id);
  void OnInterpolateLinear() { Interpolate(false); }
  void OnInterpolateLogarithmic() { Interpolate(true); }
  void OnResetScale();

  BOOL m_bGridModeChanged = FALSE;
  BOOL m_bGridStepChanged = FALSE;
  BOOL m_bViewChanged = FALSE;

protected:
  void OnIsolines();
  void OnNodeValues();
  void OnFalseColours();
  void OnGridModeChange();
  void OnGridStepChange();
  void OnScaleUniform();
  void OnScaleLogarithmic();
  LRESULT OnNormaliseScales(WPARAM, LPARAM);
  void OnUserLevels();
  void OnLevelSelChange() { UpdateLevelButtons(); }
  void OnLevelTabChanging(NMHDR* pNotify, LRESULT* pResult);
  void OnLevelTabChanged(NMHDR* pNotify, LRESULT* pResult);
  void UpdateLevelButtons();
  void ShowLevelPanel(bool show);
  void ShowScalePanel(bool show);
  void NormaliseScales();
  void Interpolate(bool logarithmic);
  void OnSortScale() { ShowScale(true); }
  void OnInterpolationMenu();
  void OnScaleEditKillFocus(UINT id);
  void OnScaleTabChanging(NMHDR* pNotify, LRESULT* pResult);
  void OnScaleTabChanged(NMHDR* pNotify, LRESULT* pResult);
  LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  CArray<float>* Levels() const;

  std::unique_ptr<CInpEdit> m_editor;
  std::unique_ptr<CInpEdit> m_retiredEditor;
  bool m_bEndingEdit = false;
  CEdit m_scaleEdits[kScaleEntries];
  CColourButton m_scaleButtons[kScaleEntries];
  bool m_bCommitting = false;
  void ShowStep(bool show);
  void Changed();
  DECLARE_MESSAGE_MAP()
};

// A typed number as the settings pages read it: ',' for '.', only "-.0123456789", a '-' only first and not alone.
// An empty text reads as 0 (with an edit given, "0" is put into it). False, with 0, for a refused text.
bool ParseNumberText(const CString& text, CWnd* edit, double* value);

// Pads every current and default false-colour scale shorter than nine entries from the default scale of its
// quantity (or, when that is short too, from the built-in one), so that no scale is read past its end.
void PadColourScales(IVisualOpt* options);

}  // namespace Options
