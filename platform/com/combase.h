// COM start-up per thread and object creation from a table of in-process classes.
//
// There is no registry of servers: each class the program can create (our own stand-ins for the outside
// servers, and tests' fakes) is registered here by its class id, optionally with a ProgID, and CoCreateInstance
// finds it in the table. Libraries register their classes explicitly at start-up; a static initialiser in a
// static library would be dropped by the linker.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/unknown.h"

#include <functional>
#include <string_view>

enum CLSCTX : DWORD {
  CLSCTX_INPROC_SERVER = 0x1,
  CLSCTX_INPROC_HANDLER = 0x2,
  CLSCTX_LOCAL_SERVER = 0x4,
  CLSCTX_REMOTE_SERVER = 0x10,
  CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
  CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
};

enum COINIT : DWORD {
  COINIT_MULTITHREADED = 0x0,
  COINIT_APARTMENTTHREADED = 0x2,
};

inline constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106u);
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);

// Counted per thread: the first call answers S_OK, later ones S_FALSE, and each successful call wants its
// CoUninitialize. Asking for the other threading model than the thread already has answers RPC_E_CHANGED_MODE
// and counts nothing.
HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit);
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
// COM in the single-threaded model, plus what OLE adds (drag and drop, the clipboard); same counting.
HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();

// Creates an object of a registered class. CO_E_NOTINITIALIZED on a thread without CoInitialize;
// REGDB_E_CLASSNOTREG for a class not in the table or a context without CLSCTX_INPROC_SERVER (every class here
// is in-process); CLASS_E_NOAGGREGATION with an outer object. *object is nullptr on every failure.
HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object);

// The class id registered under a ProgID (case-insensitive), or CO_E_CLASSSTRING.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);

namespace platform {

// Makes a new object and answers the asked interface of it with one reference, as QueryInterface does. The
// factory owns the object's first reference: when the interface is refused it releases it.
using ComClassFactory = std::function<HRESULT(REFIID iid, void** object)>;

// Registers (or replaces) a class; `progId` may be empty.
void RegisterComClass(REFCLSID clsid, ComClassFactory factory, std::string_view progId = {});
// False when the class was not registered.
bool UnregisterComClass(REFCLSID clsid);

// Whether COM is initialised on the calling thread.
bool ComInitializedOnThisThread();

}  // namespace platform
