// The ground layer table: water split, extension, thin layers, default layer.
#include <gtest/gtest.h>

#include "app/pages/ground_page.h"
#include "core/number.h"

namespace vaultra {
namespace {

ProjectState WithLayers(std::initializer_list<double> thicknesses, double bottom, double water) {
  ProjectState s = DefaultProjectState();
  GridData& g = s.ground.At("Grid1").grid;
  int r = 1;
  for (double t : thicknesses) {
    g.SetCell(1, r, Format("%.4f", t));
    g.SetCell(2, r, Format("%d", 10 * r));
    g.SetCell(5, r, "0.4");
    ++r;
  }
  s.transverse.depth_of_bottom = bottom;
  s.records.model.ground_water = water >= 0;
  s.records.model.ground_water_depth = water;
  return s;
}

std::vector<double> Thicknesses(const GroundTable& g) {
  std::vector<double> t;
  for (const GroundLayer& l : g.layers) t.push_back(RoundTo4(l.t));
  return t;
}

TEST(GroundTable, SplitExtendDropAndDefault) {
  struct Case {
    const char* what;
    std::initializer_list<double> layers;
    double bottom, water;
    std::vector<double> expected;
    double total;
  };
  const Case cases[] = {
      // 2 + 3 with water at 2.5: the second layer splits 0.5 / 2.5.
      {"split", {2, 3}, 4.0, 2.5, {2, 0.5, 2.5}, 5},
      // Bottom below the layers: the last grows by bottom + 0.0001 - z.
      {"split and extend", {2, 3}, 6.0, 2.5, {2, 0.5, 3.5001}, 6.0001},
      // Water at a layer boundary: no split.
      {"boundary", {2, 3}, 4.0, 2.0, {2, 3}, 5},
      // No ground water: the level is below everything.
      {"dry", {2, 3}, 4.0, -1, {2, 3}, 5},
      // A layer of 0.0009 m disappears; one of 0.001 stays.
      {"thin", {2, 0.0009, 0.001}, 1.0, -1, {2, 0.001}, 2.0019},
      // An empty grid: the default layer down to the structure bottom.
      {"default", {}, 3.2, -1, {3.2001}, 3.2001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProjectState s = WithLayers(c.layers, c.bottom, c.water);
    CommitGroundInputs(s);
    const GroundTable& g = s.records.ground;
    EXPECT_EQ(Thicknesses(g), c.expected);
    EXPECT_NEAR(g.total_depth, c.total, 1e-9);
  }
}

TEST(GroundTable, DefaultLayerValuesAndMeanPoisson) {
  ProjectState s = WithLayers({}, 3.0, -1);
  CommitGroundInputs(s);
  const GroundLayer& d = s.records.ground.layers.at(0);
  EXPECT_DOUBLE_EQ(d.n_value, 10);
  EXPECT_DOUBLE_EQ(d.gamma, 18);
  EXPECT_DOUBLE_EQ(d.gamma_sub, 8);
  EXPECT_DOUBLE_EQ(d.poisson, 0.48);
  EXPECT_EQ(d.soil, 1);
  EXPECT_EQ(s.records.ground.entered_count, 1);
  // 2 m and 3 m of nu = 0.4 over 5 m.
  ProjectState t = WithLayers({2, 3}, 1.0, -1);
  CommitGroundInputs(t);
  EXPECT_NEAR(t.records.ground.mean_poisson, 0.4, 1e-12);
  EXPECT_EQ(t.records.ground.rows.at(1).n_value, 10);
  EXPECT_EQ(t.records.ground.rows.at(20).t, 0);
}

TEST(GroundTable, NeverEmptyWhileTheStructureBottomIsStillZero) {
  ProjectState s = WithLayers({}, 0.0, -1);
  CommitGroundInputs(s);
  ASSERT_EQ(s.records.ground.layers.size(), 1u);
  EXPECT_GT(s.records.ground.layers[0].t, 0.0009);
  ProjectState u = WithLayers({0.0005}, 0.0, -1);
  CommitGroundInputs(u);
  EXPECT_EQ(u.records.ground.layers.size(), 1u);
}

TEST(GroundCells, FormatsAndSample) {
  EXPECT_EQ(FormatGroundCell(1, "1.5"), " 1.500");
  EXPECT_EQ(FormatGroundCell(1, "0"), "");
  EXPECT_EQ(FormatGroundCell(2, "１２"), "12.0");
  EXPECT_EQ(FormatGroundCell(6, "3"), " 3.00");
  EXPECT_EQ(FormatGroundCell(8, "x"), "x");
  GridData g = DefaultGroundForm().At("Grid1").grid;
  FillGroundSample(g, false);
  EXPECT_EQ(g.Cell(1, 3), " 0.200");
  EXPECT_EQ(g.Cell(2, 3), "13.0");
  EXPECT_EQ(g.Cell(3, 20), "20.200");
  EXPECT_EQ(g.Cell(8, 1), "2");
  EXPECT_EQ(g.Cell(8, 2), "1");
  FillGroundSample(g, true);
  EXPECT_EQ(g.Cell(1, 3), "");
}

}  // namespace
}  // namespace vaultra
