// The raster binding dialog (728): a 24-bit BMP shown in a resizable dialog, a segment of known length drawn
// on it and its length typed in metres give the plan size of the whole picture; a plan over 2000 m on a side is
// refused. OK stores the picture in the raster store and tiles it over that size, or unbinds it.
#pragma once

#include "graphics/raster/raster_viewer.h"
#include "platform/mfc/afxcmn.h"
#include "platform/mfc/toolbar.h"
#include "toolkit/controls/resize_dialog.h"

#include <memory>

class CGraphicCore;
class CRasterStore;
class CWiseEdit;
struct IQorRoadDoc;

// The length field: digits, one decimal separator ("," or "."), at most six characters.
class CNumericEdit : public CEdit {
public:
  explicit CNumericEdit(CWiseEdit* owner) : m_owner(owner) {}
  void ParseValue();

  CString m_text;
  double m_value = 0;

protected:
  void OnChar(UINT key, UINT repeat, UINT flags);
  CWiseEdit* m_owner;
  DECLARE_MESSAGE_MAP()
};

// The length field with the plan's length and width beside it, red where a side is too long.
class CWiseEdit : public CStatic {
public:
  // Size-check bits: the plan length, the plan width over the limit.
  static constexpr int kLengthTooLong = 2;
  static constexpr int kWidthTooLong = 4;

  CWiseEdit() : m_edit(this) {}
  BOOL CreateIn(CWnd* parent, const RECT& rect, class CRasterManagerDlg* dialog);
  void CreateChildren();
  void Layout();
  void ShowPlanSize(double length, double width);
  // The edit's value was read: the plan checked and shown again.
  void OnValueChanged();

  CNumericEdit m_edit;
  CStatic m_lengthLabel;
  CStatic m_widthLabel;
  CFont m_editFont;
  CFont m_labelFont;
  int m_sizeCheck = 0;
  CRasterManagerDlg* m_dialog = nullptr;

protected:
  void OnSize(UINT type, int cx, int cy);
  void OnEnable(BOOL enable);
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
  DECLARE_MESSAGE_MAP()
};

// A toolbar whose buttons the owning dialog's update handlers enable and press.
class CWiseToolBar : public CToolBar {
public:
  void UpdateFrom(CCmdTarget* dialog);
  CWiseEdit m_wiseEdit;
};

class CRasterManagerDlg : public CTKResizeDialog {
public:
  static constexpr double kMaxPlanSide = 2000;
  static constexpr char kPlacementSection[] = "RasterManagerDgl";

  CRasterManagerDlg(CWnd* parent, IQorRoadDoc* document, int rasterId, const CString& path);
  ~CRasterManagerDlg() override;

  // 0 within the limit, else kLengthTooLong | kWidthTooLong as they exceed it; fills the plan size.
  int CheckPlanSize();
  void Layout();
  void ShowCurrentRaster();
  void LoadFile();
  void CreateToolBar();
  // The toolbar's buttons from the update handlers; the dialog idles through this too.
  void UpdateButtons();

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  IQorRoadDoc* m_document;
  CString m_path;
  std::unique_ptr<CRasterViewer> m_viewer;
  CWiseToolBar m_toolbar;
  double m_planLength = 0;
  double m_planWidth = 0;
  int m_rasterId;
  CGraphicCore* m_core = nullptr;
  CRasterStore* m_store;
  CProgressCtrl m_progress;
  int m_changed = 0;
  int m_unbound = 0;

protected:
  void OnSize(UINT type, int cx, int cy);
  void OnDestroy();
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  LRESULT OnKickIdle(WPARAM, LPARAM);
  void OnOpen();
  void OnUnbind();
  void OnRestoreSize();
  void OnZoomIn();
  void OnZoomOut();
  void OnMove();
  void OnSegment();
  void OnHelp();
  void OnUpdateUnbind(CCmdUI* ui);
  void OnUpdateMove(CCmdUI* ui);
  void OnUpdateSegment(CCmdUI* ui);
  void OnUpdateLength(CCmdUI* ui);
  void OnUpdateOK(CCmdUI* ui);
  // Drops the viewer's raster unless the store holds it.
  void DropUnstoredRaster();
  DECLARE_MESSAGE_MAP()
};
