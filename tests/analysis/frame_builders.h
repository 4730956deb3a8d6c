// Small frame models for the analysis tests, built member by member.
#pragma once

#include <initializer_list>
#include <string>

#include "model/frame_model.h"

namespace vaultra::testing {

class FrameBuilder {
 public:
  FrameBuilder() {
    model.title = "TEST";
    model.materials.Add({1, 2.5e7, 1e-5, 0});
  }
  int Node(double x, double y) {
    int n = model.nodes.Count() + 1;
    model.nodes.Add({n, x, y});
    return n;
  }
  // A member with its own section (A, I).
  int Member(int ni, int nj, double area, double inertia, int end_i = 0, int end_j = 0) {
    int e = model.members.Count() + 1;
    model.sections.Add({e, area, inertia});
    FrameMember m;
    m.number = e;
    m.node_i = ni;
    m.node_j = nj;
    m.section = e;
    m.material = 1;
    m.end_i = end_i;
    m.end_j = end_j;
    m.name = "M" + std::to_string(e);
    model.members.Add(m);
    return e;
  }
  // Adds a support case (number = position) and returns its number.
  int SupportCase(std::initializer_list<FrameSupport> supports) {
    FrameSupportCase sc;
    sc.number = model.support_cases.Count() + 1;
    sc.name = "S" + std::to_string(sc.number);
    for (const auto& s : supports) sc.supports.Add(s);
    model.support_cases.Add(sc);
    return sc.number;
  }
  int SpringCase(std::initializer_list<FrameSpring> springs) {
    FrameSpringCase sc;
    sc.number = model.spring_cases.Count() + 1;
    sc.name = "K" + std::to_string(sc.number);
    for (const auto& s : springs) sc.springs.Add(s);
    model.spring_cases.Add(sc);
    return sc.number;
  }
  FrameLoadCase& LoadCase(int spring_case, int support_case) {
    FrameLoadCase lc;
    lc.number = model.load_cases.Count() + 1;
    lc.spring_case = spring_case;
    lc.support_case = support_case;
    lc.name = "LC" + std::to_string(lc.number);
    model.load_cases.Add(lc);
    return model.load_cases[model.load_cases.Count()];
  }
  static FrameLoadItem Item(int type, int member, double d1, double d2 = 0, double d3 = 0,
                            double d4 = 0, int last = 0) {
    FrameLoadItem it;
    it.type = type;
    it.first_member = member;
    it.last_member = last;
    it.d1 = d1;
    it.d2 = d2;
    it.d3 = d3;
    it.d4 = d4;
    return it;
  }
  void Divide(int member, int parts) { model.equal_divisions.Add({member, member, parts}); }
  void Combination(std::initializer_list<int> cases) {
    FrameCombination co;
    co.number = model.combinations.Count() + 1;
    co.factor = 1;
    co.name = "C" + std::to_string(co.number);
    for (int c : cases) co.entries.Add({c, 1.0});
    model.combinations.Add(co);
  }

  FrameModel model;
};

inline FrameSupport Pin(int node) {
  return {node, {-1, -1, 0, 1, 1, 1}, 1};
}
inline FrameSupport Roller(int node) {
  return {node, {0, -1, 0, 1, 1, 1}, 2};
}
inline FrameSupport Fixed(int node) {
  return {node, {-1, -1, -1, 0, 0, 0}, 4};
}
inline FrameSupport SpringSupport(int node, double kx, double ky, double kr) {
  return {node, {kx, ky, kr, 0, 0, 0}, 5};
}

}  // namespace vaultra::testing
