#include "model/pole.h"

#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/model_strings.h"
#include "model/money.h"
#include "model/read_checks.h"
#include "model/servers.h"
#include "model/version.h"
#include "outside/servers/iprice_database.h"
#include "outside/servers/ipole_catalog.h"
#include "platform/mfc-core/archive.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ObjectModel {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// The light centre sits this far along the luminaire from the arm's end.
constexpr double kLuminaireCentreOffset = 0.3;
// What a pole read from a file may measure, m: masts stand up to a few tens of metres.
constexpr double kGreatestHeight = 200.0;
constexpr double kDefaultHeight = 10.0;
constexpr double kGreatestReach = 100.0;

// The catalogue's typical pole and bracket, the first entries of the starter pole catalogue.
constexpr const char* kTypicalPoleCode = "ОТ-8,5";
constexpr const char* kTypicalPoleDesignation = "Опора типовая 8,5 м";
constexpr double kTypicalPoleHeight = 8.5;
constexpr const char* kTypicalBracketCode = "КТ-1";
constexpr const char* kTypicalBracketDesignation = "Кронштейн типовой однорожковый 2,0 x 2,0 м, 15°";
constexpr LAMP_CONSOLE_INFO kTypicalArm{2.0, 2.0, 15.0, 0.0, 0.0, 0.0, 0};

double Clamp1(double v) { return std::clamp(v, -1.0, 1.0); }

CPole* PoleBehind(IPole* pole) { return pole ? dynamic_cast<CPole*>(pole) : nullptr; }

// Asks one price; a success code other than 0 leaves the field as it was.
template <class Call>
void AskPrice(std::int32_t* field, Call call)
{
  LONG hundredths = 0;
  if (ComCheck(call(&hundredths)) == S_OK)
    *field = hundredths;
}

}  // namespace

double Round2(double x)
{
  const double rounded = std::floor(100.0 * std::fabs(x) + 0.5) / 100.0;
  return x < 0 ? -rounded : rounded;
}

IPole* CreatePole(CClassObjModel* parent, IQorRoadDoc* document)
{
  IPole* pole = nullptr;
  auto* object = new CPole(parent, document);
  object->QueryInterface(&IID_IPole, reinterpret_cast<void**>(&pole));
  return pole;
}

CPole::CPole(CClassObjModel* parent, IQorRoadDoc* document) : m_document(document)
{
  InitIdentity(CLSID_CPole, IDS_OBJ_POLE);
  m_parent = parent;
  CPole::SetDefaults();
}

CPole::~CPole() = default;

HRESULT CPole::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == IID_IPole)
    return AnswerInterface(static_cast<IPole*>(this), out);
  return E_NOINTERFACE;
}

int CPole::SetDefaults()
{
  m_height = 10.0;
  m_outreach = 2.0;
  m_setback = 1.0;
  m_tilt = 15.0;
  m_rotation = 0.0;
  m_typical = 0;
  m_coordFlags = 17;
  m_aimFlags = 35;
  m_mountSide = 0;
  m_polePrice = m_poleMountPrice = m_bracketPrice = m_bracketMountPrice = 0;
  std::fill(std::begin(m_position), std::end(m_position), 0.0);
  std::fill(std::begin(m_aimPoint), std::end(m_aimPoint), 0.0);
  m_luminaireTurn = 0.0;
  m_aimTilt = 45.0;
  m_aimTurn = 0.0;
  if (!m_document)
    return 0;

  m_lampPost.ClearBrackets();
  m_lampPost.SetCatalogueText1(kTypicalPoleCode);
  m_lampPost.SetCatalogueText2(kTypicalPoleDesignation);
  m_lampPost.SetCatalogueText3(kTypicalPoleCode);
  m_lampPost.height = kTypicalPoleHeight;
  CLampConsole* bracket = m_lampPost.AddBracket(kTypicalBracketDesignation);
  bracket->SetCatalogueText1(kTypicalBracketCode);
  bracket->SetCatalogueText2(kTypicalBracketCode);
  bracket->SetRise(&kTypicalArm.rise);
  bracket->SetOutreach(&kTypicalArm.outreach);
  bracket->SetTilt(&kTypicalArm.tilt);
  m_typical = 1;

  // Files since the economics carry the prices, so a pole made for one asks nobody.
  if (IsVersionAtLeast(ProjectReadScope::Version(), MakeFormatVersion(4, 0, 18, 0)))
    return 0;
  ServerRef<IPriceDatabase> prices(m_document, IID_IPriceDatabase);
  if (prices && m_lampPost.GetCurrentBracket()) {
    const CString& poleModel = m_lampPost.model;
    const CString& bracketModel = m_lampPost.GetCurrentBracket()->model;
    AskPrice(&m_polePrice, [&](LONG* v) { return prices->GetPolePrice(poleModel, v); });
    AskPrice(&m_poleMountPrice, [&](LONG* v) { return prices->GetPoleMountPrice(poleModel, v); });
    AskPrice(&m_bracketPrice, [&](LONG* v) { return prices->GetBracketPrice(bracketModel, v); });
    AskPrice(&m_bracketMountPrice, [&](LONG* v) { return prices->GetBracketMountPrice(bracketModel, v); });
  }
  return 0;
}

// The pole's block, in file order:
//   h, a, b, tilt, psi (doubles); typical (int32); position x, y, z (doubles, 4.0.4.0);
//   coordinate flags (int32, 4.0.8.0); luminaire turn, aim point x, y, z (doubles), aim flags (int32) (4.0.10.0);
//   aim tilt, aim turn (doubles), mount side (int32) (4.0.13.0); the catalogue pole record;
//   pole, pole mounting, bracket, bracket mounting prices (int32 hundredths, 4.0.18.0).
int CPole::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    ar << m_height << m_outreach << m_setback << m_tilt << m_rotation << m_typical;
    ar << m_position[0] << m_position[1] << m_position[2] << m_coordFlags;
    ar << m_luminaireTurn << m_aimPoint[0] << m_aimPoint[1] << m_aimPoint[2] << m_aimFlags;
    ar << m_aimTilt << m_aimTurn << m_mountSide;
    m_lampPost.Serialize(archive, &fileVersion);
    ar << m_polePrice << m_poleMountPrice << m_bracketPrice << m_bracketMountPrice;
    return 0;
  }
  auto at = [fileVersion](unsigned a, unsigned b, unsigned c, unsigned d) {
    return IsVersionAtLeast(fileVersion, MakeFormatVersion(a, b, c, d));
  };
  ar >> m_height >> m_outreach >> m_setback >> m_tilt >> m_rotation >> m_typical;
  // The height sizes the stretch of road drawn around the poles (a count of steps); the others place the light.
  m_height = CheckedRead(m_height, 0.0, kGreatestHeight, kDefaultHeight);
  m_outreach = CheckedRead(m_outreach, -kGreatestReach, kGreatestReach, 0.0);
  m_setback = CheckedRead(m_setback, -kGreatestReach, kGreatestReach, 0.0);
  if (at(4, 0, 4, 0))
    ar >> m_position[0] >> m_position[1] >> m_position[2];
  m_coordFlags = 17;
  if (at(4, 0, 8, 0))
    ar >> m_coordFlags;
  if (at(4, 0, 10, 0)) {
    ar >> m_luminaireTurn >> m_aimPoint[0] >> m_aimPoint[1] >> m_aimPoint[2] >> m_aimFlags;
  } else {
    m_luminaireTurn = 0.0;
    std::fill(std::begin(m_aimPoint), std::end(m_aimPoint), 0.0);
    m_aimFlags = 19;
  }
  if (at(4, 0, 13, 0)) {
    ar >> m_aimTilt >> m_aimTurn >> m_mountSide;
  } else {
    m_aimTilt = 90.0;
    m_aimTurn = 0.0;
    m_mountSide = 0;
  }
  m_lampPost.Serialize(archive, &fileVersion);
  if (at(4, 0, 18, 0))
    ar >> m_polePrice >> m_poleMountPrice >> m_bracketPrice >> m_bracketMountPrice;
  return 0;
}

int CPole::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  IPole* dstPole = nullptr;
  if (FAILED(dst->QueryInterface(&IID_IPole, reinterpret_cast<void**>(&dstPole))))
    return 1;
  CPole* to = PoleBehind(dstPole);
  dstPole->Release();
  if (!to || to == this)
    return to ? 0 : 1;
  m_copyFlags = to->m_copyFlags = flags;
  to->m_selected = m_selected;
  to->m_expanded = m_expanded;
  to->m_height = m_height;
  to->m_outreach = m_outreach;
  to->m_setback = m_setback;
  to->m_tilt = m_tilt;
  to->m_rotation = m_rotation;
  to->m_lampPost.Assign(m_lampPost);
  to->m_typical = m_typical;
  std::copy(std::begin(m_position), std::end(m_position), to->m_position);
  to->m_coordFlags = m_coordFlags;
  to->m_luminaireTurn = m_luminaireTurn;
  std::copy(std::begin(m_aimPoint), std::end(m_aimPoint), to->m_aimPoint);
  to->m_aimFlags = m_aimFlags;
  to->m_aimTilt = m_aimTilt;
  to->m_aimTurn = m_aimTurn;
  to->m_mountSide = m_mountSide;
  to->m_polePrice = m_polePrice;
  to->m_poleMountPrice = m_poleMountPrice;
  to->m_bracketPrice = m_bracketPrice;
  to->m_bracketMountPrice = m_bracketMountPrice;
  m_copyFlags = to->m_copyFlags = 0;
  return 0;
}

int CPole::SetNext(IPole* next)
{
  m_next = next;
  return 0;
}

int CPole::SetPrev(IPole* prev)
{
  m_prev = prev;
  return 0;
}

const LAMP_CONSOLE_INFO* CPole::CurrentArm() const
{
  const CLampConsole* bracket = m_lampPost.GetCurrentBracket();
  // A current-arm index a damaged file left outside the arms counts as no bracket rather than a failure.
  if (!bracket || bracket->currentArm < 0 || bracket->currentArm >= bracket->arms.GetSize())
    return nullptr;
  return &bracket->arms[bracket->currentArm];
}

double CPole::GetHeight(int flag)
{
  if (!m_typical)
    return m_height;
  double height = m_lampPost.height;
  if (flag == 0) {
    if (const LAMP_CONSOLE_INFO* arm = CurrentArm())
      height += arm->rise + kLuminaireCentreOffset * std::sin(arm->tilt * kDegree);
  }
  return height;
}

int CPole::SetHeight(const double* height)
{
  m_height = *height;
  return 0;
}

double CPole::GetOutreach(int kind)
{
  if (kind == 1 || kind == 2)
    return m_outreach;
  if (kind != 0)
    return 0.0;
  if (!m_typical)
    return m_outreach;
  const LAMP_CONSOLE_INFO* arm = CurrentArm();
  return arm ? arm->outreach + kLuminaireCentreOffset * std::cos(arm->tilt * kDegree) : 0.0;
}

int CPole::SetOutreach(const double* outreach)
{
  m_outreach = *outreach;
  return 0;
}

int CPole::SetSetback(const double* setback)
{
  m_setback = *setback;
  return 0;
}

double CPole::GetTilt(int flag)
{
  if (flag != 0)
    return 0.0;
  if (!m_typical)
    return m_tilt;
  const LAMP_CONSOLE_INFO* arm = CurrentArm();
  return arm ? arm->tilt : 0.0;
}

int CPole::SetTilt(const double* tilt)
{
  m_tilt = *tilt;
  return 0;
}

int CPole::SetRotation(const double* rotation)
{
  m_rotation = *rotation;
  return 0;
}

int CPole::UpdateFromCatalogue()
{
  ServerRef<IPoleCatalog> catalogue(m_document, IID_IPoleCatalog);
  if (!catalogue)
    return 1;
  qorsrv::PoleRecord* record = nullptr;
  if (ComCheck(catalogue->PoleCatalogGetCurrent(&record)) != S_OK || !record)
    return 1;
  m_lampPost.Assign(*record);
  m_lampPost.catalogueWord1 = record->catalogueWord1;
  m_lampPost.catalogueWord2 = record->catalogueWord2;
  return 0;
}

int CPole::ClearSelection()
{
  m_selected = 0;
  return 0;
}

int CPole::SetTypical(const int* typical)
{
  m_typical = *typical;
  return 0;
}

int CPole::SetPosition(const double* xyz)
{
  std::copy(xyz, xyz + 3, m_position);
  return 0;
}

int CPole::SetCoordFlags(const int* flags)
{
  m_coordFlags = *flags;
  return 0;
}

double CPole::GetDistanceToPrev()
{
  if (!m_prev)
    return 0.0;
  const double* p = m_prev->GetPosition();
  return Round2(std::hypot(m_position[0] - p[0], m_position[1] - p[1]));
}

double CPole::GetAngleToPrev()
{
  if (!m_prev)
    return 0.0;
  const double* p = m_prev->GetPosition();
  const double dx = m_position[0] - p[0];
  const double dy = m_position[1] - p[1];
  const double d = std::hypot(dx, dy);
  if (d == 0.0)
    return 0.0;
  double angle = std::acos(Clamp1(dx / d)) / kDegree;
  if (dy < 0)
    angle = -angle;
  return Round2(angle);
}

int CPole::SetDistanceToPrev(const double* distance)
{
  if (!m_prev)
    return 1;
  const double angle = GetAngleToPrev() * kDegree;
  const double* p = m_prev->GetPosition();
  m_position[0] = p[0] + *distance * std::cos(angle);
  m_position[1] = p[1] + *distance * std::sin(angle);
  return 0;
}

int CPole::SetAngleToPrev(const double* angle)
{
  if (!m_prev)
    return 1;
  const double distance = GetDistanceToPrev();
  const double* p = m_prev->GetPosition();
  m_position[0] = p[0] + distance * std::cos(*angle * kDegree);
  m_position[1] = p[1] + distance * std::sin(*angle * kDegree);
  return 0;
}

IGroupOfDev* CPole::Group()
{
  if (!m_parent)
    return nullptr;
  IGroupOfDev* group = nullptr;
  if (FAILED(m_parent->QueryInterface(&IID_IGroupOfDev, reinterpret_cast<void**>(&group))))
    return nullptr;
  group->Release();  // the parent outlives its poles
  return group;
}

namespace {

IPole* FirstPoleOf(IGroupOfDev* group)
{
  IPole* first = nullptr;
  void* out = nullptr;
  if (group && SUCCEEDED(group->QueryInterface(&IID_IPole, &out))) {
    first = static_cast<IPole*>(out);
    first->Release();
  }
  return first;
}

}  // namespace

double CPole::GetAbsoluteRotation()
{
  IPole* first = FirstPoleOf(Group());
  if (!first || !first->GetNext())
    return m_rotation;
  return m_rotation + first->GetNext()->GetAngleToPrev() + 90.0;
}

double CPole::GetCircleRotation()
{
  IGroupOfDev* group = Group();
  IPole* first = FirstPoleOf(group);
  int position = 0;
  IPole* pole = first;
  while (pole && pole != static_cast<IPole*>(this)) {
    pole = pole->GetNext();
    ++position;
  }
  if (!pole)
    return m_rotation;
  const double* base = group->GetBasePoint();
  const double* p = first->GetPosition();
  const double dx = p[0] - base[0];
  const double dy = p[1] - base[1];
  double start = 0.0;
  if (dx == 0.0) {
    start = dy > 0 ? 90.0 : -90.0;
  } else {
    start = std::atan(dy / dx) / kDegree;
    if (dx < 0 && dy >= 0)
      start += 180.0;
    else if (dx < 0 && dy < 0)
      start -= 180.0;
  }
  return m_rotation + start + position * *group->GetAngularStep() + 180.0;
}

int CPole::SetLuminaireTurn(const double* turn)
{
  m_luminaireTurn = *turn;
  return 0;
}

int CPole::GetAimPoint(double* xyz)
{
  std::copy(std::begin(m_aimPoint), std::end(m_aimPoint), xyz);
  return 0;
}

int CPole::SetAimPoint(const double* xyz)
{
  std::copy(xyz, xyz + 3, m_aimPoint);
  return 0;
}

int CPole::SetAimFlags(const int* flags)
{
  m_aimFlags = *flags;
  return 0;
}

double CPole::BracketDirection(const int* mode)
{
  switch (mode ? *mode : 0) {
  case 1: return GetAbsoluteRotation();
  case 2: return GetCircleRotation();
  default: return m_rotation;
  }
}

void CPole::LightCentre(const int* mode, double* x, double* y)
{
  const double phi = BracketDirection(mode) * kDegree;
  *x = m_position[0] + m_outreach * std::cos(phi);
  *y = m_position[1] + m_outreach * std::sin(phi);
}

double CPole::ComputeAimTilt(const int* mode)
{
  double lx = 0, ly = 0;
  LightCentre(mode, &lx, &ly);
  const double d = std::hypot(m_aimPoint[0] - lx, m_aimPoint[1] - ly);
  if (d == 0.0)
    return 90.0;
  const double h = GetHeight(1) + m_position[2] - m_aimPoint[2];
  return std::atan(h / d) / kDegree;
}

double CPole::ComputeAimTurn(const int* mode)
{
  double lx = 0, ly = 0;
  LightCentre(mode, &lx, &ly);
  const double dx = m_aimPoint[0] - lx;
  const double dy = m_aimPoint[1] - ly;
  const double d = std::hypot(dx, dy);
  if (d == 0.0)
    return 0.0;
  const double phi = BracketDirection(mode) * kDegree;
  double turn = std::acos(Clamp1((dx * std::cos(phi) + dy * std::sin(phi)) / d)) / kDegree;
  if ((dy * std::cos(phi) - dx * std::sin(phi)) / d < 0)
    turn = -turn;
  return turn;
}

void CPole::PlaceAimPoint(double tilt, double turn, const int* mode)
{
  double lx = 0, ly = 0;
  LightCentre(mode, &lx, &ly);
  const double h = GetHeight(1) + m_position[2] - m_aimPoint[2];
  const double r = tilt == 90.0 ? 0.0 : h / std::tan(tilt * kDegree);
  const double direction = (BracketDirection(mode) + turn) * kDegree;
  m_aimPoint[0] = lx + r * std::cos(direction);
  m_aimPoint[1] = ly + r * std::sin(direction);
}

int CPole::ApplyAimTilt(const double* tilt, const int* mode)
{
  PlaceAimPoint(*tilt, ComputeAimTurn(mode), mode);
  return 0;
}

int CPole::ApplyAimTurn(const double* turn, const int* mode)
{
  PlaceAimPoint(ComputeAimTilt(mode), *turn, mode);
  return 0;
}

int CPole::SetAimTilt(const double* tilt)
{
  m_aimTilt = *tilt;
  return 0;
}

int CPole::SetAimTurn(const double* turn)
{
  m_aimTurn = *turn;
  return 0;
}

int CPole::SetMountSide(const int* side)
{
  m_mountSide = *side;
  return 0;
}

int CPole::SetPolePrice(const double* price)
{
  m_polePrice = ToHundredths(*price);
  return 0;
}
double CPole::GetPolePrice() { return FromHundredths(m_polePrice); }
int CPole::SetPoleMountPrice(const double* price)
{
  m_poleMountPrice = ToHundredths(*price);
  return 0;
}
double CPole::GetPoleMountPrice() { return FromHundredths(m_poleMountPrice); }
int CPole::SetBracketPrice(const double* price)
{
  m_bracketPrice = ToHundredths(*price);
  return 0;
}
double CPole::GetBracketPrice() { return FromHundredths(m_bracketPrice); }
int CPole::SetBracketMountPrice(const double* price)
{
  m_bracketMountPrice = ToHundredths(*price);
  return 0;
}
double CPole::GetBracketMountPrice() { return FromHundredths(m_bracketMountPrice); }

}  // namespace ObjectModel
