// The result-file number writer against the C library's printf, and the
// result files against the line-by-line printf writer they replaced.
#include "analysis/number_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <string>

#include "analysis/frame_file.h"
#include "core/fileio.h"
#include "core/number.h"

namespace vaultra {
namespace {

std::string Printf(const char* fmt, int w, int p, double v) {
  char buf[512];
  std::snprintf(buf, sizeof buf, fmt, w, p, v);
  return buf;
}

void ExpectSame(int w, int p, double v) {
  std::string f, e;
  AppendFixed(f, w, p, v);
  AppendExp(e, w, p, v);
  ASSERT_EQ(f, Printf("%*.*f", w, p, v)) << "value " << v << " w " << w << " p " << p;
  ASSERT_EQ(e, Printf("%*.*e", w, p, v)) << "value " << v << " w " << w << " p " << p;
}

// The widths and precisions the result files use, plus narrow fields.
const int kFormats[][2] = {{14, 3}, {14, 5}, {14, 6}, {9, 3}, {0, 3}, {1, 0}, {20, 10}};

TEST(NumberWriter, EdgeValuesAsPrintf) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double edges[] = {0.0,
                          -0.0,
                          0.0005,
                          -0.0005,
                          0.0004999,
                          1.0005,
                          2.0005,
                          1.2345,
                          -1.2345,
                          0.00049,
                          -0.00049,
                          999.9995,
                          9.9999995,
                          1e-300,
                          -1e-300,
                          5e-324,
                          1e15,
                          1e17,
                          123456789012.3455,
                          -987654321.0005,
                          1e300,
                          -1.7976931348623157e308,
                          inf,
                          -inf,
                          nan,
                          -nan,
                          0.125,
                          0.375,
                          2.5,
                          -2.5,
                          0.5,
                          1.5,
                          1e-5,
                          9.5e-6};
  for (const auto& f : kFormats)
    for (double v : edges) ExpectSame(f[0], f[1], v);
}

TEST(NumberWriter, RandomValuesAsPrintf) {
  std::mt19937_64 rng(20261209);
  std::uniform_real_distribution<double> mant(-10, 10);
  std::uniform_int_distribution<int> expo(-12, 14);
  std::uniform_int_distribution<int> digits(0, 6);
  for (int i = 0; i < 200000; ++i) {
    double v = mant(rng) * std::pow(10.0, expo(rng));
    if (i % 4 == 1) {
      // Values on a rounding boundary of the third or fifth decimal.
      int p = i % 8 == 1 ? 3 : 5;
      double scale = std::pow(10.0, p);
      v = (std::floor(v * scale) + 0.5) / scale;
    } else if (i % 4 == 2) {
      std::uint64_t bits = rng();
      std::memcpy(&v, &bits, sizeof v);  // any bit pattern, NaNs included
    }
    const auto& f = kFormats[static_cast<std::size_t>(i) % std::size(kFormats)];
    ExpectSame(f[0], i % 3 == 0 ? digits(rng) : f[1], v);
  }
}

TEST(NumberWriter, IntegersAsPrintf) {
  const long long values[] = {0,    1,     -1,    9,      10,     99,         999,          1000,
                              9999, 10000, 99999, -99999, 123456, 2147483647, -2147483648LL};
  for (int w : {0, 3, 4, 5})
    for (long long v : values) {
      std::string s;
      AppendInt(s, w, v);
      char buf[64];
      std::snprintf(buf, sizeof buf, "%*lld", w, v);
      EXPECT_EQ(s, buf);
    }
}

// The line-by-line printf writer the result files had before, as the
// reference for their bytes.
template <class Case, class ItemFn>
std::string OldCaseText(const char* header, const Case* cases, int count, ItemFn&& item) {
  std::vector<std::string> lines;
  for (int c = 0; c < count; ++c) {
    lines.push_back(header);
    lines.push_back(Format("CASE  %4d %4d", cases[c].number, cases[c].count));
    for (int i = 0; i < cases[c].count; ++i) item(cases[c].items[i], lines);
  }
  return JoinLinesCrLf(lines);
}

TEST(ResultFiles, BytesAsTheLineByLinePrintfWriter) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> u(-2000, 2000);
  auto val = [&](int i) {
    double v = u(rng);
    if (i % 7 == 0) v = -0.0;
    if (i % 11 == 0) v *= 1e-7;
    if (i % 13 == 0) v = std::floor(v * 1000) / 1000 + 0.0005;
    return v;
  };
  std::vector<FR_SDK_REACTION> re;
  std::vector<FR_SDK_DISPLACEMENT> di;
  std::vector<FR_SDK_FORCEPOINT> fp;
  std::vector<FR_SDK_EXTRPOINT> ep;
  std::vector<FR_SDK_SPRINGPOINT> sp;
  std::vector<FR_SDK_MMAXMIN> mm;
  for (int i = 0; i < 60; ++i) {
    re.push_back({i + 1, {val(i), val(i + 1), val(i + 2)}});
    di.push_back({i * 37, val(i) * 1e-4, val(i + 3) * 1e-9, val(i + 5)});
    fp.push_back({i % 15 + 1, val(i), val(i + 1), val(i + 2), val(i + 3), val(i + 4)});
    ep.push_back({i + 1, {val(i), val(i + 1), val(i + 2), val(i + 3)}, i % 3});
    sp.push_back({i + 1, {val(i), val(i + 2)}});
    mm.push_back({i,
                  {val(i), val(i + 1), val(i + 2), val(i + 3)},
                  i + 2,
                  {val(i + 4), val(i + 5), val(i + 6), val(i + 7)}});
  }
  std::vector<FR_SDK_MEMBERFORCE> mf;
  std::vector<FR_SDK_MEMBEREXTR> me;
  std::vector<FR_SDK_MEMBERSPRING> ms;
  for (int e = 0; e < 4; ++e) {
    mf.push_back({e * 400 + 1, e + 1, e + 2, 15, fp.data() + e * 15});
    me.push_back({e * 4000 + 3, e + 1, e + 2, 15, ep.data() + e * 15});
    ms.push_back({e + 1, e + 1, e + 2, 15, sp.data() + e * 15});
  }
  FR_SDK_REACTCASE rc[] = {{1, 30, re.data()}, {12345, 30, re.data() + 30}};
  FR_SDK_DISPCASE dc[] = {{2, 60, di.data()}};
  FR_SDK_FORCECASE fc[] = {{1, 2, mf.data()}, {3, 2, mf.data() + 2}};
  FR_SDK_EXTRCASE xc[] = {{1, 4, me.data()}};
  FR_SDK_SPRINGCASE sc[] = {{1, 4, ms.data()}};
  FR_SDK_MMAXMINCASE mc[] = {{1, 60, mm.data()}};
  FR_SDK_MAINRES r{};
  r.reaction_count = 2, r.reactions = rc, r.disp_comb_count = 1, r.disps_comb = dc;
  r.force_count = 2, r.forces = fc, r.smin_count = 1, r.smin = xc;
  r.spring_count = 1, r.springs = sc, r.mmaxmin_count = 1, r.mmaxmin = mc;

  auto dir = std::filesystem::temp_directory_path() / "vaultra_result_bytes";
  std::filesystem::create_directories(dir);
  std::string base = (dir / "Yoko0").string();
  FrameTextFile file;
  ASSERT_TRUE(file.SaveToFile(base, &r)) << file.error();
  auto read = [&](const char* ext) { return ReadFileBytes(base + ext).value_or("<missing>"); };
  using Lines = std::vector<std::string>;
  EXPECT_EQ(read(".F11"), OldCaseText("支点反力", rc, 2, [](const FR_SDK_REACTION& it, Lines& o) {
              o.push_back(Format("%5d %14.3f %14.3f %14.3f", it.node, it.values[0], it.values[1],
                                 it.values[2]));
            }));
  EXPECT_EQ(read(".F22"),
            OldCaseText("格点変位（組み合せ）", dc, 1, [](const FR_SDK_DISPLACEMENT& it, Lines& o) {
              o.push_back(Format("%5d %14.6e %14.5e %14.6e", it.node, it.dx, it.dy, it.rotation));
            }));
  EXPECT_EQ(
      read(".F31"), OldCaseText("部材力", fc, 2, [](const FR_SDK_MEMBERFORCE& it, Lines& o) {
        o.push_back(Format("MEMBR %3d %4d %4d %4d", it.member, it.node_i, it.node_j, it.count));
        for (int k = 0; k < it.count; ++k) {
          const auto& p = it.points[k];
          o.push_back(Format("%5d %14.3f %14.3f %14.3f %14.3f %14.5f", p.number, p.x, p.m, p.s, p.n,
                             p.deflection));
        }
      }));
  EXPECT_EQ(
      read(".F52"),
      OldCaseText("部材力（Smin抽出）", xc, 1, [](const FR_SDK_MEMBEREXTR& it, Lines& o) {
        o.push_back(Format("MEMBR %4d %4d %4d %4d", it.member, it.node_i, it.node_j, it.count));
        for (int k = 0; k < it.count; ++k) {
          const auto& p = it.points[k];
          o.push_back(Format("%5d %14.3f %14.3f %14.3f %14.3f %4d", p.number, p.values[0],
                             p.values[1], p.values[2], p.values[3], p.flag));
        }
      }));
  EXPECT_EQ(
      read(".F33"), OldCaseText("分布バネ反力", sc, 1, [](const FR_SDK_MEMBERSPRING& it, Lines& o) {
        o.push_back(Format("MEMBR %4d %4d %4d %4d", it.member, it.node_i, it.node_j, it.count));
        for (int k = 0; k < it.count; ++k)
          o.push_back(Format("%5d %14.3f %14.3f", it.points[k].number, it.points[k].values[0],
                             it.points[k].values[1]));
      }));
  EXPECT_EQ(
      read(".F71"),
      OldCaseText("部材力（Mmax,Mmin）", mc, 1, [](const FR_SDK_MMAXMIN& it, Lines& o) {
        o.push_back(Format("%5d Mmax %9.3f %14.3f %14.3f %14.3f", it.max_index, it.max_values[0],
                           it.max_values[1], it.max_values[2], it.max_values[3]));
        o.push_back(Format("%5d Mmin %9.3f %14.3f %14.3f %14.3f", it.min_index, it.min_values[0],
                           it.min_values[1], it.min_values[2], it.min_values[3]));
      }));
  // Empty lists give empty files.
  EXPECT_EQ(read(".F12"), "");
  EXPECT_EQ(read(".F41"), "");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vaultra
