#include "report/view/user_preview_view.h"

#include "model/doc_interface.h"
#include "model/shell/shell_services.h"
#include "platform/base/paths.h"
#include "platform/mfc/commdlg.h"
#include "platform/mfc/msgbox.h"
#include "report/view/report_help.h"
#include "report/view/report_view.h"
#include "res/program_ids.h"

#include <filesystem>

namespace {

// The part of a path after its last separator; the whole path without one.
CString FileNameOf(const CString& path)
{
  const int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
  return slash < 0 ? path : path.Mid(slash + 1);
}

}  // namespace

CString DefaultProtocolFileName(const CString& documentTitle)
{
  CString name = documentTitle;
  int at = name.Find(".qorr4");
  if (at < 0) {
    at = name.Find(".qorr5");
  }
  if (at > 0) {
    name = name.Left(at);
  }
  CString result;
  result.Format("%s (протокол)", name.GetString());
  return result;
}

IMPLEMENT_DYNCREATE(CUserPreviewView, CPreviewView)

BEGIN_MESSAGE_MAP(CUserPreviewView, CPreviewView)
  ON_COMMAND(res::program::ID_PREVIEW_HELP, &CUserPreviewView::OnHelp)
  ON_COMMAND(res::program::ID_PREVIEW_EXPORT_RTF, &CUserPreviewView::OnExportRtf)
END_MESSAGE_MAP()

void CUserPreviewView::OnInitialUpdate() { CView::OnInitialUpdate(); }

void CUserPreviewView::OnHelp() { ShowProgramHelp(this, 630); }  // "Печать протокола"

void CUserPreviewView::OnExportRtf()
{
  auto* report = dynamic_cast<VisualCtrl::CReportView*>(m_pPrintView);
  if (report == nullptr) {
    return;
  }
  CString title;
  if (report->m_document != nullptr) {
    report->m_document->GetTitle(&title);
  }
  const CString defaultName = DefaultProtocolFileName(title);
  for (;;) {
    // A new file may be named: the question below handles the one that exists.
    CFileDialog dialog(FALSE, "rtf", defaultName, OFN_HIDEREADONLY, "Текст в формате RTF (*.rtf)|*.rtf||",
                       CWnd::FromHandle(Shell::GetMainWindow()));
    if (dialog.DoModal() != IDOK) {
      return;
    }
    const CString path = dialog.GetPathName();
    std::error_code error;
    const bool exists = std::filesystem::exists(platform::ToFileSystemPath(path.GetString()), error);
    CString shownName = path;
    if (exists) {
      shownName = FileNameOf(path);
      CString question;
      question.Format("Заменить существующий файл %s?", shownName.GetString());
      const int answer = AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
      if (answer == IDNO) {
        continue;
      }
      if (answer != IDYES) {
        return;
      }
    }
    CString reason;
    if (report->ExportRtf(path, &reason)) {
      if (Shell::GetAnalyticsModule() != nullptr) {
        Shell::RegisterAnalyticsEvent("Протокол.Просмотр", "Экспорт", "Формат RTF", 0, 1);
      }
    } else {
      CString message;
      message.Format("Невозможно сохранить отчёт в файле %s: %s.", shownName.GetString(), reason.GetString());
      AfxMessageBox(message, MB_OK | MB_ICONSTOP);
    }
    return;
  }
}
