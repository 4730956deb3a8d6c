#include "model/geometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/number.h"
#include "model/points_of_interest.h"

namespace vaultra {

namespace {

constexpr double kSameNode = 0.00001;

const DimensionSet& Dim(const BlockRow& row, int k) {
  return row.At(k).working_set;
}

// Adds one member; false when the table is full or a node could not be added.
struct MemberMaker {
  StructureModel& m;
  bool ok = true;

  int Add(int block, int type, double xi, double yi, double xj, double yj, int code_node_i = 0,
          int code_node_j = 0) {
    if (!ok) return 0;
    if (m.member_count >= kMaxMembers) {
      ok = false;
      return 0;
    }
    const int ni = FindOrAddNode(m, xi, yi, code_node_i);
    const int nj = FindOrAddNode(m, xj, yj, code_node_j);
    const int k = AppendMember(m, block, type, ni, nj);
    if (k == 0) ok = false;
    return k;
  }
  ModelMember& Last() { return m.Member(m.member_count); }
};

void ClearNodesAndMembers(StructureModel& m) {
  for (ModelNode& n : m.nodes) n = ModelNode{};
  for (ModelMember& mb : m.members) mb = ModelMember{};
  m.node_count = 0;
  m.member_count = 0;
}

// Every member end must meet another member or a support; a frame with a
// loose end cannot be analysed and would silently drop its loads.
bool FrameIsClosed(const StructureModel& m, std::string* error) {
  std::vector<int> ends(static_cast<std::size_t>(m.node_count) + 1, 0);
  for (int k = 1; k <= m.member_count; ++k) {
    ++ends.at(static_cast<std::size_t>(m.Member(k).node_i));
    ++ends.at(static_cast<std::size_t>(m.Member(k).node_j));
  }
  for (int k = 1; k <= m.member_count; ++k) {
    for (int node : {m.Member(k).node_i, m.Member(k).node_j}) {
      if (ends.at(static_cast<std::size_t>(node)) < 2 && m.Node(node).support() == kSupportNone) {
        if (error)
          *error = Format(
              "部材 %d の端(節点 %d)がどの部材にもつながりません。ブロック寸法を見直して下さい。",
              k, node);
        return false;
      }
    }
  }
  return true;
}

// The slot behind the last member holds the joint record of the
// cast-in-place bottom slab: a copy of the last cast-in-place member.
void PlaceJointRecord(StructureModel& m) {
  const int count = m.member_count;
  for (int k = count; k >= 1; --k) {
    const int type = m.Member(k).type;
    if (type >= 21 && type <= 23) {
      ModelMember& joint = m.Member(count + 1);
      joint = m.Member(k);
      joint.number = count + 1;
      joint.type = 30;
      joint.length = 1.0;
      m.last_member_of_type[30] = count + 1;
      return;
    }
  }
}

bool Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

// Lays the seat on the left block, the precast slab s and the seat on the
// right block at level y, starting at the left axis u; the seats rest on the
// slab's end dimension d and on the neighbours' seat dimension (e for the
// stand layout, h for the box layout). Returns the right axis, or a negative
// value when the lengths do not come out positive.
double AddSlabSpan(MemberMaker& mk, const BlockRow& r, int s, double u, double y,
                   double (DimensionSet::*seat)() const, std::string* error) {
  const DimensionSet& ds = Dim(r, s);
  const DimensionSet& dl = Dim(r, s - 1);
  const DimensionSet& dr = Dim(r, s + 1);
  const double v = (ds.d() + (dl.*seat)()) / 2;
  const double w = ((dr.*seat)() + ds.d()) / 2;
  const double u1 = u + dl.a() / 2 + v;
  const double u2 = u1 + ds.B() - (v + w);
  const double u3 = u2 + w + dr.a() / 2;
  if (!(u1 > u && u2 > u1 && u3 > u2)) {
    Fail(error,
         Format("スラブ %d の掛部とスラブの長さが正になりません。寸法を見直して下さい。", s));
    return -1;
  }
  mk.Add(s - 1, 8, u, y, u1, y);
  if (mk.ok) mk.Last().code_j = 1;
  mk.Add(s, 19, u1, y, u2, y);
  if (mk.ok) mk.Last().code_i = mk.Last().code_j = 1;
  mk.Add(s + 1, 7, u2, y, u3, y);
  if (mk.ok) {
    mk.Last().code_i = 1;
    mk.Last().mirrored = 1;
  }
  return u3;
}

// The bottom slab under slab block s, from right to left: the overhang of the
// block on its right, the cast-in-place zone `zone`, the overhang of the block
// on its left, each as long as the blocks' `overhang` dimension says. Returns
// the left end (which may be 0 or just below it at the frame's left wall),
// or NaN after an error.
double AddBottomSlabSpan(MemberMaker& mk, const BlockRow& r, int s, double u, int zone,
                         double (DimensionSet::*overhang)() const, int right_type, int left_type,
                         std::string* error) {
  const DimensionSet& ds = Dim(r, s);
  const DimensionSet& dl = Dim(r, s - 1);
  const DimensionSet& dr = Dim(r, s + 1);
  const double u1 = u - (dr.a() / 2 + (dr.*overhang)());
  const double u2 = u1 - (ds.B() - ((dl.*overhang)() + (dr.*overhang)()));
  const double u3 = u2 - (dl.a() / 2 + (dl.*overhang)());
  if (!(u1 < u && u2 < u1 && u3 < u2)) {
    Fail(error, Format("スラブ %d の下の底版の長さが正になりません。寸法を見直して下さい。", s));
    return std::nan("");
  }
  mk.Add(s + 1, right_type, u, 0, u1, 0);
  mk.Add(zone, 21, u1, 0, u2, 0);
  if (mk.ok) mk.Last().mirrored = 1;
  mk.Add(s - 1, left_type, u2, 0, u3, 0);
  if (mk.ok) mk.Last().mirrored = 1;
  return u3;
}

// The last steps of both layouts: the tables held everything, the frame is
// closed, the joint record placed; only then the model and row are replaced.
bool FinishMembers(MemberMaker& mk, StructureModel& m, BlockRow& r, StructureModel& model,
                   BlockRow& row, std::string* error) {
  if (!mk.ok) return Fail(error, "節点または部材の数が上限を超えるため、構造モデルを作れません");
  if (!FrameIsClosed(m, error)) return false;
  PlaceJointRecord(m);
  model = std::move(m);
  row = std::move(r);
  return true;
}

}  // namespace

int RealBlockCount(const FacilityInput& in) {
  if (in.layout == kLayoutBox)
    return 2 * std::clamp(in.centre_blocks, kMinCentreBlocks, kMaxCentreBlocks) + 3;
  return 2 * std::clamp(in.top_slabs, kMinTopSlabs, kMaxTopSlabs) + 1;
}

int FindOrAddNode(StructureModel& model, double x, double y, int code) {
  int answer = model.node_count + 1;
  for (int k = 1; k <= model.node_count; ++k) {
    const ModelNode& n = model.Node(k);
    if (std::fabs(x - n.x) < kSameNode && std::fabs(y - n.y) < kSameNode) {
      answer = k;
      break;
    }
  }
  if (answer > kMaxNodes) return 0;
  ModelNode& n = model.Node(answer);
  n.x = x;
  n.y = y;
  if (code > 0) n.support() = code;
  n.number = answer;
  model.node_count = std::max(model.node_count, answer);
  return answer;
}

bool RebuildBlockRow(const FacilityInput& in, BlockRow& row, StructureModel& model) {
  const int n = RealBlockCount(in);
  if (n + (n - 1) / 2 > kMaxBlocks) return false;
  for (int k = 1; k <= n; ++k) {
    BlockRecord& b = row.At(k);
    b = BlockRecord{};
    b.number = k;
    if (k == 1) {
      b.working_set = in.end_set;
      b.working_set.kind = kBlockLeftEnd;
    } else if (k == n) {
      b.working_set = in.end_set;
      b.working_set.kind = kBlockRightEnd;
    } else if (k % 2 == 0) {
      b.working_set = in.slab_set;
      b.working_set.kind = kBlockSlab;
    } else {
      b.working_set = in.mid_set;
      b.working_set.kind = kBlockIntermediate;
    }
    b.default_set = b.working_set;
  }
  for (int k = n + 1; k <= kMaxBlocks; ++k) row.At(k) = BlockRecord{};
  model.real_block_count = n;
  model.block_count = n;
  model.member_count = 0;
  return true;
}

double MinimumSlabWidth(const FacilityInput& in) {
  return in.layout == kLayoutBox ? 0.1 : 2 * in.end_set.d() + 0.1;
}

void ClampSlabWidths(const FacilityInput& in, BlockRow& row, const StructureModel& model) {
  const double minimum = MinimumSlabWidth(in);
  for (int k = 1; k <= model.real_block_count; ++k) {
    DimensionSet& s = row.At(k).working_set;
    if (s.kind == kBlockSlab && s.B() < minimum) s.B() = minimum;
  }
}

bool PlaceBlocks(int layout, BlockRow& row, StructureModel& model, std::string* error) {
  const int n = model.real_block_count;
  if (n < 3 || n % 2 == 0 || n > kMaxBlocks)
    return Fail(error, Format("ブロック数 %d では構造モデルを作れません", n));
  if (Dim(row, 1).kind != kBlockLeftEnd || Dim(row, n).kind != kBlockRightEnd)
    return Fail(error,
                Format("ブロック列の両端が端部ブロックではありません([KZ1_BLKTBL] ブロック 1 の"
                       "種類 %d、ブロック %d の種類 %d)",
                       Dim(row, 1).kind, n, Dim(row, n).kind));
  for (int k = 2; k < n; ++k) {
    const int kind = Dim(row, k).kind;
    const bool slab = k % 2 == 0;
    if (slab ? kind != kBlockSlab : kind != kBlockIntermediate)
      return Fail(error, Format("ブロック %d の種類 %d がブロック列の並びに合いません", k, kind));
  }
  const bool box = layout == kLayoutBox;
  BlockRecord& first = row.At(1);
  first.x = box ? (Dim(row, 1).a() + Dim(row, 1).B()) / 2 : 0;
  first.z = -Dim(row, 1).c() / 2;
  for (int k = 2; k <= n; ++k) {
    BlockRecord& b = row.At(k);
    const BlockRecord& p = row.At(k - 1);
    const DimensionSet& s = b.working_set;
    const DimensionSet& ps = p.working_set;
    if (k % 2 == 1) {
      b.x = box ? p.x + ps.B() / 2 + s.a() + s.B() / 2 : p.x + ps.B() / 2 + s.a() / 2;
      b.z = first.z;
    } else {
      b.x = box ? p.x + ps.B() / 2 + ps.a() + s.B() / 2 : p.x + ps.a() / 2 + s.B() / 2;
      b.z = ps.c() + ps.H() + first.z;
    }
  }
  // Cast-in-place zones, the rightmost slab first.
  int count = n;
  for (int s = n; s >= 1; --s) {
    if (Dim(row, s).kind != kBlockSlab) continue;
    if (count >= kMaxBlocks) return Fail(error, "現場打ち部を含むブロック数が上限を超えます");
    const BlockRecord& left = row.At(s - 1);
    const BlockRecord& right = row.At(s + 1);
    const DimensionSet& ls = left.working_set;
    const DimensionSet& rs = right.working_set;
    BlockRecord zone = row.At(s);
    zone.working_set.kind = kBlockCastInPlace;
    zone.z = first.z;
    double l = 0;
    double r = 0;
    if (box) {
      l = left.x + ls.B() / 2 + ls.a() + ls.h();
      r = right.x - (rs.B() / 2 + rs.a() + rs.h());
    } else {
      l = left.x + ls.a() / 2 + ls.d();
      r = right.x - (rs.a() / 2 + rs.d());
      zone.working_set.a() = ls.c();
    }
    zone.working_set.b() = rs.c();
    zone.x = (l + r) / 2;
    zone.working_set.B() = std::fabs(l - r);
    zone.default_set = zone.working_set;
    zone.number = ++count;
    row.At(count) = zone;
  }
  model.block_count = count;
  return true;
}

bool BuildStandMembers(BlockRow& row, StructureModel& model, std::string* error) {
  StructureModel m = model;
  BlockRow r = row;
  if (!PlaceBlocks(kLayoutStand, r, m, error)) return false;
  ClearNodesAndMembers(m);
  const int n = m.real_block_count;
  const double Y = Dim(r, 1).H() + (Dim(r, 1).c() + Dim(r, 2).b()) / 2;
  if (!(Y > 0))
    return Fail(error, "頂版の軸の高さが正になりません。ブロック寸法を見直して下さい。");
  MemberMaker mk{m};
  mk.Add(1, 1, 0, 0, 0, Y, kSupportPinned);
  double u = 0;
  std::vector<double> stand_axes;
  for (int s = 2; s <= n - 1; ++s) {
    if (Dim(r, s).kind != kBlockSlab) continue;
    const double u3 = AddSlabSpan(mk, r, s, u, Y, &DimensionSet::e, error);
    if (u3 < 0) return false;
    stand_axes.push_back(u3);
    u = u3;
  }
  mk.Add(n, 2, u, Y, u, 0, 0, kSupportRoller);
  if (mk.ok) mk.Last().mirrored = 1;
  int zone = n + 1;
  for (int s = n; s >= 1; --s) {
    if (Dim(r, s).kind != kBlockSlab) continue;
    const int right = Dim(r, s + 1).kind == kBlockRightEnd ? 18 : 16;
    const int left = Dim(r, s - 1).kind == kBlockLeftEnd ? 15 : 17;
    u = AddBottomSlabSpan(mk, r, s, u, zone++, &DimensionSet::d, right, left, error);
    if (std::isnan(u)) return false;
  }
  for (std::size_t l = 1; l + 1 <= stand_axes.size() && mk.ok; ++l) {
    const double x = stand_axes[l - 1];
    mk.Add(2 * static_cast<int>(l) + 1, 12, x, 0, x, Y, kSupportRoller);
  }
  return FinishMembers(mk, m, r, model, row, error);
}

bool BuildBoxMembers(BlockRow& row, StructureModel& model, std::string* error) {
  StructureModel m = model;
  BlockRow r = row;
  if (!PlaceBlocks(kLayoutBox, r, m, error)) return false;
  ClearNodesAndMembers(m);
  const int n = m.real_block_count;
  const DimensionSet& d1 = Dim(r, 1);
  const double Y = d1.H() + (d1.f() + d1.c()) / 2;
  if (!(Y > 0))
    return Fail(error, "頂版の軸の高さが正になりません。ブロック寸法を見直して下さい。");
  MemberMaker mk{m};
  mk.Add(1, 1, 0, 0, 0, Y, kSupportPinned);
  double u = 0;
  double t = Y;
  // Wall axes of the inner walls with the level of their seat node, so that
  // every inner wall ends where its slab seat begins.
  struct Axis {
    double x;
    double level;
  };
  std::vector<Axis> axes;
  for (int j = 1; j <= n; ++j) {
    const DimensionSet& dj = Dim(r, j);
    if (dj.kind != kBlockSlab) {
      if (j != 1) {
        mk.Add(j, 5, u, t, u, Y);
        axes.push_back({u, t});
        t = Y;
      }
      const double width = dj.B() + dj.a();
      if (!(width > 0)) return Fail(error, Format("ブロック %d の幅が正になりません", j));
      mk.Add(j, dj.kind == kBlockIntermediate ? 4 : 3, u, t, u + width, Y);
      u += width;
      if (j != n) {
        const double t2 = Y - (dj.f() + dj.g()) / 2;
        if (!(t2 > 0))
          return Fail(
              error,
              Format("ブロック %d のスラブ掛部が底版より下になります。寸法を見直して下さい。", j));
        mk.Add(j, 6, u, Y, u, t2);
        if (mk.ok) mk.Last().mirrored = 1;
        axes.push_back({u, t2});
        t = t2;
      }
    } else {
      const double u3 = AddSlabSpan(mk, r, j, u, t, &DimensionSet::h, error);
      if (u3 < 0) return false;
      u = u3;
    }
  }
  if (mk.ok) mk.Last().mirrored = 1;
  mk.Add(n, 2, u, Y, u, 0, 0, kSupportRoller);
  if (mk.ok) mk.Last().mirrored = 1;
  int zone = n + 1;
  int right_bottom = 0;
  int left_bottom = 0;
  for (int j = n; j >= 1; --j) {
    const DimensionSet& dj = Dim(r, j);
    if (dj.kind != kBlockSlab) {
      const int k =
          mk.Add(j, dj.kind == kBlockIntermediate ? 14 : 13, u, 0, u - (dj.B() + dj.a()), 0);
      if (mk.ok && dj.kind != kBlockRightEnd) mk.Last().mirrored = 1;
      if (dj.kind == kBlockRightEnd) right_bottom = k;
      if (dj.kind == kBlockLeftEnd) left_bottom = k;
      u -= dj.B() + dj.a();
    } else {
      // Each overhang belongs to the box it projects from, so that its
      // thickness and the zone edges follow that box: the one next to box
      // j + 1 first, the one next to box j - 1 last.
      u = AddBottomSlabSpan(mk, r, j, u, zone++, &DimensionSet::h, 16, 17, error);
      if (std::isnan(u)) return false;
    }
  }
  if (!mk.ok) return Fail(error, "節点または部材の数が上限を超えるため、構造モデルを作れません");
  if (right_bottom > 0 && right_bottom + 1 <= m.member_count) m.Member(right_bottom + 1).type = 18;
  if (left_bottom > 1) m.Member(left_bottom - 1).type = 15;
  const int k = static_cast<int>(axes.size());
  for (int l = 1; l <= k && mk.ok; ++l) {
    const Axis& axis = axes[static_cast<std::size_t>(l - 1)];
    // The wall belongs to the box whose shoulder drop made the axis: the
    // right wall of box l (odd l) or the left wall of box l + 1 (even l).
    const int block = 2 * (l / 2) + 1;
    const int type = (l == 1 || l == k) ? 11 : 12;
    if (l % 2 == 1) {
      mk.Add(block, type, axis.x, axis.level, axis.x, 0, 0, kSupportRoller);
      if (mk.ok) mk.Last().mirrored = 1;
    } else {
      mk.Add(block, type, axis.x, 0, axis.x, axis.level, kSupportRoller);
    }
  }
  return FinishMembers(mk, m, r, model, row, error);
}

int BlockOutline(int layout, const BlockRecord& block, OutlinePoint* p, int capacity) {
  const DimensionSet& s = block.working_set;
  const double x = block.x;
  const double z = block.z;
  auto rect = [&](double x0, double y0, double x1, double y1) {
    if (capacity < 4) return 0;
    p[0] = {x0, y0};
    p[1] = {x1, y0};
    p[2] = {x1, y1};
    p[3] = {x0, y1};
    return 4;
  };
  switch (s.kind) {
    case kBlockSlab:
      return rect(x - s.B() / 2, z, x + s.B() / 2, z + s.b());
    case kBlockCastInPlace:
      return rect(x - s.B() / 2, z, x + s.B() / 2, z + std::max(s.b(), s.a()));
    case kBlockLeftEnd:
    case kBlockIntermediate:
    case kBlockRightEnd:
      if (layout == kLayoutBox)
        return rect(x - s.B() / 2 - s.a(), z, x + s.B() / 2 + s.a(), z + s.c() + s.H() + s.f());
      {
        // A stand: footing of b + 2d (at least B) and the wall on it up to
        // the seat and its head.
        if (capacity < 8) return 0;
        const double foot = std::max(s.B(), s.b() + 2 * s.d()) / 2;
        const double wall = std::max(s.a(), s.b()) / 2 + s.e();
        const double top = z + s.c() + s.H() + std::max(s.f(), s.g());
        p[0] = {x - foot, z};
        p[1] = {x + foot, z};
        p[2] = {x + foot, z + s.c()};
        p[3] = {x + wall, z + s.c()};
        p[4] = {x + wall, top};
        p[5] = {x - wall, top};
        p[6] = {x - wall, z + s.c()};
        p[7] = {x - foot, z + s.c()};
        return 8;
      }
    default:
      return 0;
  }
}

bool PointInPolygon(const OutlinePoint* p, int count, double x, double y) {
  bool inside = false;
  for (int i = 0, j = count - 1; i < count; j = i++) {
    if ((p[i].y > y) != (p[j].y > y)) {
      const double cross = p[j].x + (y - p[j].y) * (p[i].x - p[j].x) / (p[i].y - p[j].y);
      if (x < cross) inside = !inside;
    }
  }
  return inside;
}

void DeriveModelQuantities(int layout, const FacilityInput& in, const BlockRow& row,
                           StructureModel& m) {
  const bool box = layout == kLayoutBox;
  // 1. Extents of all block outlines.
  bool any = false;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  for (int k = 1; k <= m.block_count; ++k) {
    OutlinePoint pts[12];
    const int np = BlockOutline(layout, row.At(k), pts, 12);
    for (int i = 0; i < np; ++i) {
      if (!any) {
        x0 = x1 = pts[i].x;
        y0 = y1 = pts[i].y;
        any = true;
      }
      x0 = std::min(x0, pts[i].x);
      y0 = std::min(y0, pts[i].y);
      x1 = std::max(x1, pts[i].x);
      y1 = std::max(y1, pts[i].y);
    }
  }
  m.extents = {};
  m.extents[0] = x0;
  m.extents[1] = y0;
  m.extents[2] = x1;
  m.extents[3] = y1;
  m.extents[8] = x1 - x0;
  m.extents[9] = y1 - y0;
  // 2. Blocks by kind.
  m.left_end_block = m.right_end_block = m.first_slab_block = m.second_slab_block = 0;
  for (int k = 1; k <= m.real_block_count; ++k) {
    const int kind = row.At(k).working_set.kind;
    if (kind == kBlockLeftEnd && m.left_end_block == 0) m.left_end_block = k;
    if (kind == kBlockRightEnd && m.right_end_block == 0) m.right_end_block = k;
    if (kind == kBlockSlab) {
      if (m.first_slab_block == 0)
        m.first_slab_block = k;
      else if (m.second_slab_block == 0)
        m.second_slab_block = k;
    }
  }
  m.first_zone = m.block_count > m.real_block_count ? m.real_block_count + 1 : 0;
  m.last_zone = m.block_count > m.real_block_count ? m.block_count : 0;
  m.cover_depth = in.cover_depth;
  // 3. Spans.
  m.span_count = box ? 2 * in.centre_blocks + 3 : std::max(in.top_slabs, 1);
  // 4. Members by type and class.
  m.last_member_of_type = {};
  m.left_wall_member = m.right_wall_member = 0;
  m.first_top_slab_member = m.last_top_slab_member = 0;
  m.first_top_member = m.last_top_member = 0;
  m.first_bottom_member = m.last_bottom_member = 0;
  auto mark = [](int k, int& first, int& last) {
    if (first == 0)
      first = k;
    else
      last = k;
  };
  for (int k = 1; k <= m.member_count; ++k) {
    const int type = m.Member(k).type;
    if (type >= 0 && type <= kMaxMemberType)
      m.last_member_of_type[static_cast<std::size_t>(type)] = k;
    if (type == 1) m.left_wall_member = k;
    if (type == 2) m.right_wall_member = k;
    if (type == 19 || type == 20) mark(k, m.first_top_slab_member, m.last_top_slab_member);
    if (type == 3 || type == 4 || type == 7 || type == 8 || type == 19 || type == 20)
      mark(k, m.first_top_member, m.last_top_member);
    if ((type >= 13 && type <= 18) || (type >= 21 && type <= 23))
      mark(k, m.first_bottom_member, m.last_bottom_member);
  }
  if (m.member_count + 1 <= kMaxMembers + 1 && m.Member(m.member_count + 1).type == 30)
    m.last_member_of_type[30] = m.member_count + 1;
  // 5. Depths of the axes.
  const ModelMember* axis_member = nullptr;
  for (int k = 1; k <= m.member_count; ++k) {
    const ModelMember& mb = m.Member(k);
    if (box ? mb.type == 1 : mb.type == 19) axis_member = &mb;
    if (box && axis_member) break;
  }
  double half = 0;
  if (axis_member && axis_member->block >= 1 && axis_member->block <= kMaxBlocks) {
    const DimensionSet& s = row.At(axis_member->block).working_set;
    half = box ? s.f() / 2 : s.b() / 2;
  }
  m.depth_of_top_axis = in.cover_depth + half;
  m.depth_of_bottom_axis = m.depth_of_top_axis + m.frame_height;
  // 6. Wall list.
  m.wall_count = 0;
  for (WallEntry& w : m.walls) w = WallEntry{};
  for (int k = 1; k <= m.member_count && m.wall_count < kMaxWalls; ++k) {
    const ModelMember& mb = m.Member(k);
    if (mb.type != 1 && mb.type != 2 && mb.type != 11 && mb.type != 12) continue;
    const DimensionSet& s = row.At(mb.block).working_set;
    m.walls.at(static_cast<std::size_t>(++m.wall_count)) = {m.Node(mb.node_i).x, s.a(), s.b()};
  }
  for (int i = 1; i <= m.wall_count; ++i)
    for (int j = i + 1; j <= m.wall_count; ++j)
      if (m.walls[static_cast<std::size_t>(i)].x > m.walls[static_cast<std::size_t>(j)].x)
        std::swap(m.walls[static_cast<std::size_t>(i)], m.walls[static_cast<std::size_t>(j)]);
  // 7. Bottom-right node.
  m.bottom_right_node = 0;
  for (int k = 1; k <= m.node_count; ++k)
    if (std::fabs(m.Node(k).x - m.frame_width) < 0.000001 && std::fabs(m.Node(k).y) < 0.000001) {
      m.bottom_right_node = k;
      break;
    }
  // 8. Inner floor and ceiling of the left end block.
  const int left = m.left_end_block > 0 ? m.left_end_block : 1;
  const DimensionSet& ls = row.At(left).working_set;
  m.extents[4] = ls.a() / 2;
  m.extents[5] = ls.c() / 2;
  m.extents[6] = m.frame_width - ls.a() / 2;
  m.extents[7] = ls.c() / 2 + ls.H();
  // 9. Mean span.
  double sum = 0;
  int count = 0;
  for (int k = 1; k <= m.real_block_count; ++k) {
    const DimensionSet& s = row.At(k).working_set;
    if (box || s.kind == kBlockSlab) {
      sum += s.B();
      ++count;
    }
  }
  m.mean_span = sum / std::max(count, 1);
  // 10. Structure bottom.
  m.depth_of_bottom = m.depth_of_bottom_axis + ls.c() / 2;
}

namespace {

void Lengths(StructureModel& m) {
  m.frame_width = 0;
  m.frame_height = 0;
  for (int k = 1; k <= m.member_count; ++k) {
    ModelMember& mb = m.Member(k);
    if (mb.node_i < 1 || mb.node_i > kMaxNodes || mb.node_j < 1 || mb.node_j > kMaxNodes) {
      mb.length = 0;
      continue;
    }
    const ModelNode& a = m.Node(mb.node_i);
    const ModelNode& b = m.Node(mb.node_j);
    const double r = (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
    mb.length = r > 0 ? RoundTo3(std::sqrt(r)) : 0;
    MemberSection& sec = m.Section(k);
    sec.Current(11) = sec.Current(1) - sec.Current(10);
    sec.Current(19) = sec.Current(1) - sec.Current(18);
    m.frame_width = std::max({m.frame_width, a.x, b.x});
    m.frame_height = std::max({m.frame_height, a.y, b.y});
  }
}

}  // namespace

void ComputeMemberGeometry(int layout, const FacilityInput& in, const BlockRow& row,
                           StructureModel& transverse, StructureModel& longitudinal) {
  Lengths(transverse);
  Lengths(longitudinal);
  DeriveModelQuantities(layout, in, row, transverse);
  if (layout == kLayoutBox)
    SetBoxPointsOfInterest(row, transverse, in.shear_at_2d);
  else
    SetStandPointsOfInterest(row, transverse, in.shear_at_2d);
}

UpdateResult UpdateModelGeometry(const FacilityInput& in, BlockRow& row, StructureModel& model) {
  UpdateResult result;
  if (!model.block_row_valid()) {
    if (!RebuildBlockRow(in, row, model)) {
      result.failed = true;
      result.error = "ブロック数が上限を超えるため、ブロック列を作れません";
      return result;
    }
    result.block_row_rebuilt = true;
  }
  if (model.member_table_valid()) return result;
  ClampSlabWidths(in, row, model);
  // The zones are rebuilt from the real blocks.
  model.block_count = model.real_block_count;
  const bool ok = in.layout == kLayoutBox ? BuildBoxMembers(row, model, &result.error)
                                          : BuildStandMembers(row, model, &result.error);
  result.failed = !ok;
  result.members_rebuilt = ok;
  return result;
}

}  // namespace vaultra
