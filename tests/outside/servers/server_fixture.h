// What the server tests share: a temporary folder, string variants, and a database made through the factory.
#pragma once

#include "outside/servers/iluminaire_database.h"
#include "outside/servers/qord_file.h"
#include "platform/base/codepage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace servers_test {

class TempFolder {
public:
  TempFolder()
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "tesmira-servers-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      ADD_FAILURE() << "mkdtemp failed";
    m_path = pattern;
  }
  ~TempFolder()
  {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }
  const std::string& path() const { return m_path; }

private:
  std::string m_path;
};

// A string variant holding cp1251 program text.
class TextVariant {
public:
  explicit TextVariant(const std::string& cp1251)
  {
    m_v.vt = VT_BSTR;
    m_v.bstrVal = SysAllocString(codepage::Cp1251ToUtf16(cp1251));
  }
  ~TextVariant() { SysFreeString(m_v.bstrVal); }
  operator VARIANT() const { return m_v; }

private:
  VARIANT m_v;
};

// Holds the one reference of a database made through the factory.
class Database {
public:
  Database()
  {
    void* object = nullptr;
    EXPECT_EQ(qorsrv::QorSrvCreateInstance(qorsrv::CLSID_LuminaireDatabase, qorsrv::IID_ILuminaireDatabase, &object),
              S_OK);
    m_db = static_cast<::ILuminaireDatabase*>(object);
  }
  ~Database()
  {
    if (m_db)
      m_db->Release();
  }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  ::ILuminaireDatabase* operator->() const { return m_db; }
  operator ::ILuminaireDatabase*() const { return m_db; }

private:
  ::ILuminaireDatabase* m_db = nullptr;
};

// Adds a catalogue file (a file-system path of ASCII characters) and answers the result, status in `status`.
inline HRESULT AddCatalog(::ILuminaireDatabase* db, const std::string& path, BOOL main, LONG* status)
{
  return db->LuminaireDbAddCatalog(TextVariant(path), main, status);
}

inline std::string SharedIes() { return std::string(TESMIRA_SOURCE_DIR) + "/outside/servers/data/led-street-2070lm.ies"; }
inline std::string SharedLdt() { return std::string(TESMIRA_SOURCE_DIR) + "/outside/servers/data/led-street-2070lm.ldt"; }

}  // namespace servers_test
