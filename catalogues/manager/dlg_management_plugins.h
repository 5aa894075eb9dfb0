// The catalogue manager "Управление каталогами": catalogues installed in the luminaire database on the right,
// catalogues the maker's index offers on the left; installing, updating and removing catalogues.
#pragma once

#include "catalogues/manager/catalogue_index.h"
#include "platform/gdiplus/gdiplus_holder.h"
#include "platform/gdiplus/picture_decode.h"
#include "platform/mfc/controls.h"
#include "toolkit/controls/resize_dialog.h"

#include <memory>
#include <vector>

struct IQorRoadDoc;

namespace ManagementPlugins {

// One catalogue of either list.
class CManufactInfo {
public:
  CManufactInfo() = default;
  // A copy carries the texts and flags; the picture stays with the original.
  CManufactInfo(const CManufactInfo& other);
  CManufactInfo& operator=(const CManufactInfo&) = delete;
  virtual ~CManufactInfo();

  // Keeps the picture as a GDI bitmap, transparent pixels laid over the list's white.
  void SetPicture(const gdiplus::DecodedPicture& picture);

  CString m_id;
  CString m_name;
  CString m_trademark;
  int m_date = 0;
  int m_updateAvailable = 0;
  int m_updateChosen = 0;
  int m_pictureWidth = 0;
  int m_pictureHeight = 0;
  HBITMAP m_picture = nullptr;
};

// What the index thread hands to the dialog for the offered list.
struct OfferedEntry {
  OfferedCatalogue catalogue;
  gdiplus::DecodedPicture picture;
};

// The parameter of one download run; the download thread deletes it.
class CLoadPlaginInfo {
public:
  virtual ~CLoadPlaginInfo() = default;
  std::vector<CManufactInfo> m_entries;
  HWND m_dialog = nullptr;
};

class CDlgManagementPlugins : public CTKResizeDialog {
public:
  static constexpr int kItemHeight = 54;
  static constexpr int kTextInsetWithoutPicture = 6;

  // An owner-drawn list of catalogues. Its entries are touched only by the dialog's thread: the index thread
  // hands what it reads over by message.
  class CListBoxManuf : public CListBox {
  public:
    CListBoxManuf();
    ~CListBoxManuf() override;

    void Clear();
    void Append(std::unique_ptr<CManufactInfo> entry);
    // The entry of a list item (its item data), or null.
    CManufactInfo* EntryOfItem(int item);
    CManufactInfo* SelectedEntry();
    std::vector<std::unique_ptr<CManufactInfo>>& Entries() { return m_entries; }
    bool IsPictureDecoding() const { return m_gdiplus.IsStarted(); }
    void Draw(const DRAWITEMSTRUCT& draw);
    // Toggles the update tick of the selected entry when it has an update; true when it did.
    bool ToggleSelectedUpdate();

    bool m_active = false;

  protected:
    void OnLButtonUp(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()

  private:
    std::vector<std::unique_ptr<CManufactInfo>> m_entries;
    GdiPlusClass m_gdiplus;
    HICON m_unticked = nullptr;
    HICON m_ticked = nullptr;
  };

  CDlgManagementPlugins(CWnd* parent, IQorRoadDoc* document);
  ~CDlgManagementPlugins() override;

  BOOL OnInitDialog() override;
  // Enter never closes the dialog.
  void OnOK() override {}
  // "Закрыть": both threads are stopped first.
  void OnCancel() override;

  int m_busy = 0;
  IQorRoadDoc* m_document;
  CListBoxManuf m_offered;
  CListBoxManuf m_installed;

protected:
  LRESULT OnReadIndex(WPARAM, LPARAM);
  LRESULT OnStopIndex(WPARAM, LPARAM);
  LRESULT OnStatus(WPARAM, LPARAM text);
  LRESULT OnProgress(WPARAM percent, LPARAM);
  LRESULT OnPaintInstalled(WPARAM, LPARAM);
  LRESULT OnPaintOffered(WPARAM, LPARAM);
  LRESULT OnButtons(WPARAM, LPARAM);
  LRESULT OnStopDownload(WPARAM, LPARAM);
  LRESULT OnDownload(WPARAM, LPARAM);
  LRESULT OnInstall(WPARAM, LPARAM path);
  LRESULT OnAskUpdates(WPARAM, LPARAM);
  LRESULT OnClearOffered(WPARAM, LPARAM);
  LRESULT OnAddOffered(WPARAM, LPARAM entry);
  LRESULT OnMarkUpdate(WPARAM, LPARAM id);
  LRESULT OnDrawItem(WPARAM, LPARAM);
  LRESULT OnMeasureItem(WPARAM, LPARAM);
  void OnAdd();
  void OnRemove();
  void OnFromFile();
  void OnUpdate();
  void OnOfferedSelChange();
  void OnOfferedSetFocus();
  void OnInstalledSelChange();
  void OnInstalledSetFocus();
  void OnSize(UINT type, int cx, int cy);
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  void FillInstalled();
  void Layout(int width, int height);
  void StartDownload(std::unique_ptr<CLoadPlaginInfo> run);
  void SetActiveList(CListBoxManuf& active);
};

// The dialog run modally over `parent` (the main window): the one call the main frame's command makes.
INT_PTR RunCatalogueManager(HWND parent, IQorRoadDoc* document);

// Whether a worker thread of the manager is running now.
bool IsIndexThreadRunning();
bool IsDownloadThreadRunning();
// How long closing waits for a worker to stop, handling the messages sent to it meanwhile (milliseconds).
inline constexpr DWORD kStopWaitMilliseconds = 5000;
// The question about updates comes once per program run; tests start a new run.
void ResetUpdateQuestionForNewRun();

}  // namespace ManagementPlugins
