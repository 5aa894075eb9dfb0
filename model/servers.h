// How the model reaches the outside servers: through the document, each call checked (a failure code throws
// the COM error; 0 and 1 come back to the caller).
#pragma once

#include "model/doc_interface.h"
#include "platform/com/comerror.h"

namespace ObjectModel {

// The server's interface with one reference, or null when there is no document or it does not answer.
template <class I>
I* QueryServer(IQorRoadDoc* document, REFIID iid)
{
  if (!document)
    return nullptr;
  void* server = nullptr;
  if (FAILED(document->QueryInterface(iid, &server)))
    return nullptr;
  return static_cast<I*>(server);
}

// Holds one reference to a server for the length of a call.
template <class I>
class ServerRef {
public:
  ServerRef(IQorRoadDoc* document, REFIID iid) : m_server(QueryServer<I>(document, iid)) {}
  ~ServerRef()
  {
    if (m_server)
      m_server->Release();
  }
  ServerRef(const ServerRef&) = delete;
  ServerRef& operator=(const ServerRef&) = delete;

  explicit operator bool() const { return m_server != nullptr; }
  I* operator->() const { return m_server; }

private:
  I* m_server;
};

}  // namespace ObjectModel
