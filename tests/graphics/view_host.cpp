#include "tests/graphics/view_host.h"

#include "document/graphic_core.h"
#include "geometry/view_camera.h"
#include "platform/gdi/png.h"
#include "platform/user/paint.h"

#include <filesystem>

namespace {

// The program's view class: redrawn whole on a resize, double clicks, and one DC for the window's life.
constexpr UINT kViewClassStyle = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
static_assert(kViewClassStyle == 0x2B);

}  // namespace

BEGIN_MESSAGE_MAP(CTestHostView, CView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CTestHostView::~CTestHostView()
{
  if (m_hWnd)
    DestroyWindow();
}

BOOL CTestHostView::CreateHost(int width, int height)
{
  return CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr);
}

BOOL CTestHostView::PreCreateWindow(CREATESTRUCT& cs)
{
  cs.lpszClass = AfxRegisterWndClass(kViewClassStyle);
  return CView::PreCreateWindow(cs);
}

int CTestHostView::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CView::OnCreate(lpcs) == -1)
    return -1;
  initResult = m_core->Init(this);
  return 0;
}

void CTestHostView::OnSize(UINT type, int cx, int cy)
{
  if (CViewCamera* camera = CurrentViewCamera())
    camera->OnSize(type, cx, cy);
}

void CTestHostView::OnPaint()
{
  CPaintDC dc(this);
  m_core->Render(FALSE, FALSE);
}

const gdi::Surface* CTestHostView::Pixels() const { return user::WindowSurface(m_hWnd); }

std::string CTestHostView::SavePicture(const std::string& name) const
{
  const gdi::Surface* pixels = Pixels();
  const std::filesystem::path folder(TESMIRA_ARTIFACTS_DIR);
  std::filesystem::create_directories(folder);
  const std::string path = (folder / name).string();
  return pixels && gdi::SavePng(*pixels, path) ? path : std::string();
}
