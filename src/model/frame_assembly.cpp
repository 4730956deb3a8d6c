#include "model/frame_assembly.h"

#include <algorithm>
#include <cmath>

#include "inputs/master_data.h"
#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

namespace {

const char* const kSpringNames[7] = {"",
                                     "L1-底版のみ",
                                     "L1-底版+端壁",
                                     "L2-底版のみ",
                                     "L2-底版+端壁",
                                     "L1-底版+右壁",
                                     "L2-底版+右壁"};
const char* const kSupportNames[4] = {"", "常時荷重", "地震時・固定荷重", "地震時荷重"};

}  // namespace

void FillFrameModel(FrameModel& f, const StructureModel& m, Direction dir, int format_index,
                    const LoadInputs& in) {
  static constexpr const char* kTags[4] = {"FRAME-00", "FRAME-01", "FRAME-02", "FRAME-03"};
  f.Clear();
  f.format_tag = kTags[std::clamp(format_index, 0, 3)];
  f.opt_mmax = 1;
  f.title = TruncateBytes(in.rec->model.name, kFrameTitleBytes);
  const MaterialsRecord& mat = in.rec->materials;
  for (int g = 1; g <= 4; ++g) f.materials.Add({g, mat.Column(g).ec * 1000, 0.00001, 0});
  for (int k = 1; k <= m.member_count; ++k) {
    const MemberSection& s = m.Section(k);
    const double h = s.Current(1) * 0.001, b = s.Current(0) * 0.001,
                 L = std::max(s.Current(3) * 0.001, 0.001);
    f.sections.Add({k, h * b / L, b * h * h * h / (12 * L)});
  }
  for (int k = 1; k <= m.node_count; ++k) f.nodes.Add({k, m.Node(k).x, m.Node(k).y});
  for (int k = 1; k <= m.member_count; ++k) {
    const ModelMember& mb = m.Member(k);
    FrameMember fm;
    fm.number = k;
    fm.node_i = mb.node_i;
    fm.node_j = mb.node_j;
    fm.end_i = mb.code_i;
    fm.end_j = mb.code_j;
    fm.section = k;
    fm.name = in.master ? TruncateBytes(in.master->MemberTypeName(mb.type), kFrameMemberNameBytes)
                        : std::string();
    if (dir == kTransverse)
      fm.material = (mb.type == 19 || mb.type == 20) ? 2 : (mb.type >= 21 && mb.type <= 23) ? 3 : 1;
    else
      fm.material = (mb.type == 1 || mb.type == 2) ? 4 : (mb.type >= 21 && mb.type <= 23) ? 3 : 1;
    f.members.Add(fm);
    int parts = 4;
    if (dir == kTransverse && mb.length <= 1.4) parts = 2;
    if (dir == kLongitudinal && (mb.type == 1 || mb.type == 2 || mb.type == 12)) parts = 8;
    f.equal_divisions.Add({k, k, parts});
  }
  // Specified positions at the points of interest (transverse only).
  if (dir == kTransverse)
    for (int k = 1; k <= m.member_count; ++k) {
      const ModelMember& mb = m.Member(k);
      if (mb.length < 0.001) continue;
      const auto& p = mb.points;
      const double L = mb.length;
      std::vector<double> xs;
      for (double v : {p[0], p[3], p[2], p[1]})
        if (v != 0) xs.push_back(v);
      for (double v : {p[4], p[7], p[6], p[5]})
        if (v != 0) xs.push_back(L - v);
      if (xs.empty()) continue;
      std::sort(xs.begin(), xs.end());
      FrameSpecifiedPositions sp;
      sp.member = k;
      for (double x : xs) {
        FramePosition pos;
        pos.x = RoundTo3(x);
        auto near = [&](double v) { return v != 0 && std::fabs(pos.x - v) < 0.001; };
        if (near(p[0])) pos.name = "ハンチ";
        if (near(p[2])) pos.name = "内鉄筋2･d";
        if (near(p[1])) pos.name = "外鉄筋2･d";
        if (near(p[3])) pos.name = "h/2";
        if (p[4] != 0 && near(L - p[4])) pos.name = "ハンチ";
        if (p[6] != 0 && near(L - p[6])) pos.name = "内鉄筋2･d";
        if (p[5] != 0 && near(L - p[5])) pos.name = "外鉄筋2･d";
        if (p[7] != 0 && near(L - p[7])) pos.name = "h/2";
        sp.positions.Add(pos);
      }
      f.specified.Add(sp);
    }
  // Spring cases 1..6.
  const SpringSet& sp = in.ground->springs[static_cast<std::size_t>(dir)];
  for (int n = 1; n <= 6; ++n) {
    const int level = (n == 1 || n == 2 || n == 5) ? 1 : 2;
    const bool bottom_only = n == 1 || n == 3;
    const bool both_walls = n == 2 || n == 4;
    const auto l = static_cast<std::size_t>(level);
    FrameSpringCase sc;
    sc.number = n;
    sc.name = kSpringNames[n];
    for (int k = 1; k <= m.member_count; ++k) {
      const int t = m.Member(k).type;
      if ((t >= 13 && t <= 18) || (t >= 21 && t <= 23))
        sc.springs.Add({k, sp.kv[l], bottom_only ? 0.0 : sp.ksb[l]});
      else if ((t == 1 && both_walls) || (t == 2 && !bottom_only))
        sc.springs.Add({k, sp.kh[l], sp.kss[l]});
    }
    f.spring_cases.Add(sc);
  }
  // Support cases.
  FrameSupportCase s1;
  s1.number = 1;
  s1.name = kSupportNames[1];
  for (int k = 1; k <= m.node_count; ++k) {
    const int code = m.Node(k).support();
    if (code == kSupportPinned) s1.supports.Add({k, {-1, -1, 0, 1, 1, 1}, 1});
    if (code == kSupportRoller) s1.supports.Add({k, {0, -1, 0, 1, 1, 1}, 2});
  }
  f.support_cases.Add(s1);
  FrameSupportCase s2;
  s2.number = 2;
  s2.name = kSupportNames[2];
  s2.supports.Add({m.bottom_right_node, {-1, 0, 0, 0, 0, 0}, 3});
  f.support_cases.Add(s2);
  FrameSupportCase s3;
  s3.number = 3;
  s3.name = kSupportNames[3];
  s3.supports.Add({m.bottom_right_node, {0, 0, 0, 0, 0, 0}, 5});
  f.support_cases.Add(s3);
  GenerateLoadCases(f, m, dir, in);
}

}  // namespace vaultra
