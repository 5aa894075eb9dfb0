// The update check's and the news page's fetch over the program's network layer.
#pragma once

#include "app/shell/frame_workers.h"

namespace shell {

class NetUpdateFetch : public UpdateFetch {
public:
  // The most one answer may hold: version files are small, a news page somewhat larger.
  explicit NetUpdateFetch(unsigned long long maxBytes = 256 * 1024) : m_maxBytes(maxBytes) {}
  bool CheckConnection(const std::string& address, const std::atomic<bool>& stop) override;
  Result Fetch(const std::string& address, std::string* body, const std::atomic<bool>& stop) override;

private:
  unsigned long long m_maxBytes;
};

}  // namespace shell
