// The luminaire chooser the database asks when the user picks a group's luminaire ([...] in the parameters
// grid): every luminaire of the installed catalogues in a list, the current one selected.
#pragma once

#include "outside/servers/iluminaire_database.h"
#include "platform/mfc/controls.h"
#include "platform/mfc/dialog.h"

#include <string>
#include <vector>

struct IQorRoadDoc;

namespace shell {

inline constexpr UINT IDD_CHOOSE_LUMINAIRE = 757;
inline constexpr UINT IDC_LUMINAIRE_LIST = 1180;

class CDlgChooseLuminaire : public CDialog {
public:
  CDlgChooseLuminaire(CWnd* pParent, std::vector<std::string> lines, int selected);

  // The list line chosen by OK, -1 for none.
  int m_nChosen;

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnListDoubleClick();
  DECLARE_MESSAGE_MAP()

private:
  std::vector<std::string> m_lines;
  CListBox m_list;
};

// One list line of a luminaire: maker, name, light source, power and flux.
std::string LuminaireLine(const qorsrv::LuminaireRecord& record);

class CProgramLuminaireChooser : public qorsrv::ILuminaireChooser {
public:
  LONG ChooseLuminaire(ILuminaireDatabase* database, const char* currentKey) override;
};

// Hands the program's chooser to the document's luminaire database; nothing without a database.
void InstallLuminaireChooser(IQorRoadDoc* document);

}  // namespace shell
