#include "analysis/sdk_results.h"

#include <algorithm>

namespace vaultra {

void BuildSdkResults(const AnalysisResults& r, const FrameModel& m, SdkResultStore& s) {
  s = SdkResultStore();
  int nlc = r.load_case_count, nco = r.combination_count;
  for (int list = 0; list < 2; ++list) {
    int first = list == 0 ? 1 : nlc + 1, last = list == 0 ? nlc : nlc + nco;
    int cases = last - first + 1;
    if (cases <= 0) continue;
    s.reactions[list].resize(cases);
    s.disps[list].resize(cases);
    s.forces[list].resize(cases);
    s.points[list].resize(cases);
    for (int c = first; c <= last; ++c) {
      std::size_t k = static_cast<std::size_t>(c - first);
      int number = list == 0 ? (m.load_cases.InRange(c) ? m.load_cases[c].number : c) : c - nlc;
      auto& rl = s.reactions[list][k];
      rl.reserve(r.cases[static_cast<std::size_t>(c)].reactions.size());
      for (const SupportReaction& re : r.cases[static_cast<std::size_t>(c)].reactions)
        rl.push_back({re.node, {re.values[0], re.values[1], re.values[2]}});
      s.reaction_cases[list].push_back(
          {number, static_cast<int32_t>(rl.size()), rl.empty() ? nullptr : rl.data()});
      auto& dl = s.disps[list][k];
      dl.reserve(static_cast<std::size_t>(std::max(r.node_count, 0)));
      for (int p = 1; p <= r.node_count; ++p) {
        const auto& d = r.Disp(c, p);
        int node = m.nodes.InRange(p) ? m.nodes[p].number : p;
        dl.push_back({node, d.dx, d.dy, d.rot});
      }
      auto& fl = s.forces[list][k];
      auto& pl = s.points[list][k];
      pl.resize(static_cast<std::size_t>(r.member_count));
      fl.reserve(static_cast<std::size_t>(std::max(r.member_count, 0)));
      for (int e = 1; e <= r.member_count; ++e) {
        const auto& mc = r.At(c, e);
        auto& pts = pl[static_cast<std::size_t>(e - 1)];
        pts.reserve(static_cast<std::size_t>(std::clamp(mc.count, 0, kResultMaxPoints)));
        for (int q = 1; q <= mc.count && q <= kResultMaxPoints; ++q) {
          const auto& v = mc.points[static_cast<std::size_t>(q)];
          pts.push_back({q, v[kCompX], v[kCompM], v[kCompS], v[kCompN], v[kCompDefl]});
        }
        int number = m.members.InRange(e) ? m.members[e].number : e;
        fl.push_back({number, r.members[e].node_i, r.members[e].node_j,
                      static_cast<int32_t>(pts.size()), pts.empty() ? nullptr : pts.data()});
      }
      s.disp_cases[list].push_back(
          {number, static_cast<int32_t>(dl.size()), dl.empty() ? nullptr : dl.data()});
      s.force_cases[list].push_back(
          {number, static_cast<int32_t>(fl.size()), fl.empty() ? nullptr : fl.data()});
    }
  }
  // Spring reactions: one list, cases without springs left out.
  int largest = 0;
  for (int c = 1; c <= nlc; ++c)
    largest = std::max(largest, m.load_cases.InRange(c) ? m.load_cases[c].number : c);
  for (int c = 1; c <= nlc + nco && r.HasCase(c); ++c) {
    const auto& springs = r.cases[static_cast<std::size_t>(c)].springs;
    if (springs.empty()) continue;
    auto& ml = s.spring_members.emplace_back();
    auto& pl = s.spring_points.emplace_back();
    pl.resize(springs.size());
    ml.reserve(springs.size());
    for (std::size_t k = 0; k < springs.size(); ++k) {
      const MemberSpringReaction& sr = springs[k];
      auto& pts = pl[k];
      pts.reserve(static_cast<std::size_t>(std::max(sr.count, 0)));
      for (int q = 1; q <= sr.count; ++q) {
        const auto& v = sr.points[static_cast<std::size_t>(q)];
        pts.push_back({q, {v[0], v[1]}});
      }
      int e = sr.member;
      int number = m.members.InRange(e) ? m.members[e].number : e;
      ml.push_back({number, r.members[e].node_i, r.members[e].node_j,
                    static_cast<int32_t>(pts.size()), pts.empty() ? nullptr : pts.data()});
    }
    int number =
        c <= nlc ? (m.load_cases.InRange(c) ? m.load_cases[c].number : c) : largest + c - nlc;
    s.spring_cases.push_back({number, static_cast<int32_t>(ml.size()), ml.data()});
  }
  auto data = [](auto& v) { return v.empty() ? nullptr : v.data(); };
  s.res.reaction_count = static_cast<int32_t>(s.reaction_cases[0].size());
  s.res.reactions = data(s.reaction_cases[0]);
  s.res.reaction_comb_count = static_cast<int32_t>(s.reaction_cases[1].size());
  s.res.reactions_comb = data(s.reaction_cases[1]);
  s.res.disp_count = static_cast<int32_t>(s.disp_cases[0].size());
  s.res.disps = data(s.disp_cases[0]);
  s.res.disp_comb_count = static_cast<int32_t>(s.disp_cases[1].size());
  s.res.disps_comb = data(s.disp_cases[1]);
  s.res.force_count = static_cast<int32_t>(s.force_cases[0].size());
  s.res.forces = data(s.force_cases[0]);
  s.res.force_comb_count = static_cast<int32_t>(s.force_cases[1].size());
  s.res.forces_comb = data(s.force_cases[1]);
  s.res.spring_count = static_cast<int32_t>(s.spring_cases.size());
  s.res.springs = data(s.spring_cases);
}

}  // namespace vaultra
