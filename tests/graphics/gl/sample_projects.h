// The sample projects the calculating tests leave in the artifacts folder, copied for one test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

struct Sample {
  const char* name;
  const char* producer;  // the test program that calculates and saves it
  const char* filter;
};

inline const Sample kSamples[] = {
    {"straight", TESMIRA_DOCUMENT_TESTS, "CalculationRun.TheSampleStraightRoadThroughOurEngine"},
    {"open-territory", TESMIRA_GEOMETRY_PICTURE_TESTS, "SampleSite.OpenTerritory*"},
    {"interchange", TESMIRA_GEOMETRY_PICTURE_TESTS, "SampleSite.Interchange*"},
};

// A copy of the sample for this test alone: made first by its own test when it is not there yet, so this test
// passes alone and in any order, and copied so that a producer writing it again meanwhile changes nothing here.
inline std::string SampleCopy(const Sample& sample)
{
  const std::filesystem::path artifacts(TESMIRA_ARTIFACTS_DIR);
  const std::filesystem::path file = artifacts / (std::string("sample-") + sample.name + ".qorr5");
  std::filesystem::create_directories(artifacts);
  // One maker at a time: several of these tests start together on a fresh build, and makers running side by side
  // share the engine's exchange files in the artifacts folder.
  const int lock = ::open((artifacts / "samples.lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
  if (lock >= 0)
    ::flock(lock, LOCK_EX);
  if (!std::filesystem::exists(file)) {
    const std::string command = std::string("LSAN_OPTIONS=suppressions=") + TESMIRA_MESA_LEAKS +
                                " TESMIRA_TEST=1 '" + sample.producer + "' --gtest_filter='" + sample.filter +
                                "' > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }
  // One copy per process: tests running side by side must not overwrite the copy another one is reading.
  const std::filesystem::path copy = std::filesystem::path(::testing::TempDir()) /
                                     (std::string("core-") + sample.name + "-" + std::to_string(::getpid()) + ".qorr5");
  std::error_code error;
  std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing, error);
  EXPECT_FALSE(error) << file << ": " << error.message();
  if (lock >= 0)
    ::close(lock);
  return copy.string();
}
