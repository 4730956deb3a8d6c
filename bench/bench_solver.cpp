// The internal frame solver on a ~400-node multi-cell culvert: the banded
// fast path against the literal dense algorithm, and the analysis with the
// maximum-moment search.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "analysis/analysis_driver.h"
#include "analysis/frame_solver.h"
#include "model/frame_model.h"

namespace {

using namespace vaultra;

// Eight cells of 4 m by 3 m; slabs cut into 0.25 m members, walls into
// 0.2 m members: 384 nodes, 391 members.
FrameModel Culvert() {
  FrameModel m;
  m.title = "BENCH";
  m.materials.Add({1, 2.5e7, 1e-5, 0});
  auto node = [&](double x, double y) {
    for (int i = 1; i <= m.nodes.Count(); ++i)
      if (std::abs(m.nodes[i].x - x) < 1e-6 && std::abs(m.nodes[i].y - y) < 1e-6) return i;
    int n = m.nodes.Count() + 1;
    m.nodes.Add({n, x, y});
    return n;
  };
  auto member = [&](int a, int b, double h) {
    int e = m.members.Count() + 1;
    m.sections.Add({e, h, h * h * h / 12});
    FrameMember fm;
    fm.number = e;
    fm.node_i = a;
    fm.node_j = b;
    fm.section = e;
    fm.material = 1;
    m.members.Add(fm);
    m.equal_divisions.Add({e, e, 2});
    return e;
  };
  const int cells = 8;
  const double W = 4, H = 3;
  std::vector<int> bottom, top, walls_outer;
  for (int k = 0; k < cells * 16; ++k) {
    bottom.push_back(member(node(k * 0.25, 0), node((k + 1) * 0.25, 0), 0.4));
    top.push_back(member(node((k + 1) * 0.25, H), node(k * 0.25, H), 0.35));
  }
  for (int w = 0; w <= cells; ++w)
    for (int k = 0; k < 15; ++k) {
      int e = member(node(w * W, k * 0.2), node(w * W, (k + 1) * 0.2),
                     w == 0 || w == cells ? 0.4 : 0.3);
      if (w == 0 || w == cells) walls_outer.push_back(e);
    }
  FrameSpringCase springs;
  springs.number = 1;
  for (int e : bottom) springs.springs.Add({e, 20000, 2000});
  m.spring_cases.Add(springs);
  FrameSpringCase walls = springs;
  walls.number = 2;
  for (int e : walls_outer) walls.springs.Add({e, 8000, 800});
  m.spring_cases.Add(walls);
  FrameSupportCase fixed;
  fixed.number = 1;
  fixed.supports.Add({node(0, 0), {-1, -1, 0, 1, 1, 1}, 1});
  fixed.supports.Add({node(cells * W, 0), {0, -1, 0, 1, 1, 1}, 2});
  m.support_cases.Add(fixed);
  FrameSupportCase free;
  free.number = 2;
  free.supports.Add({node(cells * W, 0), {0, 0, 0, 0, 0, 0}, 5});
  m.support_cases.Add(free);
  for (int c = 1; c <= 10; ++c) {
    FrameLoadCase lc;
    lc.number = c;
    lc.spring_case = c <= 4 ? 0 : (c % 2 ? 1 : 2);
    lc.support_case = c <= 4 ? 1 : 2;
    for (int e : top) {
      FrameLoadItem it;
      it.type = 14;
      it.first_member = it.last_member = e;
      it.d1 = it.d2 = -10.0 * c;
      lc.items.Add(it);
    }
    for (int e : walls_outer) {
      FrameLoadItem it;
      it.type = 13;
      it.first_member = it.last_member = e;
      it.d1 = 5 + c;
      it.d2 = 8 + c;
      lc.items.Add(it);
    }
    m.load_cases.Add(lc);
  }
  for (int k = 1; k <= 3; ++k) {
    FrameCombination co;
    co.number = k;
    co.factor = 1;
    for (int c = 1; c <= 4; ++c) co.entries.Add({c, 1});
    co.entries.Add({4 + 2 * k, 1});
    m.combinations.Add(co);
  }
  return m;
}

void BM_SolveFast(benchmark::State& state) {
  FrameModel m = Culvert();
  AnalysisResults r;
  for (auto _ : state) benchmark::DoNotOptimize(SolveFrame(m, r));
  state.counters["nodes"] = m.nodes.Count();
  state.counters["members"] = m.members.Count();
}
BENCHMARK(BM_SolveFast)->Unit(benchmark::kMillisecond);

void BM_SolveDenseReference(benchmark::State& state) {
  FrameModel m = Culvert();
  AnalysisResults r;
  for (auto _ : state) benchmark::DoNotOptimize(SolveFrame(m, r, {true}));
}
BENCHMARK(BM_SolveDenseReference)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_AnalyseWithMaxSearchInternal(benchmark::State& state) {
  FrameModel m = Culvert();
  MaxSearchMembers members(m.members.Count() + 1);
  for (int e = 1; e <= m.members.Count(); ++e) members[e] = {m.members[e].length, 1, e % 8 == 0};
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "vaultra_bench_search";
  std::filesystem::create_directories(dir);
  std::string text = (dir / "Yoko0.$O1").string();
  AnalysisResults r, s1, s2;
  FrameAnalysisContext ctx{{}, true, nullptr, nullptr};
  // Member lengths are set by the first solve.
  SolveFrame(m, r);
  for (int e = 1; e <= m.members.Count(); ++e) members[e].length = m.members[e].length;
  for (auto _ : state)
    benchmark::DoNotOptimize(AnalyseWithMaxSearch(r, s1, s2, text, m, members, ctx));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_AnalyseWithMaxSearchInternal)->Unit(benchmark::kMillisecond);

}  // namespace
