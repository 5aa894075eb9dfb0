#include "model/light_device.h"

#include "model/money.h"
#include "model/version.h"
#include "outside/servers/luminaire_record.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <algorithm>
#include <memory>

using ObjectModel::IsVersionAtLeast;
using ObjectModel::MakeFormatVersion;

namespace {

// A database table whose cells do not fill its counts is taken as no table.
bool CellsFillTable(const qorsrv::IntensityTable& source)
{
  const auto expected = static_cast<std::size_t>(source.rows > 0 ? source.rows : 0) *
                        static_cast<std::size_t>(source.columns > 0 ? source.columns : 0);
  return expected != 0 && source.cells.size() == expected;
}

void FillTable(_LINKED_TABLE* table, const qorsrv::IntensityTable& source)
{
  if (!CellsFillTable(source)) {
    LinkedTableClear(table);
    return;
  }
  LinkedTableAssign(table, source.rows, source.columns, source.cells.data());
}

// `count` doubles as the archive's `>>` reads them one by one, in pieces its length word can hold.
void ReadDoubles(CArchive& ar, double* values, std::size_t count)
{
  constexpr std::size_t kPiece = std::size_t{1} << 24;
  for (std::size_t done = 0; done < count;) {
    const std::size_t n = std::min(count - done, kPiece);
    const auto bytes = static_cast<UINT>(n * sizeof(double));
    if (ar.Read(values + done, bytes) != bytes)
      AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    done += n;
  }
}

// The same bytes as `<<` one double at a time.
void WriteDoubles(CArchive& ar, const double* values, std::size_t count)
{
  constexpr std::size_t kPiece = std::size_t{1} << 24;
  for (std::size_t done = 0; done < count;) {
    const std::size_t n = std::min(count - done, kPiece);
    ar.Write(values + done, static_cast<UINT>(n * sizeof(double)));
    done += n;
  }
}

}  // namespace

CLightDevice::CLightDevice() = default;

CLightDevice::~CLightDevice()
{
  LinkedTableClear(table.get());
  textList.RemoveAll();
}

CLightDevice& CLightDevice::Assign(const CLightDevice& s)
{
  if (&s == this)
    return *this;
  textA = s.textA;
  textB = s.textB;
  luminaireName = s.luminaireName;
  luminaireMaker = s.luminaireMaker;
  lampType = s.lampType;
  lampPower = s.lampPower;
  lampFlux = s.lampFlux;
  symmetryWord = s.symmetryWord;
  catalogueFlag = s.catalogueFlag;
  lampCount = s.lampCount;
  luminairePrice = s.luminairePrice;
  installationCost = s.installationCost;
  cleaningCost = s.cleaningCost;
  cleaningsPerYear = s.cleaningsPerYear;
  luminaireLife = s.luminaireLife;
  powerLossFactor = s.powerLossFactor;
  lampPrice = s.lampPrice;
  lampReplacementCost = s.lampReplacementCost;
  lampLife = s.lampLife;
  economicWord = s.economicWord;
  economicValue1 = s.economicValue1;
  economicValue2 = s.economicValue2;
  economicValue3 = s.economicValue3;
  economicValue4 = s.economicValue4;
  displayName = s.displayName;
  textF = s.textF;
  textG = s.textG;
  textH = s.textH;
  textI = s.textI;
  textJ = s.textJ;
  producer = s.producer;
  textK = s.textK;
  textL = s.textL;
  textM = s.textM;
  extraWord = s.extraWord;
  textList.RemoveAll();
  for (const CString& text : s.textList)
    textList.Add(text);
  // The copy's table is built whatever the source's is: whoever copies into a record may read its table next.
  m_deferredTable.reset();
  if (s.m_deferredTable)
    FillTable(table.get(), *s.m_deferredTable);
  else
    LinkedTableCopy(table.get(), s.table.get());
  return *this;
}

CLightDevice& CLightDevice::Assign(const qorsrv::LuminaireRecord& s)
{
  AssignAllButTable(s);
  m_deferredTable.reset();
  FillTable(table.get(), s.table);
  return *this;
}

void CLightDevice::AssignDeferringTable(const qorsrv::LuminaireRecord& s)
{
  AssignAllButTable(s);
  m_deferredTable = std::make_unique<qorsrv::IntensityTable>(s.table);
}

void CLightDevice::BuildDeferredTable()
{
  if (!m_deferredTable)
    return;
  FillTable(table.get(), *m_deferredTable);
  m_deferredTable.reset();
}

void CLightDevice::AssignAllButTable(const qorsrv::LuminaireRecord& s)
{
  textA = s.textA.c_str();
  textB = s.textB.c_str();
  luminaireName = s.luminaireName.c_str();
  luminaireMaker = s.luminaireMaker.c_str();
  lampType = s.lampType.c_str();
  lampPower = s.lampPower;
  lampFlux = s.lampFlux;
  symmetryWord = s.symmetryWord;
  catalogueFlag = s.catalogueFlag;
  lampCount = s.lampCount;
  luminairePrice = s.luminairePrice;
  installationCost = s.installationCost;
  cleaningCost = s.cleaningCost;
  cleaningsPerYear = s.cleaningsPerYear;
  luminaireLife = s.luminaireLife;
  powerLossFactor = s.powerLossFactor;
  lampPrice = s.lampPrice;
  lampReplacementCost = s.lampReplacementCost;
  lampLife = s.lampLife;
  economicWord = s.economicWord;
  economicValue1 = s.economicValue1;
  economicValue2 = s.economicValue2;
  economicValue3 = s.economicValue3;
  economicValue4 = s.economicValue4;
  displayName = s.displayName.c_str();
  textF = s.textF.c_str();
  textG = s.textG.c_str();
  textH = s.textH.c_str();
  textI = s.textI.c_str();
  textJ = s.textJ.c_str();
  producer = s.producer.c_str();
  textK = s.textK.c_str();
  textL = s.textL.c_str();
  textM = s.textM.c_str();
  extraWord = s.extraWord;
  textList.RemoveAll();
  for (const std::string& text : s.textList)
    textList.Add(CString(text.c_str()));
}

const CString& CLightDevice::GetDisplayName() const { return displayName.IsEmpty() ? luminaireName : displayName; }

void CLightDevice::SetPrice(const double* value) { luminairePrice = ObjectModel::ToHundredths(*value); }
void CLightDevice::SetInstallationCost(const double* value) { installationCost = ObjectModel::ToHundredths(*value); }
void CLightDevice::SetCleaningCost(const double* value) { cleaningCost = ObjectModel::ToHundredths(*value); }
void CLightDevice::SetLampPrice(const double* value) { lampPrice = ObjectModel::ToHundredths(*value); }
void CLightDevice::SetLampReplacementCost(const double* value)
{
  lampReplacementCost = ObjectModel::ToHundredths(*value);
}

void CLightDevice::MakeWorkingTable(_LINKED_TABLE* scratch, bool skipCompleteTables) const
{
  using namespace IntensitySymmetry;
  if (m_deferredTable)
    FillTable(scratch, *m_deferredTable);
  else
    LinkedTableCopy(scratch, table.get());
  const bool complete = (symmetryWord & (kPlanesComplete | kPlanesOne)) != 0;
  if (!(skipCompleteTables && complete))
    CompleteIntensitySymmetry(scratch, symmetryWord);
  if ((symmetryWord & kSystemMask) == kSystemC && !(symmetryWord & kPlanesOne))
    RebaseIntensityPlanes(scratch);
}

bool CLightDevice::IsLed() const { return lampType.Find("СД") >= 0; }

// The record inside the group's block, in file order:
//   text A, luminaire name; text D (4.0.0.1); maker (4.0.3.1); lamp type; lamp power, lamp flux (doubles);
//   symmetry word (int32); catalogue flag (int32, 4.0.3.1); lamp count (int32, 4.0.13.1);
//   table: row count, column count (int32), then rows x columns doubles, column by column, each from row 1 down;
//   economic block (4.0.18.0): luminaire price, installation, cleaning, cleanings a year, luminaire life (int32),
//     power loss factor (double), lamp price, lamp replacement, lamp life (int32), economic value 4 (double),
//     economic word (int32), economic values 1-3 (doubles);
//   text list: count, then each text (4.3.2.0); text B (4.3.5.0);
//   display name, texts F, G, H, I (5.0.23.0); text J, producer, texts K, L, M, extra word (int32) (5.1.5.0).
void CLightDevice::Serialize(CArchive* archive, const DWORD* fileVersion)
{
  if (archive->IsStoring())
    Store(*archive);
  else
    Load(*archive, *fileVersion, false);
}

void CLightDevice::LoadDeferringTable(CArchive* archive, const DWORD* fileVersion)
{
  if (archive->IsStoring())
    Store(*archive);
  else
    Load(*archive, *fileVersion, true);
}

void CLightDevice::Store(CArchive& ar)
{
  ar << textA << luminaireName << textD << luminaireMaker << lampType << lampPower << lampFlux
     << static_cast<std::int32_t>(symmetryWord) << catalogueFlag << lampCount;
  if (m_deferredTable) {
    // The cells are in the file's order already; cells that do not fill their counts are no table.
    const qorsrv::IntensityTable& t = *m_deferredTable;
    const bool whole = CellsFillTable(t);
    ar << static_cast<std::int32_t>(whole ? t.rows : 0) << static_cast<std::int32_t>(whole ? t.columns : 0);
    if (whole)
      WriteDoubles(ar, t.cells.data(), t.cells.size());
  } else {
    ar << static_cast<std::int32_t>(table->rows) << static_cast<std::int32_t>(table->columns);
    for (_LINKED_TABLE_NODE* column = table->first; column; column = column->right) {
      for (_LINKED_TABLE_NODE* node = column; node; node = node->down)
        ar << node->value;
    }
  }
  ar << luminairePrice << installationCost << cleaningCost << cleaningsPerYear << luminaireLife << powerLossFactor
     << lampPrice << lampReplacementCost << lampLife << economicValue4 << economicWord << economicValue1
     << economicValue2 << economicValue3;
  textList.Serialize(ar);
  ar << textB;
  ar << displayName << textF << textG << textH << textI;
  ar << textJ << producer << textK << textL << textM << extraWord;
}

void CLightDevice::Load(CArchive& ar, DWORD version, bool deferTable)
{
  auto at = [version](unsigned a, unsigned b, unsigned c, unsigned d) {
    return IsVersionAtLeast(version, MakeFormatVersion(a, b, c, d));
  };
  ar >> textA >> luminaireName;
  textD.Empty();
  if (at(4, 0, 0, 1))
    ar >> textD;
  luminaireMaker.Empty();
  if (at(4, 0, 3, 1))
    ar >> luminaireMaker;
  std::int32_t word = 0;
  ar >> lampType >> lampPower >> lampFlux >> word;
  symmetryWord = static_cast<std::uint32_t>(word);
  catalogueFlag = 0;
  if (at(4, 0, 3, 1))
    ar >> catalogueFlag;
  lampCount = 1;
  if (at(4, 0, 13, 1))
    ar >> lampCount;

  std::int32_t rows = 0;
  std::int32_t columns = 0;
  ar >> rows >> columns;
  if (rows < 0 || columns < 0)
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
  const auto cells = static_cast<ULONGLONG>(rows) * static_cast<ULONGLONG>(columns);
  ar.EnsureAvailable(cells * sizeof(double));
  // The doubles are in the archive's form, so they are taken in one piece and the table built from them.
  if (deferTable) {
    auto fileTable = std::make_unique<qorsrv::IntensityTable>();
    if (cells) {
      fileTable->rows = rows;
      fileTable->columns = columns;
      // Through a piece that stays in the cache: a table sized first is filled with zeros only for the file to
      // write it again, a tenth of an open.
      std::vector<double>& to = fileTable->cells;
      to.reserve(static_cast<std::size_t>(cells));
      constexpr std::size_t kPiece = 15 * 1024;
      const auto piece = std::make_unique_for_overwrite<double[]>(kPiece);
      for (std::size_t left = static_cast<std::size_t>(cells); left > 0;) {
        const std::size_t n = std::min(left, kPiece);
        ReadDoubles(ar, piece.get(), n);
        to.insert(to.end(), piece.get(), piece.get() + n);
        left -= n;
      }
    }
    m_deferredTable = std::move(fileTable);
  } else {
    const auto values = std::make_unique_for_overwrite<double[]>(static_cast<std::size_t>(cells));
    ReadDoubles(ar, values.get(), static_cast<std::size_t>(cells));
    m_deferredTable.reset();
    LinkedTableAssign(table.get(), rows, columns, values.get());
  }

  if (at(4, 0, 18, 0)) {
    ar >> luminairePrice >> installationCost >> cleaningCost >> cleaningsPerYear >> luminaireLife >>
        powerLossFactor >> lampPrice >> lampReplacementCost >> lampLife >> economicValue4 >> economicWord >>
        economicValue1 >> economicValue2 >> economicValue3;
  } else {
    luminairePrice = installationCost = cleaningCost = cleaningsPerYear = luminaireLife = 0;
    lampPrice = lampReplacementCost = lampLife = economicWord = 0;
    powerLossFactor = economicValue1 = economicValue2 = economicValue3 = economicValue4 = 0.0;
  }
  textList.RemoveAll();
  if (at(4, 3, 2, 0))
    textList.Serialize(ar);
  textB.Empty();
  if (at(4, 3, 5, 0))
    ar >> textB;
  displayName.Empty();
  textF.Empty();
  textG.Empty();
  textH.Empty();
  textI.Empty();
  if (at(5, 0, 23, 0))
    ar >> displayName >> textF >> textG >> textH >> textI;
  textJ.Empty();
  producer.Empty();
  textK.Empty();
  textL.Empty();
  textM.Empty();
  extraWord = 0;
  if (at(5, 1, 5, 0))
    ar >> textJ >> producer >> textK >> textL >> textM >> extraWord;
}
