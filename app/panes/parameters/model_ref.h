// One counted reference to a model interface for the length of a call, released on every path.
#pragma once

#include "model/class_obj_model.h"

namespace VisualCtrl {

template <class I>
class ModelRef {
public:
  ModelRef() = default;
  // Takes over a reference the caller already owns.
  explicit ModelRef(I* owned) : m_p(owned) {}
  ~ModelRef() { Reset(); }
  ModelRef(const ModelRef&) = delete;
  ModelRef& operator=(const ModelRef&) = delete;
  ModelRef(ModelRef&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  ModelRef& operator=(ModelRef&& other) noexcept
  {
    if (this != &other) {
      Reset();
      m_p = other.m_p;
      other.m_p = nullptr;
    }
    return *this;
  }

  I* Get() const { return m_p; }
  I* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  void Reset()
  {
    if (m_p) {
      I* p = m_p;
      m_p = nullptr;
      p->Release();
    }
  }

private:
  I* m_p = nullptr;
};

// The object's answer for `iid` (an interface or a key that hands out another object), or nothing.
template <class I>
ModelRef<I> Query(IModelUnknown* object, const IID& iid)
{
  void* out = nullptr;
  if (!object || FAILED(object->QueryInterface(&iid, &out)) || !out)
    return ModelRef<I>();
  return ModelRef<I>(static_cast<I*>(out));
}

}  // namespace VisualCtrl
