#include "checks/longitudinal_joint.h"

#include <algorithm>
#include <cmath>

#include "core/number.h"

namespace vaultra {

namespace {
// Axial force at the middle output point of member m in case D (0 outside
// the record).
double MiddleAxial(const AnalysisResults& r, int D, int m) {
  if (!r.HasMember(m) || !r.HasCase(D)) return 0;
  const int n = r.members[static_cast<std::size_t>(m)].count;
  const int k = n / 2 + 1;
  if (k < 1 || k > kResultMaxPoints + 1) return 0;
  return r.At(D, m).points[static_cast<std::size_t>(k)][kCompN];
}
}  // namespace

LongitudinalJointResult CheckLongitudinalJoints(const LongitudinalJointInput& in) {
  LongitudinalJointResult out;
  if (!in.longitudinal_analysis_on || in.results == nullptr) {
    // The longitudinal results would be those of an earlier run.
    out.skipped = true;
    out.message = "縦方向の照査を行わない設定のため、縦方向接合部の照査は行いません.";
    return out;
  }
  const AnalysisResults& r = *in.results;
  for (int d = 0; d < 3; ++d) {
    const int D = r.max_load_case + d + 1;
    JointForceRecord& f = out.forces[static_cast<std::size_t>(d)];
    auto& pairs = out.pairs[static_cast<std::size_t>(d)];
    double tens = 0, comp = 0, mag = 0, largest = -1e9;
    int g = 1;
    for (int t = in.first_top + 1, b = in.last_bottom - 1; t < in.last_top && g <= kMaxJointPairs;
         ++t, --b, ++g) {
      const double Nt = MiddleAxial(r, D, t), Nb = MiddleAxial(r, D, b), v = Nt + Nb;
      pairs.push_back({t, b, Nt, Nb, v});
      out.pair_count = g;
      const JointForceEntry e{t, Nt, b, Nb, v};
      if (v > tens) {
        tens = v;
        f.tension = e;
      }
      if (v < comp) {
        comp = v;
        f.compression = e;
      }
      if (std::fabs(v) > mag) {
        mag = std::fabs(v);
        f.magnitude = e;
      }
      if (v > largest) {
        largest = v;
        f.largest = e;
      }
    }
  }
  for (int d = 0; d < 3; ++d) {
    double best = -1e9;
    int idx = 0;
    const auto& pairs = out.pairs[static_cast<std::size_t>(d)];
    for (int g = 1; g <= static_cast<int>(pairs.size()); ++g)
      if (pairs[static_cast<std::size_t>(g - 1)].v > best) {
        best = pairs[static_cast<std::size_t>(g - 1)].v;
        idx = g;
      }
    out.largest_sum[static_cast<std::size_t>(d)] = idx ? best : 0;
    out.largest_index[static_cast<std::size_t>(d)] = idx;
  }
  const JointForceRecord &l1 = out.forces[1], &l2 = out.forces[2];
  out.N_plus = std::max({0.0, l1.tension.v, l2.tension.v});
  out.N_minus = std::min({0.0, l1.compression.v, l2.compression.v});
  out.N_a = std::fabs(l2.magnitude.v) > std::fabs(l1.magnitude.v) ? l2.magnitude.v : l1.magnitude.v;

  out.Pcap = (in.Ap * in.Ppy * in.np + in.fyd * in.ns * in.As) / std::max(in.Wl, 0.001);
  out.ell = RoundTo1(in.L) * 1000;
  const double stiff = std::max((in.Ap * in.np + in.As * in.ns) * in.Es, 0.001);
  const double Ua[2] = {in.Ua1, in.Ua2};
  for (int lv = 0; lv < 2; ++lv) {
    const double tension = out.forces[static_cast<std::size_t>(lv + 1)].tension.v;
    out.capacity_ok[static_cast<std::size_t>(lv)] = tension * 1000 < out.Pcap;
    out.delta[static_cast<std::size_t>(lv)] = tension * 1000 * out.ell * in.Wl / stiff;
    out.opening_ok[static_cast<std::size_t>(lv)] = out.delta[static_cast<std::size_t>(lv)] < Ua[lv];
  }
  return out;
}

}  // namespace vaultra
