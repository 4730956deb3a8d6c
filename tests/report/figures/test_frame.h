// A small hand-made frame for the figure tests: one box, its four members
// and a results record with three points per member.
#pragma once

#include <cmath>

#include "analysis/analysis_results.h"
#include "inputs/structure_model.h"

namespace vaultra::test {

// One box (B 3.5, H 2.5, a = c = f = 0.25 at x 2, z -0.125) framed as a
// left wall 1->2, top 2->3, right wall 3->4 and bottom 1->4.
struct Frame {
  StructureModel s;
  BlockRow row;
  AnalysisResults r;

  Frame() {
    s.real_block_count = s.block_count = 1;
    DimensionSet& d = row.At(1).working_set;
    d.kind = kBlockLeftEnd;
    d.B() = 3.5, d.H() = 2.5, d.a() = 0.25, d.c() = 0.25, d.f() = 0.25;
    row.At(1).x = 2.0, row.At(1).z = -0.125;
    const double xy[5][2] = {{0, 0}, {0, 0}, {0, 3}, {4, 3}, {4, 0}};
    s.node_count = 4;
    for (int k = 1; k <= 4; ++k) s.Node(k).x = xy[k][0], s.Node(k).y = xy[k][1];
    const int ends[5][3] = {{0, 0, 0}, {1, 2, 1}, {2, 3, 3}, {3, 4, 2}, {1, 4, 13}};
    s.member_count = 4;
    for (int m = 1; m <= 4; ++m) {
      ModelMember& mem = s.Member(m);
      mem.number = m, mem.node_i = ends[m][0], mem.node_j = ends[m][1], mem.type = ends[m][2];
      mem.length =
          std::hypot(xy[mem.node_j][0] - xy[mem.node_i][0], xy[mem.node_j][1] - xy[mem.node_i][1]);
    }
    s.frame_width = 4, s.frame_height = 3;
    s.extents = {0, -0.125, 4, 2.875, 0.125, 0.125, 3.875, 2.625, 4, 3};

    r.Allocate(4, 4);
    r.max_load_case = 1;
    r.load_case_count = 1;
    for (int k = 1; k <= 4; ++k) r.nodes[k] = {xy[k][0], xy[k][1]};
    for (int m = 1; m <= 4; ++m) r.members[m].node_i = ends[m][0], r.members[m].node_j = ends[m][1];
    r.cases[1].envelope = {20, 40, 80, 0};
    // Three points on each member: ends and middle, M 0, 20, 0; S 40; N 80.
    for (int m = 1; m <= 4; ++m) {
      MemberCaseResult& mc = r.At(1, m);
      mc.count = 3;
      const double L = s.Member(m).length;
      for (int p = 1; p <= 3; ++p) {
        mc.points[p][kCompX] = L * (p - 1) / 2;
        mc.points[p][kCompM] = p == 2 ? 20 : 0;
        mc.points[p][kCompS] = 40;
        mc.points[p][kCompN] = 80;
      }
    }
  }
};

}  // namespace vaultra::test
