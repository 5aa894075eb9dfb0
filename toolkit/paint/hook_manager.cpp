#include "toolkit/paint/hook_manager.h"

#include "platform/mfc/wnd.h"
#include "platform/user/user.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

struct HookSink {
  HWND hWnd = nullptr;
  WNDPROC pfnPrevious = nullptr;
  std::vector<CTKHookManagerHookAble*> clients;
};

LRESULT HookWindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);

}  // namespace

struct CTKHookManager::Impl {
  // Sinks are owned by the map and freed when they leave it; the window procedure looks its sink up again after
  // every client call, since a client may remove itself, others, or destroy the window.
  std::map<HWND, std::unique_ptr<HookSink>> sinks;

  HookSink* Find(HWND hWnd)
  {
    auto found = sinks.find(hWnd);
    return found == sinks.end() ? nullptr : found->second.get();
  }

  void Destroy(HWND hWnd)
  {
    auto found = sinks.find(hWnd);
    if (found == sinks.end()) {
      return;
    }
    std::unique_ptr<HookSink> sink = std::move(found->second);
    sinks.erase(found);
    if (IsWindow(hWnd) &&
        GetWindowLongPtr(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HookWindowProc)) {
      SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sink->pfnPrevious));
    }
  }
};

CTKHookManager& CTKHookManager::Instance()
{
  static CTKHookManager instance;
  return instance;
}

CTKHookManager::CTKHookManager() : m_pImpl(std::make_unique<Impl>()) {}

CTKHookManager::~CTKHookManager()
{
  while (!m_pImpl->sinks.empty()) {
    m_pImpl->Destroy(m_pImpl->sinks.begin()->first);
  }
}

void CTKHookManager::SetHook(HWND hWnd, CTKHookManagerHookAble* pHook)
{
  if (hWnd == nullptr || pHook == nullptr || !IsWindow(hWnd)) {
    return;
  }
  HookSink* sink = m_pImpl->Find(hWnd);
  if (sink == nullptr) {
    auto created = std::make_unique<HookSink>();
    created->hWnd = hWnd;
    created->pfnPrevious = reinterpret_cast<WNDPROC>(GetWindowLongPtr(hWnd, GWLP_WNDPROC));
    SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookWindowProc));
    sink = created.get();
    m_pImpl->sinks[hWnd] = std::move(created);
  }
  if (std::find(sink->clients.begin(), sink->clients.end(), pHook) == sink->clients.end()) {
    sink->clients.push_back(pHook);
  }
}

void CTKHookManager::RemoveHook(HWND hWnd, CTKHookManagerHookAble* pHook)
{
  HookSink* sink = m_pImpl->Find(hWnd);
  if (sink == nullptr) {
    return;
  }
  std::erase(sink->clients, pHook);
  if (sink->clients.empty()) {
    m_pImpl->Destroy(hWnd);
  }
}

void CTKHookManager::RemoveAll(CTKHookManagerHookAble* pHook)
{
  std::vector<HWND> emptied;
  for (auto& [hWnd, sink] : m_pImpl->sinks) {
    std::erase(sink->clients, pHook);
    if (sink->clients.empty()) {
      emptied.push_back(hWnd);
    }
  }
  for (HWND hWnd : emptied) {
    m_pImpl->Destroy(hWnd);
  }
}

void CTKHookManager::RemoveAll(HWND hWnd) { m_pImpl->Destroy(hWnd); }

int CTKHookManager::GetClientCount(HWND hWnd) const
{
  HookSink* sink = m_pImpl->Find(hWnd);
  return sink == nullptr ? 0 : static_cast<int>(sink->clients.size());
}

struct CTKHookManagerAccess {
  static CTKHookManager::Impl& Of(CTKHookManager& manager) { return *manager.m_pImpl; }
};

namespace {

LRESULT HookWindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
  CTKHookManager::Impl& impl = CTKHookManagerAccess::Of(TKHookManager());
  HookSink* sink = impl.Find(hWnd);
  if (sink == nullptr) {
    return DefWindowProc(hWnd, nMessage, wParam, lParam);
  }
  const WNDPROC pfnPrevious = sink->pfnPrevious;
  if (nMessage == WM_NCDESTROY) {
    // The clients are dropped before the last message, so nothing can reach them through a dead window.
    impl.Destroy(hWnd);
    return CallWindowProc(pfnPrevious, hWnd, nMessage, wParam, lParam);
  }
  // Clients that are framework windows see this message as the current one.
  CCurrentMessageScope current(hWnd, nMessage, wParam, lParam);
  // Newest first. The sink is looked up again after each call: a client may have changed or ended it.
  std::size_t next = sink->clients.size();
  while (next > 0) {
    CTKHookManagerHookAble* pClient = sink->clients[next - 1];
    LRESULT lResult = 0;
    const int answer = pClient->OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
    if (answer == 1) {
      return lResult;
    }
    if (answer == 2) {
      break;
    }
    sink = impl.Find(hWnd);
    if (sink == nullptr) {
      break;
    }
    auto at = std::find(sink->clients.begin(), sink->clients.end(), pClient);
    next = at == sink->clients.end() ? std::min(next - 1, sink->clients.size())
                                     : static_cast<std::size_t>(at - sink->clients.begin());
  }
  // A client that destroyed the window leaves nothing to pass the message to.
  if (!IsWindow(hWnd)) {
    return 0;
  }
  return CallWindowProc(pfnPrevious, hWnd, nMessage, wParam, lParam);
}

}  // namespace
