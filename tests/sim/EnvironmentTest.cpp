// InstallFromEnvironment: what the program does at start-up.
#include <cstdlib>
#include <fstream>

#include "BaySupport.h"
#include "sim/SystemCallTracer.h"

namespace {

void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  if (value.empty())
    unsetenv(name);
  else
    setenv(name, value.c_str(), 1);
#endif
}

class Environment : public ::testing::Test {
 protected:
  void TearDown() override {
    sim::InstallBay(nullptr);
    SetEnvironment("TORVANE_SIMULATE", "");
    SetEnvironment("TORVANE_SIMULATE_TRACE", "");
    SetEnvironment("TORVANE_TRACE", "");
  }
};

TEST_F(Environment, UnsetLeavesTheRealSystem) {
  SetEnvironment("TORVANE_SIMULATE", "");
  std::string error = "untouched";
  EXPECT_TRUE(sim::InstallFromEnvironment(&error));
  EXPECT_EQ(error, "untouched");
  EXPECT_EQ(platform::GetDriveTypeA("Q:\\"), platform::RealSystemCalls().GetDriveTypeA("Q:\\"));
}

TEST_F(Environment, BrokenBayFileIsReportedAndNotInstalled) {
  const std::string bayPath = ::testing::TempDir() + "env-broken.bay";
  std::ofstream(bayPath) << "[disk 0]\nwhat = 1\n";
  SetEnvironment("TORVANE_SIMULATE", bayPath);
  std::string error;
  EXPECT_FALSE(sim::InstallFromEnvironment(&error));
  EXPECT_EQ(error, bayPath + ": line 2: unknown key 'what' in [disk 0]");
  // Nothing installed: the calls still reach the real system (which, under
  // Wine, has a C: of its own).
  char name[100];
  char real[100];
  EXPECT_EQ(platform::GetVolumeNameForVolumeMountPointA("Q:\\", name, sizeof name),
            platform::RealSystemCalls().GetVolumeNameForVolumeMountPointA("Q:\\", real,
                                                                         sizeof real));
  EXPECT_EQ(platform::GetDriveTypeA("C:\\"), platform::RealSystemCalls().GetDriveTypeA("C:\\"));
}

TEST_F(Environment, BayFileAndTraceFileAreUsed) {
  const std::string bayPath = ::testing::TempDir() + "env-good.bay";
  const std::string tracePath = ::testing::TempDir() + "env-trace.txt";
  std::remove(tracePath.c_str());
  std::ofstream(bayPath) << "[system]\nwindows_directory = E:\\WIN\n";
  SetEnvironment("TORVANE_SIMULATE", bayPath);
  SetEnvironment("TORVANE_SIMULATE_TRACE", tracePath);
  std::string error;
  ASSERT_TRUE(sim::InstallFromEnvironment(&error)) << error;
  char directory[MAX_PATH];
  EXPECT_EQ(platform::GetWindowsDirectoryA(directory, MAX_PATH), 6u);
  EXPECT_STREQ(directory, "E:\\WIN");
  std::ifstream trace(tracePath);
  std::string line;
  ASSERT_TRUE(std::getline(trace, line));
  EXPECT_EQ(line, "- WINDIR - len=0 dir=none -> ok");
}

}  // namespace
