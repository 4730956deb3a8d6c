// The report a checker reads, read back from the PDF (pdftotext) against
// `vaultra calc --json` of the same project, for every sample under both
// seismic methods: each member's governing ratio, its point and its check on
// the member's check page and in the verdict summary; the N.G. reason names
// the governing check; the derivations printed with --formulas add up when
// recomputed by hand from the printed inputs; no "-0.000", no negative
// required steel, no capacity sum that does not add up.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/document/project_file.h"
#include "app/pages/loads_page.h"
#include "app/pages/page_logic_impl.h"
#include "core/cp932.h"
#include "core/ui.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

// The sources are compiled to cp932; pdftotext writes UTF-8.
std::string U(const std::string& cp932) {
  return Cp932ToUtf8(cp932);
}

std::string ReadText(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

int RunVaultra(const std::string& args) {
  const int rc = std::system((std::string(VAULTRA_EXE) + " " + args + " >/dev/null 2>&1").c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

struct JsonMember {
  int row = 0;
  double ratio = 0;
  std::string governs, verdict;
};
using Key = std::pair<int, int>;  // member, combination

std::map<Key, JsonMember> ReadMembers(const std::string& json) {
  std::map<Key, JsonMember> out;
  const std::regex re(
      R"re(\{"member": (\d+),[^\n]*"combination": (\d),[^\n]*"row": (\d+), "ratio": ([-0-9.e+]+|null), "governs": "(\w+)",[^\n]*?"verdict": "([^"]+)")re");
  for (auto it = std::sregex_iterator(json.begin(), json.end(), re); it != std::sregex_iterator();
       ++it) {
    JsonMember m;
    m.row = std::stoi((*it)[3]);
    m.ratio = (*it)[4] == "null" ? NAN : std::stod((*it)[4]);
    m.governs = (*it)[5];
    m.verdict = (*it)[6];
    out[{std::stoi((*it)[1]), std::stoi((*it)[2])}] = m;
  }
  return out;
}

// The text's lines with every blank removed (pdftotext spaces the glyph
// runs by their positions).
std::vector<std::string> Squeezed(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::string s;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == ' ' || line[i] == '\f') continue;
      if (line.compare(i, 3, "\u3000") == 0) {  // ideographic space
        i += 2;
        continue;
      }
      s += line[i];
    }
    out.push_back(s);
  }
  return out;
}

const std::string kStates[3] = {U("常時"), U("Ｌ１"), U("Ｌ２")};
const std::string kLabels[3] = {U("(常時)"), U("(地震動時ﾚﾍﾞﾙ1)"), U("(地震動時ﾚﾍﾞﾙ2)")};

// The governing check's printed word for calc's key.
std::string GovernsWord(const std::string& key, int kind) {
  if (key == "flexure") return kind == 2 ? U("曲げ耐力") : U("曲げ(σs)");
  if (key == "shear") return kind == 2 ? U("せん断耐力") : U("せん断(τ)");
  if (key == "capacity_design") return U("耐力設計");
  return "";
}

void CheckProject(const std::string& name, const std::map<Key, JsonMember>& want,
                  const std::vector<std::string>& lines) {
  SCOPED_TRACE(name);
  ASSERT_FALSE(want.empty());
  // 1. Every member and state: its verdict line carries calc's ratio, point
  // and check, and the check block of that point is printed and marked.
  for (const auto& [key, jm] : want) {
    const auto [m, k] = key;
    SCOPED_TRACE("member " + std::to_string(m) + " " + kStates[k]);
    const std::string head = U("部材No.") + std::to_string(m) + kStates[k] + U("判定：");
    const std::regex verdict(
        std::string("^") + head +
        U(R"((O\.K\.|N\.G\.).*照査比([0-9.]+)(>1\.000)?.*?(点(\d+))?([^点]*)x=(-?[0-9.]+)m(.*)$)"));
    int found = 0;
    std::size_t at = 0;
    std::smatch mm;
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (std::regex_search(lines[i], mm, verdict)) {
        ++found;
        at = i;
        EXPECT_EQ(mm[1].str(), jm.verdict) << lines[i];
        if (std::isfinite(jm.ratio)) {
          EXPECT_NEAR(std::stod(mm[2].str()), jm.ratio, 0.0005 + 1e-9) << lines[i];
        }
        if (mm[5].matched) {
          EXPECT_EQ(std::stoi(mm[5].str()), jm.row) << lines[i];
        }
        EXPECT_NE(mm[8].str().find(GovernsWord(jm.governs, k)), std::string::npos) << lines[i];
        EXPECT_NE(mm[7].str(), "-0.000") << lines[i];
        break;
      }
    if (!std::isfinite(jm.ratio)) continue;
    ASSERT_EQ(found, 1) << head;
    // The block with the mark lies above the verdict line, after the
    // previous member/state verdict.
    bool block = false;
    for (std::size_t i = at; i-- > 0;) {
      if (lines[i].find(U("判定：")) != std::string::npos && lines[i].rfind(U("部材No."), 0) == 0)
        break;
      if (lines[i].rfind(U("■部材No.") + std::to_string(m), 0) == 0 &&
          lines[i].find(U("＊最大照査比")) != std::string::npos &&
          lines[i].find(kLabels[k]) != std::string::npos) {
        block = true;
        if (jm.row > 0 && lines[i].find(U("点")) != std::string::npos) {
          EXPECT_NE(lines[i].find(U("点") + std::to_string(jm.row) + "x="), std::string::npos)
              << lines[i];
        }
        break;
      }
    }
    EXPECT_TRUE(block) << "no marked check block before: " << lines[at];
    // An N.G. names the governing check first.
    if (jm.verdict == "N.G." && jm.ratio > 1) {
      const std::string& l = lines[at];
      const std::string reason = l.substr(l.find("N.G."));
      if (k < 2 && jm.governs == "shear") {
        EXPECT_NE(reason.find(U("τ超過")), std::string::npos) << l;
      }
      if (k < 2 && jm.governs == "flexure") {
        EXPECT_NE(reason.find(U("σs超過")), std::string::npos) << l;
      }
      if (k < 2 && jm.governs == "shear" && reason.find(U("σs超過")) != std::string::npos) {
        EXPECT_LT(reason.find(U("τ超過")), reason.find(U("σs超過"))) << l;
      }
    }
  }

  // 2. The summary: per state the largest printed ratio is calc's largest,
  // each printed group maximum is one of calc's members' ratios or below it,
  // and the first N.G. is calc's first.
  std::array<double, 3> printed_max{0, 0, 0}, json_max{0, 0, 0};
  for (const auto& [key, jm] : want)
    if (std::isfinite(jm.ratio)) json_max[key.second] = std::max(json_max[key.second], jm.ratio);
  const std::regex row(U(
      R"((常時|Ｌ１|Ｌ２)(曲げ\(σs\)|せん断\(τ\)|曲げ耐力|せん断耐力|耐力設計)([0-9.]+)No\.(\d+))"));
  bool in_summary = false;
  std::string first_ng;
  int summary_rows = 0;
  for (const std::string& l : lines) {
    if (l.find(U("照査結果一覧")) != std::string::npos) in_summary = true;
    if (!in_summary) continue;
    std::smatch mm;
    if (std::regex_search(l, mm, row)) {
      ++summary_rows;
      const int k = mm[1] == U("常時") ? 0 : mm[1] == U("Ｌ１") ? 1 : 2;
      const double v = std::stod(mm[3].str());
      printed_max[k] = std::max(printed_max[k], v);
      const auto it = want.find({std::stoi(mm[4].str()), k});
      ASSERT_NE(it, want.end()) << l;
      if (std::isfinite(it->second.ratio)) {
        EXPECT_LE(v, it->second.ratio + 0.0005) << l;
      }
    }
    if (l.find(U("最初のN.G.：")) != std::string::npos) first_ng = l;
    if (l.find(U("すべての照査を満足する")) != std::string::npos || !first_ng.empty()) break;
  }
  EXPECT_GT(summary_rows, 0);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(printed_max[k], json_max[k], 0.0005 + 1e-9) << k;
  for (const auto& [key, jm] : want)
    if (jm.verdict == "N.G.") {
      EXPECT_NE(first_ng.find(U("部材No.") + std::to_string(key.first) + kStates[key.second]),
                std::string::npos)
          << first_ng;
      break;
    }

  // 3. Numbers as a checker reads them.
  const std::regex sum(R"(Vyd=Vcd\+Vsd=([-0-9.]+)\+([-0-9.]+)=([-0-9.]+)kN)");
  const std::regex steel(U(R"(必要鉄筋量外側(-?[0-9.]+)内側(-?[0-9.]+)スターラップ(-?[0-9.]+))"));
  const std::regex tau(
      U(R"(\[式\]τ=S/\(b･j･d\)=([0-9.]+)×10\^3/\(([0-9.]+)×([0-9.]+)×([0-9.]+)\)=([0-9.]+)N/mm2)"));
  const std::regex tau1(
      U(R"(\[式\]τ=S/\(b･d\)=([0-9.]+)×10\^3/\(([0-9.]+)×([0-9.]+)\)=([0-9.]+)N/mm2)"));
  const std::regex corr(
      U(R"(\[式\]τa1'=Ce･Cpt･CN･τa1=([0-9.]+)×([0-9.]+)×([0-9.]+)×([0-9.]+)(×2)?=([0-9.]+))"));
  const std::regex ratio_s(U(R"(\[式\]照査比\(曲げ\)=σs/σsa=(-?[0-9.]+)/([0-9.]+)=(-?[0-9.]+))"));
  const std::regex force_row(R"(^\d+\S*?-?\d+\.\d{3}-?\d+\.\d{2}-?\d+\.\d{2}-?\d+\.\d{2}$)");
  // The rear wheel: pw = 2·P·(1 + i)·β / (2.75·w) and w = 2·D + 0.2 by hand.
  const std::regex wheel(
      U(R"(ｐw＝.*＝2×([0-9.]+)×\(1＋([0-9.]+)\)×([0-9.]+)／\(2\.75×([0-9.]+)\)＝([0-9.]+))"));
  const std::regex width(U(R"(ｗ＝2・Ｄ＋0\.2＝2×([0-9.]+)＋0\.2＝([0-9.]+)m)"));
  int derivations = 0;
  for (const std::string& l : lines) {
    // Positions on the check pages, in the summary and the member-force
    // table (the figures' labels are drawn by the figure code).
    if (l.find("x=") != std::string::npos || std::regex_search(l, force_row)) {
      EXPECT_EQ(l.find("-0.000"), std::string::npos) << l;
    }
    std::smatch mm;
    if (std::regex_search(l, mm, sum)) {
      EXPECT_NEAR(std::stod(mm[1]) + std::stod(mm[2]), std::stod(mm[3]), 0.011) << l;
    }
    if (std::regex_search(l, mm, steel)) {
      for (int i = 1; i <= 3; ++i) EXPECT_GE(std::stod(mm[i]), 0.0) << l;
    }
    // τ = S/(b·j·d) by hand from the printed S, b, j, d (their rounding
    // allows 0.2 %).
    if (std::regex_search(l, mm, tau)) {
      ++derivations;
      const double t =
          std::stod(mm[1]) * 1e3 / (std::stod(mm[2]) * std::stod(mm[3]) * std::stod(mm[4]));
      EXPECT_NEAR(t, std::stod(mm[5]), 0.002 * t + 0.0011) << l;
    }
    if (std::regex_search(l, mm, tau1)) {
      ++derivations;
      const double t = std::stod(mm[1]) * 1e3 / (std::stod(mm[2]) * std::stod(mm[3]));
      EXPECT_NEAR(t, std::stod(mm[4]), 0.002 * t + 0.0011) << l;
    }
    if (std::regex_search(l, mm, corr)) {
      ++derivations;
      double t = std::stod(mm[1]) * std::stod(mm[2]) * std::stod(mm[3]) * std::stod(mm[4]);
      if (mm[5].matched) t *= 2;
      EXPECT_NEAR(t, std::stod(mm[6]), 0.003 * t + 0.0011) << l;
    }
    if (std::regex_search(l, mm, wheel)) {
      ++derivations;
      const double pw = 2 * std::stod(mm[1]) * (1 + std::stod(mm[2])) * std::stod(mm[3]) /
                        (2.75 * std::stod(mm[4]));
      EXPECT_NEAR(pw, std::stod(mm[5]), 0.0006 + 0.0002 * pw) << l;
    }
    if (std::regex_search(l, mm, width)) {
      EXPECT_NEAR(2 * std::stod(mm[1]) + 0.2, std::stod(mm[2]), 0.0011) << l;
    }
    if (std::regex_search(l, mm, ratio_s)) {
      ++derivations;
      EXPECT_NEAR(std::stod(mm[1]) / std::stod(mm[2]), std::stod(mm[3]), 0.0011) << l;
    }
  }
  EXPECT_GT(derivations, 0);
}

// The seismic load tables recomputed by hand from their printed values
// (the layout text, blanks kept): inertia q = kh·w; the side walls carry the
// capped top shear; the cover inertia τ = kh·σv with kh = (1 − 0.015·zc/2)·K.
void CheckSeismicTables(const std::string& name, const std::string& text) {
  SCOPED_TRACE(name);
  std::istringstream in(text);
  std::string line;
  const std::string num = R"(\s+(-?[0-9]+\.[0-9]+))";
  const std::regex inertia("^\\s*\\d+\\s+\\S.*?" + num + num + num + num + num + num + num +
                           "\\s*$");
  const std::regex shear(U(R"(^\s*Ｌ\s*(１|２))") + num + num + num + num + num + "\\s*$");
  const std::regex cover(U(R"(^\s*Ｌ\s*(１|２))") + num + num + num + num + "\\s*$");
  const std::regex sigma(U(R"(σ\s*v\s*＝\s*([0-9.]+).*ｚ\s*c\s*＝\s*([0-9.]+))"));
  enum { kNone, kInertia, kShear, kCover } table = kNone;
  int inertia_rows = 0, shear_rows = 0, cover_checked = 0;
  std::vector<std::array<double, 4>> cover_rows;
  const std::regex heading(R"(^\s*\(\d+\))");
  while (std::getline(in, line)) {
    if (std::regex_search(line, heading)) table = kNone;  // a new item ends a table
    if (line.find(U("慣性力")) != std::string::npos && line.find(U("覆土")) == std::string::npos &&
        line.find(U("･･")) == std::string::npos)
      table = kInertia;
    if (line.find(U("地震時周面せん断力")) != std::string::npos &&
        line.find(U("･･")) == std::string::npos)
      table = kShear;
    if (line.find(U("覆土慣性力")) != std::string::npos &&
        line.find(U("･･")) == std::string::npos) {
      table = kCover;
      cover_rows.clear();
    }
    std::smatch m;
    if (table == kInertia && std::regex_search(line, m, inertia)) {
      ++inertia_rows;
      const double w = std::stod(m[3]), kh1 = std::stod(m[4]), q1 = std::stod(m[5]),
                   kh2 = std::stod(m[6]), q2 = std::stod(m[7]);
      EXPECT_NEAR(w * kh1, q1, 0.00051) << line;
      EXPECT_NEAR(w * kh2, q2, 0.00051) << line;
    }
    if (table == kShear && std::regex_search(line, m, shear)) {
      ++shear_rows;
      // τ top, τ bottom, capped top, capped bottom, side wall.
      EXPECT_LE(std::stod(m[4]), std::stod(m[2]) + 1e-9) << line;
      EXPECT_EQ(m[6].str(), m[4].str()) << line;
      if (shear_rows % 2 == 0) table = kNone;
    }
    if (table == kCover && std::regex_search(line, m, cover))
      cover_rows.push_back({std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), std::stod(m[5])});
    if (table == kCover && std::regex_search(line, m, sigma) && cover_rows.size() == 2) {
      const double sv = std::stod(m[1]), zc = std::stod(m[2]);
      for (const auto& r : cover_rows) {
        ++cover_checked;
        EXPECT_NEAR(r[1], r[0] * (1 - 0.015 * zc / 2), 0.00006 + 0.0005 * 0.015 * zc) << line;
        EXPECT_NEAR(r[2], r[1] * sv, 0.0006 + 0.00005 * sv) << line;
      }
      table = kNone;
    }
  }
  EXPECT_GT(inertia_rows, 0);
  // The seismic-coefficient report has the cover inertia table.
  if (name.find("coefficient") != std::string::npos) {
    EXPECT_GE(cover_checked, 2);
  }
  // The response-displacement report has the peripheral shear table.
  if (name.find("displacement") != std::string::npos) {
    EXPECT_GE(shear_rows, 2);
    EXPECT_EQ(shear_rows % 2, 0);
  }
}

TEST(ReportNumbers, GoverningChecksSummaryAndDerivationsMatchCalc) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftotext";
  const fs::path dir = fs::temp_directory_path() / ("vaultra_numbers_" + std::to_string(getpid()));
  fs::create_directories(dir);
  RecordingUi ui;
  const MasterData md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
  int projects = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(VAULTRA_SOURCE_DIR) / "samples")) {
    if (entry.path().extension() != ".vt1") continue;
    for (const bool coefficient : {false, true}) {
      const std::string name =
          entry.path().stem().string() + (coefficient ? "_coefficient" : "_displacement");
      const fs::path project = dir / (name + ".vt1");
      {
        ProjectState state = DefaultProjectState();
        InputPageLogic logic(md);
        ASSERT_TRUE(LoadProjectFile(state, entry.path().string(), logic).loaded);
        state.loads.At("RbCalcHenni").checked = !coefficient;
        state.loads.At("RbCalcSindo").checked = coefficient;
        MethodChanged(state.loads);
        ASSERT_TRUE(SaveProjectFile(state, project.string(), logic));
      }
      const fs::path json = dir / (name + ".json"), pdf = dir / (name + ".pdf"),
                     txt = dir / (name + ".txt");
      RunVaultra("calc '" + project.string() + "' --json '" + json.string() + "' --report '" +
                 pdf.string() + "' --formulas --work-dir '" + (dir / "w").string() + "'");
      ASSERT_TRUE(fs::exists(json)) << name;
      ASSERT_TRUE(fs::exists(pdf)) << name;
      ASSERT_EQ(
          std::system(("pdftotext -layout '" + pdf.string() + "' '" + txt.string() + "'").c_str()),
          0);
      CheckProject(name, ReadMembers(ReadText(json)), Squeezed(ReadText(txt)));
      CheckSeismicTables(name, ReadText(txt));
      ++projects;
    }
  }
  EXPECT_EQ(projects, 8);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vaultra
