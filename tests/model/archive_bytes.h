// A byte builder for hand-written fixtures: each field appended as the format describes it, and archives over
// those bytes or collecting what a serializer writes.
#pragma once

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/memfile.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

class Bytes {
public:
  Bytes& i32(std::int32_t v) { return raw(&v, 4); }
  Bytes& u32(std::uint32_t v) { return raw(&v, 4); }
  Bytes& u16(std::uint16_t v) { return raw(&v, 2); }
  Bytes& f32(float v) { return raw(&v, 4); }
  Bytes& f64(double v) { return raw(&v, 8); }
  Bytes& i64(std::int64_t v) { return raw(&v, 8); }
  Bytes& f32s(std::initializer_list<float> vs)
  {
    for (float v : vs)
      f32(v);
    return *this;
  }
  Bytes& f64s(std::initializer_list<double> vs)
  {
    for (double v : vs)
      f64(v);
    return *this;
  }
  Bytes& zeros(std::size_t n)
  {
    m_bytes.insert(m_bytes.end(), n, 0);
    return *this;
  }
  // The framework's string: a one-byte length below 255, else 0xFF and a 16-bit length, then the bytes.
  Bytes& str(const std::string& text)
  {
    if (text.size() < 255) {
      m_bytes.push_back(static_cast<std::uint8_t>(text.size()));
    } else {
      m_bytes.push_back(0xFF);
      u16(static_cast<std::uint16_t>(text.size()));
    }
    return raw(text.data(), text.size());
  }
  Bytes& raw(const void* p, std::size_t n)
  {
    const auto* b = static_cast<const std::uint8_t*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
    return *this;
  }
  Bytes& append(const Bytes& other) { return raw(other.m_bytes.data(), other.m_bytes.size()); }

  const std::vector<std::uint8_t>& data() const { return m_bytes; }
  std::size_t size() const { return m_bytes.size(); }

private:
  std::vector<std::uint8_t> m_bytes;
};

// An archive loading from a copy of `bytes`.
class LoadingArchive {
public:
  explicit LoadingArchive(const std::vector<std::uint8_t>& bytes)
      : m_copy(bytes.empty() ? std::vector<std::uint8_t>(1) : bytes),
        m_file(m_copy.data(), static_cast<UINT>(bytes.size())), m_archive(&m_file, CArchive::load)
  {
  }
  CArchive* operator->() { return &m_archive; }
  CArchive* get() { return &m_archive; }

private:
  std::vector<std::uint8_t> m_copy;
  CMemFile m_file;
  CArchive m_archive;
};

// An archive storing into memory; bytes() closes it and answers what was written.
class StoringArchive {
public:
  StoringArchive() : m_archive(std::make_unique<CArchive>(&m_file, CArchive::store)) {}
  CArchive* get() { return m_archive.get(); }
  std::vector<std::uint8_t> bytes()
  {
    if (m_archive) {
      m_archive->Close();
      m_archive.reset();
    }
    const auto* data = m_file.GetData();
    return std::vector<std::uint8_t>(data, data + m_file.GetLength());
  }

private:
  CMemFile m_file;
  std::unique_ptr<CArchive> m_archive;
};

// The cause of the archive error that `load` raises (the exception freed), or -1 when it raises none.
template <class Load>
int ArchiveErrorOf(Load load)
{
  try {
    load();
  } catch (CArchiveException* e) {
    const int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}
