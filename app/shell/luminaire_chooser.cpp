#include "app/shell/luminaire_chooser.h"

#include "model/doc_interface.h"
#include "model/servers.h"
#include "platform/mfc/winapp.h"

#include <cstdio>

namespace shell {

BEGIN_MESSAGE_MAP(CDlgChooseLuminaire, CDialog)
  ON_LBN_DBLCLK(IDC_LUMINAIRE_LIST, &CDlgChooseLuminaire::OnListDoubleClick)
END_MESSAGE_MAP()

CDlgChooseLuminaire::CDlgChooseLuminaire(CWnd* pParent, std::vector<std::string> lines, int selected)
    : CDialog(IDD_CHOOSE_LUMINAIRE, pParent), m_nChosen(selected), m_lines(std::move(lines))
{
}

BOOL CDlgChooseLuminaire::OnInitDialog()
{
  CDialog::OnInitDialog();
  m_list.SubclassDlgItem(IDC_LUMINAIRE_LIST, this);
  for (const std::string& line : m_lines)
    m_list.AddString(line.c_str());
  if (m_nChosen >= 0 && m_nChosen < m_list.GetCount())
    m_list.SetCurSel(m_nChosen);
  m_list.SetFocus();
  return FALSE;
}

void CDlgChooseLuminaire::OnOK()
{
  m_nChosen = m_list.GetCurSel();
  CDialog::OnOK();
}

void CDlgChooseLuminaire::OnListDoubleClick()
{
  if (m_list.GetCurSel() >= 0)
    OnOK();
}

std::string LuminaireLine(const qorsrv::LuminaireRecord& record)
{
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, ", %g Вт, %g лм", record.lampPower * record.lampCount,
                record.lampFlux * record.lampCount);
  std::string line = record.luminaireMaker;
  if (!line.empty())
    line += "  ";
  line += record.luminaireName;
  if (!record.lampType.empty())
    line += ", " + record.lampType;
  return line + numbers;
}

LONG CProgramLuminaireChooser::ChooseLuminaire(ILuminaireDatabase* database, const char* currentKey)
{
  LONG count = 0;
  if (!database || database->LuminaireDbGetCount(&count) != S_OK || count <= 0)
    return -1;
  std::string current = currentKey ? currentKey : "";
  qorsrv::LuminaireRecord* record = nullptr;
  if (database->LuminaireDbGetLuminaire(&record, -1, 0) == S_OK && record)
    current = record->textA;
  std::vector<std::string> lines;
  int selected = -1;
  for (LONG i = 0; i < count; ++i) {
    record = nullptr;
    if (database->LuminaireDbGetLuminaire(&record, i, 0) != S_OK || !record)
      return -1;
    if (record->textA == current)
      selected = static_cast<int>(i);
    lines.push_back(LuminaireLine(*record));
  }
  CDlgChooseLuminaire dialog(AfxGetMainWnd(), std::move(lines), selected);
  if (dialog.DoModal() != IDOK)
    return -1;
  return dialog.m_nChosen;
}

void InstallLuminaireChooser(IQorRoadDoc* document)
{
  // One chooser serves the process; the database only borrows it.
  static CProgramLuminaireChooser chooser;
  ObjectModel::ServerRef<ILuminaireDatabase> database(document, qorsrv::IID_ILuminaireDatabase);
  if (!database)
    return;
  void* catalogue = nullptr;
  if (FAILED(database->QueryInterface(qorsrv::IID_ILuminaireCatalogue, &catalogue)) || !catalogue)
    return;
  static_cast<qorsrv::ILuminaireCatalogue*>(catalogue)->SetChooser(&chooser);
  static_cast<qorsrv::ILuminaireCatalogue*>(catalogue)->Release();
}

}  // namespace shell
