#include "outside/mailslot/mailslot_sender.h"

#include "platform/base/folders.h"
#include "platform/com/combase.h"
#include "platform/shell/mailslot.h"

#include <atomic>
#include <new>

namespace qormail {

namespace {

class Sender final : public IQorMailslotSender {
public:
  HRESULT QueryInterface(REFIID iid, void** object) override
  {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IQorMailslotSender) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IQorMailslotSender*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override
  {
    ULONG left = --refs_;
    if (left == 0) {
      delete this;
    }
    return left;
  }
  HRESULT GetTypeInfoCount(UINT* count) override
  {
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
  {
    return E_NOTIMPL;
  }
  HRESULT Send(DWORD message, DWORD wParam, DWORD lParam) override
  {
    DWORD error = SendRecord(message, wParam, lParam);
    return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error);
  }

private:
  ~Sender() = default;
  std::atomic<ULONG> refs_{1};
};

void PutLittleEndian(DWORD value, unsigned char* bytes)
{
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<unsigned char>(value >> (8 * i));
  }
}

}  // namespace

std::string ProgramMailslotName()
{
  std::string name = "\\\\.\\mailslot\\qorr_mailslot";
  char user[256] = {};
  DWORD size = sizeof user;
  if (GetUserNameA(user, &size)) {
    name += "_";
    name += user;
  }
  return name;
}

DWORD SendRecord(DWORD message, DWORD wParam, DWORD lParam)
{
  const std::string name = ProgramMailslotName();
  for (DWORD value : {message, wParam, lParam}) {
    unsigned char bytes[4];
    PutLittleEndian(value, bytes);
    DWORD error = platform::WriteMailslot(name, bytes, sizeof bytes);
    if (error != ERROR_SUCCESS) {
      return error;
    }
  }
  return ERROR_SUCCESS;
}

void RegisterSenderClass()
{
  platform::RegisterComClass(CLSID_QorMailslotSender, [](REFIID iid, void** object) {
    auto* sender = new (std::nothrow) Sender;
    if (sender == nullptr) {
      return E_OUTOFMEMORY;
    }
    HRESULT result = sender->QueryInterface(iid, object);
    sender->Release();
    return result;
  });
}

}  // namespace qormail
