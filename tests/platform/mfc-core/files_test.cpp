#include "archive_bytes.h"

#include "platform/base/hresult.h"
#include "platform/mfc-core/array.h"
#include "platform/mfc-core/cfile.h"
#include "platform/mfc-core/memfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

using namespace testing_mfc;

// A fresh folder per test; paths are handed to CFile as the program's (cp1251) text.
class CFileTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    folder_ = std::filesystem::temp_directory_path() /
              ("tesmira-cfile-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  static Bytes ReadAll(const std::string& path)
  {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path folder_;
};

TEST_F(CFileTest, ArchiveRoundTripThroughADiskFile)
{
  const std::string path = Path("project.qorr5");
  CArray<double> values;
  for (int i = 0; i < 10000; ++i) {
    values.Add(i * 0.5);
  }
  {
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
    CArchive ar(&file, CArchive::store);
    ar.Write("QORR", 4);
    ar << static_cast<DWORD>(0x06002A00) << CString("Проект");
    values.Serialize(ar);
    ar.Close();
    file.Close();
  }
  const Bytes onDisk = ReadAll(path);
  ASSERT_EQ(onDisk.size(), 4u + 4u + 7u + 2u + 80000u);
  EXPECT_EQ(Bytes(onDisk.begin(), onDisk.begin() + 17),
            Hex("51 4F 52 52  00 2A 00 06  06 CF F0 EE E5 EA F2  10 27"));

  CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
  EXPECT_EQ(file.GetLength(), onDisk.size());
  CArchive ar(&file, CArchive::load);
  char magic[4];
  DWORD version = 0;
  CString name;
  CArray<double> loaded;
  ASSERT_EQ(ar.Read(magic, 4), 4u);
  ar >> version >> name;
  loaded.Serialize(ar);
  EXPECT_EQ(version, 0x06002A00u);
  EXPECT_TRUE(name == "Проект");
  ASSERT_EQ(loaded.GetSize(), 10000);
  EXPECT_EQ(loaded[9999], 9999 * 0.5);
}

TEST_F(CFileTest, PositionSeekLengthAndTruncation)
{
  const std::string path = Path("data.bin");
  CFile file(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
  file.Write("abcdef", 6);
  EXPECT_EQ(file.GetPosition(), 6u);
  EXPECT_EQ(file.Seek(-2, CFile::end), 4u);
  char two[2];
  EXPECT_EQ(file.Read(two, 2), 2u);
  EXPECT_EQ(std::string(two, 2), "ef");
  EXPECT_EQ(file.Read(two, 2), 0u);
  file.SetLength(3);
  EXPECT_EQ(file.GetLength(), 3u);
  EXPECT_EQ(file.GetFilePath(), CString(path.c_str()));
  EXPECT_TRUE(file.GetFileName() == "data.bin");
  EXPECT_TRUE(file.GetFileTitle() == "data");
  file.Close();
  EXPECT_EQ(file.m_hFile, CFile::hFileNull);

  // modeNoTruncate keeps what is there; modeCreate alone empties it.
  {
    CFile keep(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
    EXPECT_EQ(keep.GetLength(), 3u);
  }
  {
    CFile empty(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    EXPECT_EQ(empty.GetLength(), 0u);
  }
}

TEST_F(CFileTest, FailuresCarryTheCauseAndTheWin32Code)
{
  const std::string missing = Path("missing.qorr5");
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(error.m_lOsError, static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(error.m_strFileName == missing.c_str());

  bool thrown = false;
  try {
    CFile opened(missing.c_str(), CFile::modeRead);
  } catch (CFileException* e) {
    thrown = e->m_cause == CFileException::fileNotFound;
    EXPECT_FALSE(e->GetErrorMessage().IsEmpty());
    e->Delete();
  }
  EXPECT_TRUE(thrown);

  const std::string noFolder = Path("no/such/folder/x.bin");
  EXPECT_FALSE(file.Open(noFolder.c_str(), CFile::modeCreate | CFile::modeWrite, &error));
  EXPECT_EQ(error.m_cause, CFileException::badPath);

  // An exclusive open keeps a second one out, as the program's single-writer files expect.
  const std::string shared = Path("shared.bin");
  CFile first(shared.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
  CFile second;
  for (UINT share : {CFile::shareDenyNone, CFile::shareDenyWrite, CFile::shareExclusive}) {
    EXPECT_FALSE(second.Open(shared.c_str(), CFile::modeRead | share, &error)) << share;
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(error.m_lOsError, static_cast<LONG>(ERROR_SHARING_VIOLATION));
  }
  first.Close();
  EXPECT_TRUE(second.Open(shared.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error));
  // Readers that only deny writing share the file.
  CFile third;
  EXPECT_TRUE(third.Open(shared.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error));
}

TEST_F(CFileTest, RenameAndRemove)
{
  const std::string from = Path("a.tmp");
  const std::string to = Path("b.tmp");
  { CFile file(from.c_str(), CFile::modeCreate | CFile::modeWrite); }
  CFile::Rename(from.c_str(), to.c_str());
  CFileStatus status;
  EXPECT_FALSE(CFile::GetStatus(from.c_str(), status));
  EXPECT_TRUE(CFile::GetStatus(to.c_str(), status));
  CFile::Remove(to.c_str());
  EXPECT_FALSE(std::filesystem::exists(to));
  bool thrown = false;
  try {
    CFile::Remove(to.c_str());
  } catch (CFileException* e) {
    thrown = e->m_cause == CFileException::fileNotFound;
    e->Delete();
  }
  EXPECT_TRUE(thrown);
}

TEST(CMemFile, GrowsAndRoundTripsThroughAnArchive)
{
  CMemFile file(16);
  {
    CArchive ar(&file, CArchive::store);
    for (int i = 0; i < 5000; ++i) {
      ar << static_cast<LONG>(i);
    }
    ar << CString("конец");
    ar.Close();
  }
  EXPECT_EQ(file.GetLength(), 5000u * 4 + 6);
  file.SeekToBegin();
  CArchive ar(&file, CArchive::load);
  LONG value = 0;
  for (int i = 0; i < 5000; ++i) {
    ar >> value;
    ASSERT_EQ(value, i);
  }
  CString last;
  ar >> last;
  EXPECT_TRUE(last == "конец");
}

TEST(CMemFile, AttachedBuffersAndDetach)
{
  // Attached with no growth step, the buffer is the whole file: readable, not extendable.
  BYTE fixed[4] = {1, 2, 3, 4};
  CMemFile file(fixed, sizeof fixed);
  EXPECT_EQ(file.GetLength(), 4u);
  file.Seek(2, CFile::begin);
  BYTE one = 0;
  EXPECT_EQ(file.Read(&one, 1), 1u);
  EXPECT_EQ(one, 3);
  file.SeekToEnd();
  bool thrown = false;
  try {
    file.Write(&one, 1);
  } catch (CMemoryException* e) {
    thrown = true;
    e->Delete();
  }
  EXPECT_TRUE(thrown);

  try {
    file.Seek(-10, CFile::current);
    ADD_FAILURE() << "a seek before the start must throw";
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::badSeek);
    e->Delete();
  }

  CMemFile growing;
  growing.Write("abc", 3);
  const ULONGLONG length = growing.GetLength();
  BYTE* detached = growing.Detach();
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(detached), 3), "abc");
  EXPECT_EQ(growing.GetLength(), 0u);
  std::free(detached);
}

}  // namespace
