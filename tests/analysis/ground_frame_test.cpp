// The production analysis (members on distributed ground springs) against
// the closed-form beam on elastic foundation, against global equilibrium
// on every load case of the sample frames, and against CalculiX on their
// spring cases.
#include "analysis/ground_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "analysis/frame_text.h"
#include "ccx_model.h"
#include "frame_builders.h"

namespace vaultra::testing {
namespace {

// A free slab of length L on normal springs k (kN/m per m), EI, with a
// downward force P at each end (Hetenyi, Beams on Elastic Foundation,
// 1946, ch. IV). With x from midspan and lambda = (k / 4EI)^(1/4), the
// deflection w (downward) solves EI w'''' + k w = 0; being symmetric,
//   w = A cosh(lx) cos(lx) + B sinh(lx) sin(lx)          (l = lambda)
// With f1 = cosh cos, f2 = sinh sin: f1'' = -2 l^2 f2, f2'' = 2 l^2 f1,
// so w'' = 2 l^2 (B f1 - A f2), and the free end x = a = L/2 gives
//   M(a) = 0:  B f1(a) - A f2(a) = 0
//   V(a) = P:  2 l^2 EI (B f1'(a) - A f2'(a)) = -P
// (f1' = l (sinh cos - cosh sin), f2' = l (cosh sin + sinh cos)). The
// moment is M(x) = -EI w'' = -2 l^2 EI (B f1 - A f2), the shear its
// derivative, the spring pressure k w.
struct FreeSlab {
  double lam, A, B, EI, a;
  FreeSlab(double L, double EI_, double k, double P) : EI(EI_), a(L / 2) {
    lam = std::pow(k / (4 * EI), 0.25);
    double c = std::cos(lam * a), s = std::sin(lam * a), ch = std::cosh(lam * a),
           sh = std::sinh(lam * a);
    double f1 = ch * c, f2 = sh * s;
    double f1p = lam * (sh * c - ch * s), f2p = lam * (ch * s + sh * c);
    double g = 2 * lam * lam * EI;
    // [-f2 f1; -g f2p g f1p] [A B]^T = [0 -P]^T
    double det = -f2 * g * f1p + f1 * g * f2p;
    A = (f1 * P) / det;
    B = (f2 * P) / det;
  }
  double M(double x) const {  // x from the left end
    double t = lam * (x - a);
    return -2 * lam * lam * EI * (B * std::cosh(t) * std::cos(t) - A * std::sinh(t) * std::sin(t));
  }
  double W(double x) const {
    double t = lam * (x - a);
    return A * std::cosh(t) * std::cos(t) + B * std::sinh(t) * std::sin(t);
  }
};

// The slab of the two-pass scheme's failure: 3.7 m, springs 43,210.9 kN/m2,
// 50 kN at each end, 0.3 m deep. The closed form gives -34.60 kN.m at
// midspan (hogging: the ends are pressed in, the middle lifts less); the
// solver's moment sign is sagging positive along i->j.
TEST(GroundFrame, FreeSlabMatchesHetenyi) {
  const double L = 3.7, k = 43210.9, P = 50, t = 0.3;
  for (int pieces : {1, 10}) {
    FrameBuilder b;
    std::vector<int> nodes;
    for (int i = 0; i <= pieces; ++i) nodes.push_back(b.Node(L * i / pieces, 0));
    for (int i = 0; i < pieces; ++i) {
      int e = b.Member(nodes[i], nodes[i + 1], t, t * t * t / 12);
      b.Divide(e, 10);
    }
    FrameSpringCase sc;
    sc.number = 1;
    for (int e = 1; e <= pieces; ++e) sc.springs.Add({e, k, 0});
    b.model.spring_cases.Add(sc);
    // A horizontal support spring holds the slab along its axis only.
    int s = b.SupportCase({SpringSupport(nodes[0], 1e3, 0, 0)});
    auto& lc = b.LoadCase(1, s);
    lc.items.Add(FrameBuilder::Item(24, 1, -P, 0, 0));
    lc.items.Add(FrameBuilder::Item(24, pieces, -P, 0, L / pieces));
    FreeSlab exact(L, 2.5e7 * t * t * t / 12, k, P);
    AnalysisResults r;
    GroundFrameDetails details;
    ASSERT_EQ(SolveFrameOnGround(b.model, r, &details), "");
    double worst = 0, mid = 0;
    const double mmax = std::fabs(exact.M(L / 2));
    for (int e = 1; e <= pieces; ++e) {
      const auto& mc = r.At(1, e);
      for (int p = 1; p <= mc.count; ++p) {
        double x = (e - 1) * L / pieces + mc.points[p][kCompX];
        worst = std::max(worst, std::fabs(mc.points[p][kCompM] - exact.M(x)) / mmax);
        if (std::fabs(x - L / 2) < 1e-9) mid = mc.points[p][kCompM];
        // The spring reaction at the point: k w upward (+y), w downward.
        const auto& sr = r.cases[1].springs;
        auto at = std::find_if(sr.begin(), sr.end(), [&](const auto& v) { return v.member == e; });
        ASSERT_NE(at, sr.end());
        EXPECT_NEAR(at->points[p][0], k * exact.W(x), 1e-3 * k * exact.W(0));
      }
    }
    EXPECT_NEAR(mid, exact.M(L / 2), 1e-3 * mmax) << pieces << " pieces";
    EXPECT_LT(worst, 1e-3) << pieces << " pieces";
    // The springs carry both forces: 2P upward in all.
    EXPECT_NEAR(details.spring_resultants[1][1], 2 * P, 1e-9 * P);
    std::printf("free slab in %d piece(s): midspan %.4f, closed form %.4f kN.m\n", pieces, mid,
                exact.M(L / 2));
  }
}

// A wall hinged at both ends (the samples' end walls), cut because it has
// springs in another spring case, under a triangular pressure over its
// lower 1.2 m: a simple beam. q0 = 11.76 kN/m at the foot, L = 2.85 m:
// R = q0 * 1.2 / 2 = 7.056 kN at 0.4 m, so the top carries
// 7.056 * 0.4 / 2.85 = 0.99032 kN and the foot 6.06568 kN; above the load
// M(x) = -0.99032 (L - x) (the load acts in -x on a wall along +y). The
// member loads' 0.01 m strips leave a few 1e-5 kN.
TEST(GroundFrame, LoadedLinkIsASimpleBeam) {
  FrameBuilder b;
  int n1 = b.Node(0, 0), n2 = b.Node(0, 2.85);
  int e = b.Member(n1, n2, 0.475, 8.93e-3, kEndPin, kEndPin);
  b.Divide(e, 8);
  b.SpringCase({{e, 5e4, 1.5e4}});
  int s = b.SupportCase({Pin(n1), Pin(n2)});
  b.LoadCase(0, s).items.Add(FrameBuilder::Item(13, e, -11.76, 0, 0, 1.65));
  AnalysisResults r;
  ASSERT_EQ(SolveFrameOnGround(b.model, r), "");
  const double top = 7.056 * 0.4 / 2.85, foot = 7.056 - top;
  const auto& mc = r.At(1, 1);
  EXPECT_NEAR(mc.points[1][kCompS], -foot, 1e-4);
  EXPECT_NEAR(mc.points[mc.count][kCompS], top, 1e-4);
  for (int p = 1; p <= mc.count; ++p) {
    double x = mc.points[p][kCompX];
    if (x >= 1.2) {
      EXPECT_NEAR(mc.points[p][kCompM], -top * (2.85 - x), 1e-4) << x;
    }
  }
}

// The sample frames as the program writes them ("vaultra frame"): one
// folder per sample with the transverse and the longitudinal frame text.
const std::vector<std::pair<std::string, std::string>>& SampleFrames() {
  static std::vector<std::pair<std::string, std::string>> frames = [] {
    std::vector<std::pair<std::string, std::string>> out;
    std::filesystem::path root = std::filesystem::temp_directory_path() / "vaultra_ground_frames";
    std::filesystem::remove_all(root);
    for (const auto& f : std::filesystem::directory_iterator(VAULTRA_SOURCE_DIR "/samples")) {
      if (f.path().extension() != ".vt1") continue;
      std::string name = f.path().stem().string();
      std::filesystem::path dir = root / name;
      std::string cmd = std::string(VAULTRA_EXE) + " frame '" + f.path().string() +
                        "' --work-dir '" + dir.string() + "' >/dev/null 2>&1";
      if (std::system(cmd.c_str()) != 0) continue;
      for (const char* text : {"Yoko0.$O1", "Tate0.$O1"})
        if (std::filesystem::exists(dir / text)) out.push_back({name, (dir / text).string()});
    }
    std::sort(out.begin(), out.end());
    return out;
  }();
  return frames;
}

// Resultant of the load items of a case on the frame (kN in x, y; kN.m
// about the origin), from the items' own definition: member direction
// from the nodes, a linear load as its resultant at its centroid.
std::array<double, 4> LoadResultant(const FrameModel& m, int c) {
  std::array<double, 4> r{};  // x, y, moment, and the size of the loads
  for (const auto& it : m.load_cases[c].items) {
    int last = it.last_member == 0 ? it.first_member : it.last_member;
    for (int num = it.first_member; num <= last; ++num) {
      int e = FindByNumber(m.members, num);
      const FrameMember& fm = m.members[e];
      const FrameNode& a = m.nodes[FindByNumber(m.nodes, fm.node_i)];
      const FrameNode& b = m.nodes[FindByNumber(m.nodes, fm.node_j)];
      double L = std::hypot(b.x - a.x, b.y - a.y), c = (b.x - a.x) / L, s = (b.y - a.y) / L;
      double dx = 0, dy = 0;
      switch (it.type % 10) {
        case 1:
          dx = c, dy = s;
          break;
        case 2:
          dx = -s, dy = c;
          break;
        case 3:
          dx = 1;
          break;
        case 4:
          dy = 1;
          break;
        default:
          break;
      }
      double F = 0, pos = 0, couple = 0;
      if (it.type >= 11 && it.type <= 14) {
        double h0 = it.d3, h1 = L - it.d4, l = h1 - h0;
        F = (it.d1 + it.d2) * l / 2;
        pos = std::fabs(it.d1 + it.d2) > 0 ? h0 + l * (it.d1 + 2 * it.d2) / (3 * (it.d1 + it.d2))
                                           : h0 + l / 2;
        if (it.d1 + it.d2 == 0) couple = (it.d2 - it.d1) * l * l / 12;  // pure linear part
      } else if (it.type >= 21 && it.type <= 24) {
        F = it.d1, pos = it.d3;
      } else if (it.type == 27) {
        r[2] += it.d1;
        r[3] += std::fabs(it.d1) / L;
        continue;
      }
      double x = a.x + c * pos, y = a.y + s * pos;
      r[0] += F * dx, r[1] += F * dy;
      r[2] += x * F * dy - y * F * dx + couple * (dx * -s + dy * c);
      r[3] += std::fabs(F);
    }
  }
  return r;
}

// Every load case of every sample, both directions: the loads, the support
// reactions and what the springs exert on the frame balance to 1e-6 of the
// loads' size, in x, y and moment (the moment scaled by the frame's size).
// The record's spring reactions at the member ends follow the end nodes'
// displacements.
TEST(GroundFrame, SampleFramesAreInEquilibrium) {
  ASSERT_FALSE(SampleFrames().empty());
  for (const auto& [name, path] : SampleFrames()) {
    FrameModel model;
    ASSERT_EQ(LoadFrameTextFile(path, model), "") << path;
    AnalysisResults r;
    GroundFrameDetails details;
    ASSERT_EQ(SolveFrameOnGround(model, r, &details), "") << path;
    double span = std::max(r.max_x, r.max_y) + 1;
    for (int c = 1; c <= model.load_cases.Count(); ++c) {
      auto load = LoadResultant(model, c);
      std::array<double, 3> sum{load[0], load[1], load[2]};
      for (const SupportReaction& re : r.cases[c].reactions) {
        const FrameNode& n = model.nodes[FindByNumber(model.nodes, re.node)];
        sum[0] += re.values[0], sum[1] += re.values[1];
        sum[2] += n.x * re.values[1] - n.y * re.values[0] + re.values[2];
      }
      for (int d = 0; d < 3; ++d) sum[d] += details.spring_resultants[c][d];
      const double size = load[3];
      EXPECT_LE(std::fabs(sum[0]), 1e-6 * size) << name << " " << path << " case " << c;
      EXPECT_LE(std::fabs(sum[1]), 1e-6 * size) << name << " " << path << " case " << c;
      EXPECT_LE(std::fabs(sum[2]), 1e-6 * size * span) << name << " " << path << " case " << c;
      // The record's spring reactions at a member's ends: the springs'
      // stiffness times the end node's displacement, against it.
      const FrameSpringCase* sc = nullptr;
      if (int k = FindByNumber(model.spring_cases, model.load_cases[c].spring_case); k > 0)
        sc = &model.spring_cases[k];
      for (const MemberSpringReaction& sr : r.cases[c].springs) {
        ASSERT_NE(sc, nullptr);
        const FrameMember& fm = model.members[sr.member];
        double kn = 0, kt = 0;
        for (const auto& sp : sc->springs)
          if (sp.member == fm.number) kn += sp.k_normal, kt += sp.k_tangent;
        const int ni = FindByNumber(model.nodes, fm.node_i),
                  nj = FindByNumber(model.nodes, fm.node_j);
        const FrameNode& a = model.nodes[ni];
        const FrameNode& b = model.nodes[nj];
        double L = std::hypot(b.x - a.x, b.y - a.y), cs = (b.x - a.x) / L, sn = (b.y - a.y) / L;
        for (auto [p, node] : {std::pair{1, ni}, std::pair{sr.count, nj}}) {
          const auto& u = r.Disp(c, node);
          double normal = -sn * u.dx + cs * u.dy, axial = cs * u.dx + sn * u.dy;
          double scale = 1e-6 * (std::fabs(kn * normal) + std::fabs(kt * axial)) + 1e-9;
          EXPECT_NEAR(sr.points[p][0], -kn * normal, scale) << path << " case " << c;
          EXPECT_NEAR(sr.points[p][1], -kt * axial, scale) << path << " case " << c;
        }
      }
    }
  }
}

#define SKIP_WITHOUT_CCX() \
  if (!HaveCcx()) GTEST_SKIP() << "CalculiX (ccx) is not installed: solver not cross-checked"

// Every load case with distributed springs of every sample frame against
// CalculiX: each member cut in 60, the springs at every mesh node with
// their share of the length, the beams held rigid in shear (the frame's
// members are Euler-Bernoulli beams; the deep, short pieces of the samples
// would otherwise differ by shear deformation alone). At each output point
// of each member (away from the member ends, where the mesh averages the
// members of a joint, and from concentrated loads) M and S agree within
// 0.5 % of the case's largest value; the largest |M| and |S| of the case,
// so taken, within 0.5 %. ccx's springs sit at its mesh nodes, an error
// falling with the mesh size squared (on the box's water-pressure case
// ccx gives -0.4859, -0.4890, -0.4910 kN.m at 60, 80, 120 pieces, tending
// to ours, -0.4944): 0.01 kN.m or kN more is allowed, which matters only
// on cases of almost no moment. Finer ccx meshes of these frames wander
// with the mesh on a few cases, so 60 is kept. Cases with the same
// springs, supports and loads as an earlier one are run once.
TEST(GroundFrame, SampleSpringCasesAgainstCalculix) {
  SKIP_WITHOUT_CCX();
  constexpr int kSub = 60;
  constexpr double kFloor = 0.01;
  int runs = 0, skipped = 0;
  for (const auto& [name, path] : SampleFrames()) {
    FrameModel model;
    ASSERT_EQ(LoadFrameTextFile(path, model), "") << path;
    AnalysisResults r;
    ASSERT_EQ(SolveFrameOnGround(model, r), "") << path;
    std::map<std::string, int> seen;
    for (int c = 1; c <= model.load_cases.Count(); ++c) {
      const FrameLoadCase& lc = model.load_cases[c];
      if (lc.spring_case <= 0) continue;
      std::string key = std::to_string(lc.spring_case) + "/" + std::to_string(lc.support_case);
      for (const auto& it : lc.items)
        key += "/" + std::to_string(it.type) + ":" + std::to_string(it.first_member) + ":" +
               std::to_string(it.d1) + ":" + std::to_string(it.d2);
      if (!seen.emplace(key, c).second) continue;
      // A loaded member hinged at both ends (the samples' end walls) gets
      // end forces from ccx that break its own statics (under water
      // pressure 3.9 kN at the top where statics gives 0.99): its hinges,
      // translations tied by equations, are not the frame's. Such cases
      // are left out here; the link is checked by hand above.
      bool loaded_link = false;
      for (const auto& it : lc.items) {
        int last = it.last_member == 0 ? it.first_member : it.last_member;
        for (int num = it.first_member; num <= last; ++num) {
          int e = FindByNumber(model.members, num);
          loaded_link |=
              e > 0 && model.members[e].end_i == kEndPin && model.members[e].end_j == kEndPin;
        }
      }
      if (loaded_link) {
        ++skipped;
        continue;
      }
      CcxRun run = RunCcx(model, c, kSub, true, true);
      ++runs;
      ASSERT_EQ(run.error, "") << path << " case " << c;
      double maxm = 0, maxs = 0, refm = 0, refs = 0, ourm = 0, ours = 0;
      struct Point {
        int e;
        double x, m, s;
      };
      std::vector<Point> pts;
      for (int e = 1; e <= model.members.Count(); ++e) {
        const auto& mc = r.At(c, e);
        double L = run.members[e].length, h = L / kSub;
        std::vector<double> forces;
        for (const auto& it : lc.items) {
          int last = it.last_member == 0 ? it.first_member : it.last_member;
          if (e < it.first_member || e > last) continue;
          if ((it.type >= 21 && it.type <= 24) || it.type == 27) forces.push_back(it.d3);
          if (it.type >= 11 && it.type <= 14) forces.push_back(it.d3), forces.push_back(L - it.d4);
        }
        for (int p = 1; p <= mc.count; ++p) {
          double x = mc.points[p][kCompX];
          maxm = std::max(maxm, std::fabs(mc.points[p][kCompM]));
          maxs = std::max(maxs, std::fabs(mc.points[p][kCompS]));
          if (x < 1.5 * h || x > L - 1.5 * h) continue;
          if (std::any_of(forces.begin(), forces.end(),
                          [&](double f) { return std::fabs(f - x) < 1.5 * h; }))
            continue;
          pts.push_back({e, x, mc.points[p][kCompM], mc.points[p][kCompS]});
        }
      }
      for (const Point& p : pts) {
        auto ref = run.At(p.e, p.x);
        EXPECT_NEAR(p.m, ref[0], 0.005 * maxm + kFloor)
            << name << " " << path << " case " << c << " member " << p.e << " x " << p.x;
        EXPECT_NEAR(p.s, ref[1], 0.005 * maxs + kFloor)
            << name << " " << path << " case " << c << " member " << p.e << " x " << p.x;
        refm = std::max(refm, std::fabs(ref[0])), refs = std::max(refs, std::fabs(ref[1]));
        ourm = std::max(ourm, std::fabs(p.m)), ours = std::max(ours, std::fabs(p.s));
      }
      EXPECT_NEAR(ourm, refm, 0.005 * refm + kFloor) << name << " " << path << " case " << c;
      EXPECT_NEAR(ours, refs, 0.005 * refs + kFloor) << name << " " << path << " case " << c;
    }
  }
  std::printf("%d CalculiX runs on the samples' spring cases, %d with a loaded link left out\n",
              runs, skipped);
  EXPECT_GT(runs, 0);
}

}  // namespace
}  // namespace vaultra::testing
