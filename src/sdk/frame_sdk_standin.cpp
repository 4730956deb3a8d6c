// The frame library. FrameCalc copies the input record into a frame model
// (checking every count and pointer), solves it with the production
// analysis (members on ground springs solved exactly) and returns
// the displacement and member-force lists; FrameErr tells why the last
// FrameCalc failed; FrameResMemFree releases a result.
//
// The C interface carries no handle, so the last error and the results
// handed out live in the library itself.
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "analysis/ground_frame.h"
#include "analysis/sdk_results.h"
#include "analysis/sdk_types.h"
#include "core/number.h"

#define VAULTRA_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace vaultra;

struct LibraryState {
  std::mutex mutex;
  int32_t error_code = 0;
  std::string error_text;
  std::map<const FR_SDK_MAINRES*, std::unique_ptr<SdkResultStore>> results;
};

LibraryState& State() {
  static LibraryState state;
  return state;
}

std::string Name(const char (&text)[44]) {
  return std::string(text, strnlen(text, sizeof text));
}

// Copies the input record into a model; empty on success, else why not.
std::string ToModel(const FR_SDK_MAINDATA& d, FrameModel& m) {
  auto bad = [](int count, const void* p, int capacity) {
    return count < 0 || count > capacity || (count > 0 && p == nullptr);
  };
  if (bad(d.node_count, d.nodes, kFrameMaxNodes) ||
      bad(d.member_count, d.members, kFrameMaxMembers) ||
      bad(d.material_count, d.materials, kFrameMaxMaterials) ||
      bad(d.section_count, d.sections, kFrameMaxSections) ||
      bad(d.spring_case_count, d.spring_cases, kFrameMaxSpringCases) ||
      bad(d.support_case_count, d.support_cases, kFrameMaxSupportCases) ||
      bad(d.load_case_count, d.load_cases, kFrameMaxLoadCases) ||
      bad(d.combination_count, d.combinations, kFrameMaxCombinations))
    return "入力データの件数が範囲外です";
  m.title = std::string(d.title, strnlen(d.title, sizeof d.title));
  for (int i = 0; i < d.node_count; ++i)
    m.nodes.Add({d.nodes[i].number, d.nodes[i].x, d.nodes[i].y});
  for (int i = 0; i < d.material_count; ++i)
    m.materials.Add({d.materials[i].number, d.materials[i].e, d.materials[i].alpha, 0});
  for (int i = 0; i < d.section_count; ++i)
    m.sections.Add({d.sections[i].number, d.sections[i].area, d.sections[i].inertia});
  for (int i = 0; i < d.member_count; ++i) {
    const auto& s = d.members[i];
    FrameMember e;
    e.number = s.number;
    e.node_i = s.node_i;
    e.node_j = s.node_j;
    e.section = s.section_i;
    e.material = s.material;
    e.end_i = s.end_i;
    e.end_j = s.end_j;
    m.members.Add(e);
  }
  for (int c = 0; c < d.spring_case_count; ++c) {
    const auto& s = d.spring_cases[c];
    if (bad(s.count, s.springs, kFrameMaxSpringsPerCase)) return "バネの件数が範囲外です";
    FrameSpringCase sc;
    sc.number = s.number;
    for (int i = 0; i < s.count; ++i)
      sc.springs.Add({s.springs[i].member, s.springs[i].k_normal, s.springs[i].k_tangent});
    m.spring_cases.Add(sc);
  }
  for (int c = 0; c < d.support_case_count; ++c) {
    const auto& s = d.support_cases[c];
    if (bad(s.count, s.supports, kFrameMaxSupportsPerCase)) return "支点の件数が範囲外です";
    FrameSupportCase sc;
    sc.number = s.number;
    for (int i = 0; i < s.count; ++i) {
      FrameSupport su;
      su.node = s.supports[i].node;
      for (int k = 0; k < 6; ++k) su.values[static_cast<std::size_t>(k)] = s.supports[i].values[k];
      su.type = s.supports[i].type;
      sc.supports.Add(su);
    }
    m.support_cases.Add(sc);
  }
  if (d.aimed_count > 0 && d.aimed) {
    const auto& a = *d.aimed;
    if (bad(a.equal_count, a.equal, kFrameMaxEqualDivisions) ||
        bad(a.spec_count, a.spec, kFrameMaxSpecifiedEntries))
      return "着目点の件数が範囲外です";
    for (int i = 0; i < a.equal_count; ++i)
      m.equal_divisions.Add({a.equal[i].first_member, a.equal[i].last_member, a.equal[i].parts});
    for (int i = 0; i < a.spec_count; ++i) {
      const auto& s = a.spec[i];
      if (bad(s.count, s.positions, kFrameMaxPositionsPerEntry))
        return "着目位置の件数が範囲外です";
      FrameSpecifiedPositions sp;
      sp.member = s.member;
      for (int k = 0; k < s.count; ++k) sp.positions.Add({s.positions[k], {}});
      m.specified.Add(sp);
    }
  }
  for (int c = 0; c < d.load_case_count; ++c) {
    const auto& s = d.load_cases[c];
    if (bad(s.count, s.items, kFrameMaxItemsPerCase)) return "荷重の件数が範囲外です";
    FrameLoadCase lc;
    lc.number = s.number;
    lc.spring_case = s.spring_case;
    lc.support_case = s.support_case;
    lc.name = Name(s.name);
    for (int i = 0; i < s.count; ++i) {
      const auto& it = s.items[i];
      FrameLoadItem li;
      li.type = it.type;
      li.first_member = it.first_member;
      li.last_member = it.last_member;
      li.d1 = it.d1, li.d2 = it.d2, li.d3 = it.d3, li.d4 = it.d4;
      lc.items.Add(li);
    }
    m.load_cases.Add(lc);
  }
  for (int c = 0; c < d.combination_count; ++c) {
    const auto& s = d.combinations[c];
    if (bad(s.count, s.entries, kFrameMaxCombinationEntries)) return "組合せの件数が範囲外です";
    FrameCombination co;
    co.number = s.number;
    co.factor = s.factor;
    co.name = Name(s.name);
    for (int i = 0; i < s.count; ++i) co.entries.Add({s.entries[i].load_case, s.entries[i].factor});
    m.combinations.Add(co);
  }
  return {};
}

}  // namespace

VAULTRA_EXPORT FR_SDK_MAINRES* FrameCalc(const char* /*frame_dir*/, FR_SDK_MAINDATA* data) {
  LibraryState& st = State();
  std::lock_guard<std::mutex> lock(st.mutex);
  st.error_code = 0;
  st.error_text.clear();
  if (!data) {
    st.error_code = 1;
    st.error_text = "入力データが有りません";
    return nullptr;
  }
  auto model = std::make_unique<FrameModel>();
  std::string msg = ToModel(*data, *model);
  AnalysisResults results;
  if (msg.empty()) msg = SolveFrameOnGround(*model, results);
  if (!msg.empty()) {
    st.error_code = 2;
    st.error_text = msg;
    return nullptr;
  }
  auto store = std::make_unique<SdkResultStore>();
  BuildSdkResults(results, *model, *store);
  FR_SDK_MAINRES* res = &store->res;
  st.results[res] = std::move(store);
  return res;
}

VAULTRA_EXPORT int32_t FrameErr(const char** message) {
  LibraryState& st = State();
  std::lock_guard<std::mutex> lock(st.mutex);
#ifdef VAULTRA_SDK_NULL_ERROR_TEXT
  if (message) *message = nullptr;
#else
  if (message) *message = st.error_text.c_str();
#endif
  return st.error_code;
}

#ifndef VAULTRA_SDK_WITHOUT_FREE
VAULTRA_EXPORT void FrameResMemFree(FR_SDK_MAINRES* result) {
  LibraryState& st = State();
  std::lock_guard<std::mutex> lock(st.mutex);
  st.results.erase(result);
}
#endif
