// A counted reference to a model object taken with QueryInterface and released when it goes: the model hands
// out references for every part asked for.
#pragma once

#include "model/class_obj_model.h"

template <typename T>
class ModelRef {
public:
  ModelRef() = default;
  // The part `iid` of `object`; empty when the object is null or lacks the part.
  ModelRef(IModelUnknown* object, const IID& iid)
  {
    void* part = nullptr;
    if (object && SUCCEEDED(object->QueryInterface(&iid, &part)))
      m_object = static_cast<T*>(part);
  }
  // Takes a reference already counted.
  static ModelRef Adopt(T* object)
  {
    ModelRef ref;
    ref.m_object = object;
    return ref;
  }
  ~ModelRef() { Reset(); }
  ModelRef(ModelRef&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
  ModelRef& operator=(ModelRef&& other) noexcept
  {
    if (this != &other) {
      Reset();
      m_object = other.m_object;
      other.m_object = nullptr;
    }
    return *this;
  }
  ModelRef(const ModelRef&) = delete;
  ModelRef& operator=(const ModelRef&) = delete;

  T* get() const { return m_object; }
  T* operator->() const { return m_object; }
  explicit operator bool() const { return m_object != nullptr; }
  void Reset()
  {
    if (m_object)
      m_object->Release();
    m_object = nullptr;
  }

private:
  T* m_object = nullptr;
};
