#include "model/area.h"

#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/read_checks.h"
#include "model/version.h"
#include "platform/mfc-core/archive.h"

#include <cmath>
#include <cstring>

namespace ObjectModel {

namespace {

constexpr float kDefaultViewParams[CArea::kViewParamCount] = {0.0f, -10.0f, -50.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
constexpr float kViewParam7Max = 60.0f;
// An area read from a file: at most this long or wide, m; a size that is no number becomes a new area's.
constexpr double kGreatestSize = 100000.0;
constexpr double kDefaultSize = 50.0;

void StoreCamera(CArchive& ar, const _DEVCPOSITION& c)
{
  ar << c.x << c.y << c.z << c.angle1 << c.angle2 << c.angle3;
}

void LoadCamera(CArchive& ar, _DEVCPOSITION& c)
{
  ar >> c.x >> c.y >> c.z >> c.angle1 >> c.angle2 >> c.angle3;
}

}  // namespace

CArea::CArea(CClassObjModel* parent, IQorRoadDoc* context, int number) : m_context(context), m_areaNumber(number)
{
  m_parent = parent;
  InitIdentity(CLSID_CArea, IDS_OBJ_AREA);
  m_caption = m_name;
  CArea::SetDefaults();
  CArea::ResetViews();
}

CArea::~CArea()
{
  if (m_context && m_underlayId != 0)
    m_context->ReleaseUnderlay(m_underlayId);
}

HRESULT CArea::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == IID_IArea)
    return AnswerInterface(static_cast<IArea*>(this), out);
  return E_NOINTERFACE;
}

int CArea::SetDefaults()
{
  m_width = 50.0;
  m_length = 50.0;
  m_typicalForm = 0;
  m_baseHeight = 0;
  m_gridMode = 0;
  m_underlayId = 0;
  m_gridStep = 1.0;
  m_calcAreaId = 0;
  m_standards.Clear();
  ResetReportOrigin();
  return 0;
}

// The area block, in file order:
//   caption CString; width double; length double; active int32; norms record;
//   view parameters 0-4, 5 floats (from 4.0.3.0); view parameters 5-7, 3 floats (4.0.9.0);
//   typical form int32, area number int32 (4.0.15.0);
//   lighting output, economic output, grid mode int32, 8 cameras x 6 doubles (4.0.18.0);
//   underlay id int32 (4.2.0.0); grid step double (4.2.0.2); calc-area id int32 (4.3.0.0);
//   base height double (4.3.5.0); report origin 3 doubles (5.0.15.0).
int CArea::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    ar << m_caption << m_width << m_length << static_cast<int>(m_active);
    CStandardsOfRoad::Serialize(archive, &m_standards, fileVersion);
    for (float v : m_viewParams)
      ar << v;
    ar << m_typicalForm << m_areaNumber << m_lightingOutput << m_economicOutput << m_gridMode;
    for (const _DEVCPOSITION& c : m_cameras)
      StoreCamera(ar, c);
    ar << m_underlayId << m_gridStep << m_calcAreaId << m_baseHeight;
    ar << m_reportOrigin[0] << m_reportOrigin[1] << m_reportOrigin[2];
    return 0;
  }

  ar >> m_caption >> m_width >> m_length >> m_active;
  m_width = CheckedRead(m_width, 0.0, kGreatestSize, kDefaultSize);
  m_length = CheckedRead(m_length, 0.0, kGreatestSize, kDefaultSize);
  CStandardsOfRoad::Serialize(archive, &m_standards, fileVersion);
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 0, 3, 0))) {
    for (int i = 0; i < 5; ++i)
      ar >> m_viewParams[i];
  } else {
    std::memcpy(m_viewParams, kDefaultViewParams, 5 * sizeof(float));
  }
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 0, 9, 0))) {
    for (int i = 5; i < 8; ++i)
      ar >> m_viewParams[i];
  } else {
    std::memcpy(m_viewParams + 5, kDefaultViewParams + 5, 3 * sizeof(float));
  }
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 0, 15, 0)))
    ar >> m_typicalForm >> m_areaNumber;
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 0, 18, 0))) {
    ar >> m_lightingOutput >> m_economicOutput >> m_gridMode;
    for (_DEVCPOSITION& c : m_cameras)
      LoadCamera(ar, c);
  } else {
    m_lightingOutput = 1;
    m_economicOutput = 1;
    m_gridMode = 0;
    ResetViews();
  }
  m_underlayId = 0;
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 2, 0, 0)))
    ar >> m_underlayId;
  m_gridStep = 1.0;
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 2, 0, 2)))
    ar >> m_gridStep;
  m_calcAreaId = 0;
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 3, 0, 0)))
    ar >> m_calcAreaId;
  m_baseHeight = 0;
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 3, 5, 0)))
    ar >> m_baseHeight;
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(5, 0, 15, 0)))
    ar >> m_reportOrigin[0] >> m_reportOrigin[1] >> m_reportOrigin[2];
  else
    ResetReportOrigin();
  return 0;
}

int CArea::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  IArea* dstArea = nullptr;
  if (FAILED(dst->QueryInterface(&IID_IArea, reinterpret_cast<void**>(&dstArea))))
    return 1;
  CArea* to = dynamic_cast<CArea*>(dstArea);
  dstArea->Release();
  if (!to)
    return 1;
  if (to == this)
    return 0;
  {
    to->m_caption = m_caption;
    to->m_selected = m_selected;
    to->m_width = m_width;
    to->m_length = m_length;
    to->m_baseHeight = m_baseHeight;
    to->m_active = m_active;
    to->m_standards.Assign(m_standards);
    std::memcpy(to->m_viewParams, m_viewParams, sizeof m_viewParams);
    to->m_typicalForm = m_typicalForm;
    to->m_areaNumber = m_areaNumber;
    to->m_economicOutput = m_economicOutput;
    to->m_lightingOutput = m_lightingOutput;
    std::memcpy(to->m_cameras, m_cameras, sizeof m_cameras);
    to->m_gridMode = m_gridMode;
    to->m_underlayId = m_underlayId;
    to->m_expanded = m_expanded;
    to->m_gridStep = m_gridStep;
    to->m_calcAreaId = m_calcAreaId;
    std::memcpy(to->m_reportOrigin, m_reportOrigin, sizeof m_reportOrigin);
  }
  // A duplicated area gets a calculation-area manager of its own later.
  if (flags & kCopyKeepIdentity) {
    const int none = 0;
    to->SetCalcAreaId(&none);
  }
  return 0;
}

int CArea::SetCaption(const CString* caption)
{
  m_caption = *caption;
  return 0;
}

int CArea::SetWidth(const double* width)
{
  m_width = *width;
  return 0;
}

int CArea::SetLength(const double* length)
{
  m_length = *length;
  return 0;
}

int CArea::SetBaseHeight(const double* height)
{
  m_baseHeight = *height;
  return 0;
}

int CArea::SetNext(IArea* next)
{
  m_next = next;
  return 0;
}

int CArea::SetPrev(IArea* prev)
{
  m_prev = prev;
  return 0;
}

int CArea::SetActive(const int* active)
{
  m_active = *active;
  return 0;
}

int CArea::ClearSelection()
{
  m_selected = 0;
  return 0;
}

int CArea::SetViewParam(int index, float value)
{
  m_viewParams[index] = value;
  return 0;
}

int CArea::SetViewParam7(float value)
{
  if (!(value >= 0.0f))
    value = 0.0f;
  else if (value > kViewParam7Max)
    value = kViewParam7Max;
  return SetViewParam(7, value);
}

int CArea::ResetViews()
{
  std::memcpy(m_viewParams, kDefaultViewParams, sizeof m_viewParams);
  std::memset(m_cameras, 0, sizeof m_cameras);
  return 0;
}

int CArea::HitTest(double, double, int, IClassObjModel**) { return 0; }

int CArea::HitTestPrimitive(double, double, int, IPrimitive*) { return 0; }

int CArea::GetCursorFor(int, IClassObjModel*, int*) { return 1; }

int CArea::SetTypicalForm(const int* form)
{
  m_typicalForm = *form;
  return 0;
}

int CArea::FormatCaption()
{
  CString held = m_caption;
  m_caption.Format("Объект - %ld [%s]", m_areaNumber, held);
  return 0;
}

int CArea::SetEconomicOutput(const int* on)
{
  m_economicOutput = *on;
  return 0;
}

int CArea::SetLightingOutput(const int* on)
{
  m_lightingOutput = *on;
  return 0;
}

int CArea::GetViewCamera(const DWORD* viewBit, _DEVCPOSITION** out)
{
  for (int i = 0; i < kCameraCount; ++i) {
    if (*viewBit == (1u << i)) {
      *out = &m_cameras[i];
      return 0;
    }
  }
  return 1;
}

int CArea::SetGridMode(const int* mode)
{
  m_gridMode = *mode;
  return 0;
}

int CArea::SetUnderlayId(const int* id)
{
  m_underlayId = *id;
  return 0;
}

int CArea::SetGridStep(const double* step)
{
  m_gridStep = *step;
  return 0;
}

int CArea::SetCalcAreaId(const int* id)
{
  m_calcAreaId = *id;
  return 0;
}

int CArea::ResetReportOrigin()
{
  m_reportOrigin[0] = m_reportOrigin[1] = m_reportOrigin[2] = 0;
  return 0;
}

int CArea::SetReportOrigin(const double origin[3])
{
  std::memcpy(m_reportOrigin, origin, sizeof m_reportOrigin);
  return 0;
}

int CArea::SetReportOriginX(const double* x)
{
  m_reportOrigin[0] = *x;
  return 0;
}

int CArea::SetReportOriginY(const double* y)
{
  m_reportOrigin[1] = *y;
  return 0;
}

int CArea::SetReportOriginZ(const double* z)
{
  m_reportOrigin[2] = *z;
  return 0;
}

}  // namespace ObjectModel
