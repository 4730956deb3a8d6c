#include "app/pages/points_page.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/number.h"

namespace vaultra {

bool MemberHighlight::Set(int member) {
  if (member < 1 || member > kCapacity) return false;
  flags_[static_cast<std::size_t>(member)] = 1;
  return true;
}

bool MemberHighlight::IsSet(int member) const {
  return member >= 1 && member <= kCapacity && flags_[static_cast<std::size_t>(member)] != 0;
}

bool ShownReversed(int t) {
  return t == 2 || (t >= 15 && t <= 18) || (t >= 21 && t <= 23);
}

void FillNodeTable(const StructureModel& m, GridData& grid) {
  grid.SetRowCount(std::max(m.node_count + 1, 2));
  for (int k = 1; k <= m.node_count; ++k) {
    const ModelNode& n = m.Node(k);
    grid.SetCell(0, k, Format("%d", k));
    grid.SetCell(1, k, Format("%6.4f", n.x));
    grid.SetCell(2, k, Format("%6.4f", n.y));
    grid.SetCell(3, k, Format("%d", n.support()));
  }
}

void FillMemberTable(const StructureModel& m, GridData& grid) {
  // Rows are added as members qualify; the count is set at the end.
  grid.SetRowCount(std::max(m.member_count + 1, 2));
  int r = 0;
  for (int k = 1; k <= m.member_count; ++k) {
    const ModelMember& mb = m.Member(k);
    if (mb.length < 0.002) continue;
    ++r;
    grid.SetCell(0, r, Format("%.4d", k));
    grid.SetCell(1, r, Format("%d", mb.node_i));
    grid.SetCell(2, r, Format("%d", mb.node_j));
    grid.SetCell(3, r, Format("%6.3f", mb.length));
    grid.SetCell(4, r, Format("%d", mb.type));
    for (int c = 5; c <= 13; ++c) grid.SetCell(c, r, "---");
    const bool reversed = ShownReversed(mb.type);
    for (int end = 0; end < 2; ++end) {
      std::vector<double> v;
      for (int p = 0; p < 4; ++p)
        if (mb.points[static_cast<std::size_t>(end * 4 + p)] != 0)
          v.push_back(mb.points[static_cast<std::size_t>(end * 4 + p)]);
      const int n = static_cast<int>(v.size());
      const bool shown_first = (end == 0) != reversed;  // this end is I'
      for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
          if (shown_first ? v[a] > v[b] : v[a] < v[b]) std::swap(v[a], v[b]);
      for (int kk = 1; kk <= n; ++kk) {
        const int col = shown_first ? 4 + kk : 13 - (n - kk);
        grid.SetCell(col, r, Format("%5.3f", v[static_cast<std::size_t>(kk - 1)]));
      }
    }
    if (mb.poi_flag) grid.SetCell(9, r, "max");
  }
  grid.SetRowCount(std::max(r + 1, 2));
}

void FillPointsTables(ProjectState& state) {
  FillMemberTable(state.transverse, state.points.At("Grid_Bzi").grid);
  FillNodeTable(state.transverse, state.points.At("Grid_Pos").grid);
}

double PointSegmentDistance(double x, double y, double ax, double ay, double bx, double by) {
  const double dx = bx - ax;
  const double dy = by - ay;
  const double len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : -1;
  if (t >= 0 && t <= 1) return std::fabs((x - ax) * dy - (y - ay) * dx) / std::sqrt(len2);
  return std::min(std::hypot(x - ax, y - ay), std::hypot(x - bx, y - by));
}

int NearestMember(const StructureModel& m, double x, double y, double limit) {
  int best = 0;
  double best_d = limit;
  for (int k = 1; k <= m.member_count; ++k) {
    const ModelMember& mb = m.Member(k);
    if (mb.node_i < 1 || mb.node_i > m.node_count || mb.node_j < 1 || mb.node_j > m.node_count)
      continue;
    const ModelNode& a = m.Node(mb.node_i);
    const ModelNode& b = m.Node(mb.node_j);
    const double d = PointSegmentDistance(x, y, a.x, a.y, b.x, b.y);
    if (d < best_d) {
      best_d = d;
      best = k;
    }
  }
  return best;
}

int PickMember(const StructureModel& m, double x, double y) {
  return NearestMember(m, x, y, 300);
}

int RowOfMember(const GridData& grid, int member) {
  for (int r = 1; r < grid.row_count(); ++r)
    if (ReadInt(grid.Cell(0, r)) == member && !grid.Cell(0, r).empty()) return r;
  return 0;
}

}  // namespace vaultra
