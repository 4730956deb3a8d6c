#include "checks/joint_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "inputs/master_data.h"
#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

// ---- Transverse joint check ----

bool TransverseJointResult::ok() const {
  for (const auto& l : level)
    if (l.ng_compression || l.ng_tension) return false;
  return true;
}

TransverseJointResult CheckTransverseJoints(const TransverseJointInput& in) {
  TransverseJointResult r;
  const double bolts = in.Ps * in.nB * in.AB;
  r.na_compression = (bolts + in.sigma_ga * in.Ac * 100) * 0.001;
  r.na_tension = bolts * 0.001;
  for (int lv = 0; lv < 2; ++lv) {
    double smallest = 0, largest = 0;  // 0 when every force is of the other sign
    bool finite = true;
    for (const MemberEndAxial& m : in.members[lv]) {
      if (m.type != 19 && m.type != 20) continue;
      for (double n : {m.first, m.last}) {
        finite = finite && std::isfinite(n);
        smallest = std::min(smallest, n);
        largest = std::max(largest, n);
      }
    }
    TransverseJointLevel& l = r.level[lv];
    l.nmax_compression = finite ? std::fabs(smallest) : std::numeric_limits<double>::quiet_NaN();
    l.nmax_tension = finite ? largest : std::numeric_limits<double>::quiet_NaN();
    // Written so that a force or capacity that is no number fails.
    l.ng_compression = !(l.nmax_compression <= r.na_compression);
    l.ng_tension = !(l.nmax_tension <= r.na_tension);
  }
  static const char* const kFormats[4] = {
      "Lv1.圧縮  %9.1f  %9.1f   %s", "Lv1.引張  %9.1f  %9.1f   %s", "Lv2.圧縮  %9.1f  %9.1f   %s",
      "Lv2.引張  %9.1f  %9.1f   %s"};
  for (int k = 0; k < 4; ++k) {
    const TransverseJointLevel& l = r.level[k / 2];
    const bool tension = k % 2 == 1;
    const bool ng = tension ? l.ng_tension : l.ng_compression;
    r.labels[k] = Format(kFormats[k], tension ? r.na_tension : r.na_compression,
                         tension ? l.nmax_tension : l.nmax_compression, ng ? "N.G." : "O.K.");
    r.colours[k] = ng ? kColourRed : kColourBlue;
  }
  return r;
}

JointErrorTexts JointErrors(const std::array<bool, 2>& capacity_ok,
                            const std::array<bool, 2>& opening_ok) {
  JointErrorTexts t;
  for (int lv = 0; lv < 2; ++lv) {
    if (!capacity_ok[lv]) t.err_pc += "縦方向耐力エラー";
    if (!opening_ok[lv]) t.err_bosui += "防水性能エラー";
  }
  return t;
}

// ---- Preparation step ----

double PolygonArea(const std::vector<Point2>& pts) {
  double s = 0;
  const std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Point2& a = pts[i];
    const Point2& b = pts[(i + 1) % n];
    s += a.first * b.second - b.first * a.second;
  }
  return std::fabs(s) / 2;
}

double LargestBlockWeight(const std::vector<BlockShape>& blocks, bool box_layout, double gamma_c1,
                          double L1) {
  double largest = 0;
  for (const BlockShape& b : blocks) {
    if (b.kind < kBlockLeftEnd || b.kind > kBlockRightEnd) continue;
    double area = PolygonArea(b.outer);
    if (box_layout) area -= PolygonArea(b.opening);
    largest = std::max(largest, area * gamma_c1);
  }
  return largest * L1;
}

double InitialTensileStress(double block_weight, double Ap) {
  double divisor = 2 * Ap;
  if (divisor < 0.1) divisor = 0.1;
  return block_weight * 1000 / divisor;
}

// ---- Lists ----

JointLists BuildJointLists(const MasterData& md) {
  JointLists l;
  for (const NamedPair& p : md.bolt_types) {
    if (p.value1 == 0) break;
    l.bolt_types.push_back(" " + p.name);
  }
  for (const NamedPair& p : md.bolt_sizes) {
    if (p.name.empty()) break;
    l.bolt_sizes.push_back(" " + p.name);
  }
  int index = 0;
  for (const MaterialClass& m : md.materials) {
    if (m.class_number == 5) {
      l.mortar.push_back(Format(" %7.2f", m.strength));
      l.mortar_record.push_back(index);
    }
    ++index;
  }
  for (const NamedPair& p : md.pc_strengths) {
    if (p.value1 == 0) break;
    l.pc_kinds.push_back(" " + p.name);
  }
  for (const PcBarSize& p : md.pc_sizes) {
    if (p.value1 == 0) break;
    l.pc_sizes.push_back(Format("%5.1f mm", p.value1));
  }
  for (const NamedPair& p : md.rebar_sizes) {
    if (p.name.empty() || FindText(p.name, "M") != std::string::npos) break;
    l.rebar_sizes.push_back(" " + p.name);
  }
  return l;
}

int FindItemContaining(const std::vector<std::string>& items, const std::string& text) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (FindText(items[i], text) != std::string::npos) return static_cast<int>(i);
  return -1;
}

double BarDiameterOfItem(const std::string& item) {
  return SizeNumber(Trim(item));
}

// ---- List changes ----

double BoltShearStress(const MasterData& md, int index) {
  return md.bolt_types[index].value1;
}

double BoltArea(const MasterData& md, int index) {
  return 100 * md.bolt_sizes[index].value1;
}

std::optional<double> MortarStress(const MasterData& md, const std::string& item) {
  const std::optional<double> v = TryReadReal(item);
  if (!v) return std::nullopt;
  for (const MaterialClass& m : md.materials)
    if (m.class_number == 5 && std::fabs(m.strength - *v) < 0.001) return m.Column(9);
  return std::nullopt;
}

std::pair<double, double> PcStrengths(const MasterData& md, int index) {
  return {md.pc_strengths[index].value1, md.pc_strengths[index].value2};
}

double PcBarArea(const MasterData& md, int index) {
  return md.pc_sizes[index].value2;
}

double PcBarCount(bool box_layout) {
  return box_layout ? 4 : 3;
}

double DistributionBarArea(const MasterData& md, int index) {
  return 100 * md.rebar_sizes[index].value1;
}

double ConnectingBoltForce(const MasterData& md, int index) {
  return md.bolt_sizes[index].value2;
}

double AnchorPerimeter(const std::string& item) {
  const std::size_t p = FindText(item, "D");
  const double D = p == std::string::npos ? 0 : ReadReal(std::string_view(item).substr(p + 1));
  return 10 * RoundTo0(D * 3.001 * 0.1);
}

// ---- Defaults ----

void ResetJointDefaults(JointDefaults& f, const MasterData& md, const JointLists& lists,
                        bool box_layout, double L1, double Ac) {
  if (int k = FindItemContaining(lists.bolt_types, "SS400"); k >= 0) {
    f.bolt_type = k;
    f.Ps = BoltShearStress(md, k);
  }
  if (int k = FindItemContaining(lists.bolt_sizes, "M24"); k >= 0) {
    f.bolt_size = k;
    f.AB = BoltArea(md, k);
  }
  f.nB = L1 >= 1.6 ? 2.0 : 1.33;
  if (int k = FindItemContaining(lists.mortar, "20."); k >= 0) {
    f.mortar = k;
    if (const auto s = MortarStress(md, lists.mortar[static_cast<std::size_t>(k)])) f.sigma_ga = *s;
  }
  f.Ac = Ac;
  if (f.pc_kind >= 0 && f.pc_kind < static_cast<int>(lists.pc_kinds.size())) {
    const auto [ppu, ppy] = PcStrengths(md, f.pc_kind);
    f.Ppu = ppu;
    f.Ppy = ppy;
  }
  if (int k = FindItemContaining(lists.pc_sizes, "13."); k >= 0) {
    f.pc_size = k;
    f.Ap = PcBarArea(md, k);
    f.np = PcBarCount(box_layout);
  }
  if (int k = FindItemContaining(lists.rebar_sizes, "D13"); k >= 0) {
    f.dist_bar = k;
    f.As = DistributionBarArea(md, k);
  }
}

double JointEffectiveArea(const BlockRow& row, int real_block_count) {
  double m = 1000;
  for (int k = 1; k < real_block_count && k <= kMaxBlocks; ++k) {
    const DimensionSet& s = row.At(k).working_set;
    if (s.kind == kBlockSlab) m = std::min(m, s.b());
  }
  if (real_block_count >= 1) m = std::min(m, row.At(1).working_set.f());
  return 10000 * m;
}

std::optional<double> DistributionBarCount(const BlockRow& row, int first_zone, int last_zone) {
  std::optional<double> ns;
  for (int k = std::max(first_zone, 1); k <= last_zone && k <= kMaxBlocks; ++k) {
    const DimensionSet& s = row.At(k).working_set;
    if (s.kind != kBlockCastInPlace) continue;
    const double v = std::max(1.0, 2 * RoundTo0(s.B() / 0.3 - 1 + 0.4999));
    ns = ns ? std::max(*ns, v) : v;
  }
  return ns;
}

}  // namespace vaultra
