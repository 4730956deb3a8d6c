// Runs the built executable: `vaultra design` writes a proposal that
// `vaultra calc` passes (the stand sample fails before it), its JSON and
// the quantities CSV; calc --json carries the quantities' totals.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vaultra {
namespace {

namespace fs = std::filesystem;

int RunVaultra(const std::string& args, const fs::path& dir) {
  const std::string cmd = std::string("'") + VAULTRA_EXE + "' " + args + " >'" +
                          (dir / "stdout").string() + "' 2>'" + (dir / "stderr").string() + "'";
  const int raw = std::system(cmd.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string Read(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(DesignCli, TheStandSampleFailsBeforeAndPassesWithTheProposal) {
  const fs::path dir = fs::path(testing::TempDir()) / "design_cli";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string sample = std::string(VAULTRA_SOURCE_DIR) + "/samples/stand_two_slabs.vt1";
  const std::string work = " --work-dir '" + (dir / "w").string() + "'";
  EXPECT_EQ(RunVaultra("calc '" + sample + "'" + work, dir), 1);
  const fs::path proposed = dir / "proposed.vt1";
  ASSERT_EQ(RunVaultra("design '" + sample + "' -o '" + proposed.string() + "' --json '" +
                           (dir / "p.json").string() + "' --quantities '" +
                           (dir / "q.csv").string() + "'" + work,
                       dir),
            0)
      << Read(dir / "stderr");
  // The table holds the arrows "→" (UTF-8 on stdout).
  EXPECT_NE(Read(dir / "stdout").find("\xe2\x86\x92"), std::string::npos);
  EXPECT_NE(Read(dir / "p.json").find("\"verified\": true"), std::string::npos);
  const std::string csv = Read(dir / "q.csv");
  EXPECT_EQ(csv.rfind("scope,block,kind,area_m2", 0), 0u);
  EXPECT_NE(csv.find("\nfacility,"), std::string::npos);

  EXPECT_EQ(RunVaultra("calc '" + proposed.string() + "' --json '" + (dir / "c.json").string() +
                           "'" + work,
                       dir),
            0)
      << Read(dir / "stdout");
  const std::string json = Read(dir / "c.json");
  EXPECT_NE(json.find("\"quantities\": {\"concrete_m3\": "), std::string::npos);
  EXPECT_NE(json.find("\"steel_kg\": "), std::string::npos);

  // design needs -o.
  EXPECT_EQ(RunVaultra("design '" + sample + "'" + work, dir), 2);
}

}  // namespace
}  // namespace vaultra
