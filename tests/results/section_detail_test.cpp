#include "results/section_detail.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/format_by_tag.h"

namespace vaultra {
namespace {

// b = 1000, h = 500, bars 50 mm in, As1 = 0, As2 = 2000, M = 200 kN·m, S = 100 kN,
// N = 0, γ = 1, f′ck = 24, fyk = 345, Ec = 25000, Es = 200000, n = 15.
SectionDetailWindow HandSection() {
  SectionDetailWindow w;
  auto set = [&](int f, const char* text) {
    w.inputs.text[f] = FormatByTag(text, SectionDetailFields()[f].tag);
  };
  set(kSdM, "200");
  set(kSdN, "0");
  set(kSdS, "100");
  set(kSdEc, "25000");
  set(kSdEs, "200000");
  set(kSdB, "1000");
  set(kSdH, "500");
  set(kSdDd1, "50");
  set(kSdDd2, "50");
  set(kSdAs1, "0");
  set(kSdAs2, "2000");
  return w;
}

// Working stresses by the k-j method: x = 137.03, σc = 7.2195, σs = 247.327,
// σs′ at the edge = −n·σc, j = 0.8985, τ = 0.2473; τa1 (σck 24) = 0.23.
const std::vector<std::string> kStressLines = {
    "応力度 左:圧縮  σc= 7.22、　σs= -108.29/247.33 → 247.33 (N/mm2)",
    "                τc/ca = 0.25 / 0.23 (N/mm2)",
    " n = 15.0,  y1 = 0.0 mm 、 e = 0.0 mm、 x = 137.0 mm、 j = 0.898 mm",
    "",
};

// Capacities worked out with the rectangular stress block for the force
// N′d = 0.001 kN at e = 2·10⁸ mm, the balanced point, Vcd by the design
// formula and the failure-mode judgement with fyd = 345/0.833.
const std::vector<std::string> kCapacityLines = {
    "曲げ耐力  左:圧縮  Ｎu = 0.0 kN、　Ｍu = 298.8 kN･m、　安全性: 0.669",
    "  算定法: 偏心量一定、 N'ud = 0.0 kN",
    "  c = 42.28mm,  y0 = 256.20mm,  Nb = 4229.43 (kN),  Mb = 800.93 (kN-m)",
    "  e = M/N = 200000000.00mm,  eb = Mb/Nb = 189.37mm",
    " ε's = 3.500e-3,  ε'yd = 1.725e-3",
    "",
    "せん断耐力          Vcd = 241.9 、　Vsd = 0.0 (N/mm2)、　安全性: 0.413",
    " fvcd=0.577, βd=1.221, βp=0.763, Mo=0.00, Mud=400.00, βn=1.000",
    "",
    "モード判定　　Mud = 355.9 、Mu = 355.9 、L = 2.000 、Vmu = 178.0 、安全性 0.736",
    " L = |M|/|S| : この断面を曲げ支配断面とする",
    " γs = 0.833 、fyk = 345.0 、fyd = 414.0 、γbm = 1.000",
};

TEST(SectionDetail, InitialFieldsInTabOrder) {
  const auto& f = SectionDetailFields();
  const char* names[] = {"edM",    "edN",    "edS",   "edGmc",  "edGms",  "edGmbm", "edGmbc",
                         "edGmbs", "edFdck", "edFyk", "edFdcd", "edFwyd", "edFyd",  "edEc",
                         "edEs",   "edEN",   "edB",   "edH",    "edDd1",  "edDd2",  "edAs1",
                         "edAs2",  "edAw",   "edSs",  "edThs"};
  for (int i = 0; i < kSdFieldCount; ++i) EXPECT_STREQ(f[i].name, names[i]);
  EXPECT_EQ(SectionDetailFieldIndex("edThs"), kSdThs);
  EXPECT_EQ(SectionDetailFieldIndex("edX"), -1);
  const SectionDetailInputs in = SectionDetailInputs::Initial();
  EXPECT_EQ(in.text[kSdM], "4931.8");
  EXPECT_EQ(in.text[kSdFwyd], "  345.00");
  EXPECT_DOUBLE_EQ(in.Value(kSdAs1), 6353.6);
  EXPECT_TRUE(in.cb_fig1);
  EXPECT_TRUE(in.cb_fig2);
  EXPECT_FALSE(in.ck_ta_h2);
}

TEST(SectionDetail, StressListingMatchesTheHandSection) {
  SectionDetailWindow w = HandSection();
  w.inputs.cb_fig2 = false;
  Recompute(w);
  EXPECT_EQ(w.listing, kStressLines);
  EXPECT_EQ(w.labels.lbSs3, "σs = 247.33");
  EXPECT_EQ(w.labels.lbTc3, "τc = 0.247");
  EXPECT_EQ(w.labels.lbAwa, "Awa = 0.0");  // 100 kN < τa1·b·d = 103.5 kN
  EXPECT_EQ(w.labels.lbTca, "τca = 0.230   τwa = 1.700");
  EXPECT_EQ(w.labels.lbMu3, "");
  EXPECT_EQ(w.labels.lbVcd3, "");
  EXPECT_EQ(w.figure.stress_code, 1);
  // S = 200 kN: Aw = 1.15·(200 − 103.5) kN·100/(160·450) = 154.1 mm².
  w.inputs.text[kSdS] = "200";
  Recompute(w);
  EXPECT_EQ(w.labels.lbAwa, "Awa = 154.1");
}

TEST(SectionDetail, CapacityListingMatchesTheHandSection) {
  SectionDetailWindow w = HandSection();
  w.inputs.cb_fig1 = false;  // the capacity part alone
  Recompute(w);
  std::vector<std::string> expected(4, "");
  expected.insert(expected.end(), kCapacityLines.begin(), kCapacityLines.end());
  EXPECT_EQ(w.listing, expected);
  EXPECT_EQ(w.labels.lbMu3, "Ｍu =298.8312");
  EXPECT_EQ(w.labels.lbVcd3, "Vcd = 241.89");
  EXPECT_EQ(w.labels.lbVsd3, "Vsd =   0.00");
  EXPECT_EQ(w.labels.lbSs3, "");
  EXPECT_EQ(w.labels.lbLs, "(圧縮側)");
  EXPECT_EQ(w.labels.lbRs, "(引張側)");
  EXPECT_EQ(w.figure.ult_code, 5);
  // Both parts: the stress lines first.
  w.inputs.cb_fig1 = true;
  Recompute(w);
  std::vector<std::string> both = kStressLines;
  both.insert(both.end(), kCapacityLines.begin(), kCapacityLines.end());
  EXPECT_EQ(w.listing, both);
  // The failure-mode judgement's γs does not stay for the next recompute.
  Recompute(w);
  EXPECT_EQ(w.listing, both);
}

TEST(SectionDetail, NegativeMomentPutsTheTensionOnTheLeft) {
  SectionDetailWindow w = HandSection();
  w.inputs.text[kSdM] = "-200";
  w.inputs.text[kSdAs1] = "2000";
  w.inputs.text[kSdAs2] = "0";
  w.inputs.text[kSdDd2] = "100";  // the compression side: no effect without steel
  w.inputs.text[kSdS] = "200";
  Recompute(w);
  ASSERT_GE(w.listing.size(), 5u);
  EXPECT_EQ(w.listing[0], "応力度 左:引張  σc= 7.22、　σs= -108.29/247.33 → 247.33 (N/mm2)");
  const std::string head = "曲げ耐力  左:引張";
  EXPECT_EQ(w.listing[4].substr(0, head.size()), head);
  EXPECT_EQ(w.labels.lbLs, "(引張側)");
  EXPECT_EQ(w.labels.lbRs, "(圧縮側)");
  EXPECT_LT(w.figure.stress_code, 0);
  EXPECT_LT(w.figure.ult_code, 0);
  // The stirrups are for the tension face on the left (d = 450).
  EXPECT_EQ(w.labels.lbAwa, "Awa = 154.1");
}

TEST(SectionDetail, GraphSwitches) {
  struct Case {
    bool fig1, fig2;
    const char* fyk;
    bool stress, capacity;
  } cases[] = {
      {true, true, "345", true, true},   {false, true, "345", false, true},
      {true, false, "345", true, false}, {false, false, "345", true, false},
      {false, true, "0", true, false},  // fyk = 0: the stress part runs even with CbFig1 clear
  };
  for (const Case& c : cases) {
    SectionDetailWindow w = HandSection();
    w.inputs.cb_fig1 = c.fig1;
    w.inputs.cb_fig2 = c.fig2;
    w.inputs.text[kSdFyk] = c.fyk;
    Recompute(w);
    EXPECT_EQ(w.figure.stress_on, c.stress);
    EXPECT_EQ(w.figure.capacity_on, c.capacity);
    EXPECT_EQ(w.listing[0].empty(), !c.stress);
    EXPECT_EQ(w.listing.size(), c.capacity ? 16u : 4u);
    EXPECT_EQ(w.labels.lbMu3.empty(), !c.capacity);
  }
}

TEST(SectionDetail, ClampsTheSectionAndFactors) {
  // γc typed as 0 is used as 0.001: f′cd = 1000·f′ck.
  SectionDetailWindow w = HandSection();
  w.inputs.text[kSdGmc] = FormatByTag("0", 72);
  Recompute(w);
  EXPECT_EQ(w.inputs.text[kSdFdcd], "24000.000");
  EXPECT_EQ(w.inputs.text[kSdFyd], "  345.00");
  // h typed as 5 mm is used as 10 mm.
  SectionDetailWindow a = HandSection(), b = HandSection();
  a.inputs.text[kSdH] = "5";
  b.inputs.text[kSdH] = "10";
  a.inputs.text[kSdDd1] = a.inputs.text[kSdDd2] = b.inputs.text[kSdDd1] = b.inputs.text[kSdDd2] =
      "2";
  Recompute(a);
  Recompute(b);
  EXPECT_EQ(a.listing, b.listing);
  EXPECT_EQ(a.figure.h, 10);
}

bool HasNonFinite(const std::vector<std::string>& lines) {
  for (const std::string& l : lines) {
    for (const char* bad : {"nan", "inf", "NAN", "INF"}) {
      if (l.find(bad) != std::string::npos) return true;
    }
  }
  return false;
}

TEST(SectionDetail, DegenerateAndComplexRootInputsNeverShowNaN) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, const char*>> set;
  } cases[] = {
      {"initial values", {}},
      {"tension with large eccentricity (complex roots)", {{kSdN, "-100"}, {kSdM, "100"}}},
      {"large tension, small section", {{kSdN, "-5000"}, {kSdM, "10"}, {kSdH, "200"}}},
      {"zero forces", {{kSdM, "0"}, {kSdN, "0"}, {kSdS, "0"}}},
      {"no reinforcement", {{kSdAs1, "0"}, {kSdAs2, "0"}}},
      {"no reinforcement, tension", {{kSdAs1, "0"}, {kSdAs2, "0"}, {kSdN, "-100"}}},
      {"zero width", {{kSdB, "0"}, {kSdN, "1000"}}},
      {"everything zero",
       {{kSdM, "0"},
        {kSdN, "0"},
        {kSdS, "0"},
        {kSdB, "0"},
        {kSdH, "0"},
        {kSdDd1, "0"},
        {kSdDd2, "0"},
        {kSdAs1, "0"},
        {kSdAs2, "0"},
        {kSdFdck, "0"},
        {kSdEc, "0"},
        {kSdEs, "0"},
        {kSdEN, "0"},
        {kSdSs, "0"},
        {kSdThs, "0"}}},
      {"covers beyond the height", {{kSdDd1, "3000"}, {kSdDd2, "3000"}, {kSdN, "500"}}},
      {"d = d′", {{kSdDd1, "1250"}, {kSdDd2, "1250"}, {kSdN, "-200"}}},
  };
  for (const Case& c : cases) {
    SectionDetailWindow w;
    for (const auto& [f, text] : c.set) w.inputs.text[f] = text;
    Recompute(w);
    EXPECT_FALSE(HasNonFinite(w.listing)) << c.what;
    for (const std::string* l : {&w.labels.lbSs3, &w.labels.lbTc3, &w.labels.lbTca, &w.labels.lbAwa,
                                 &w.labels.lbMu3, &w.labels.lbVcd3, &w.labels.lbVsd3}) {
      EXPECT_FALSE(HasNonFinite({*l})) << c.what;
    }
    EXPECT_FALSE(HasNonFinite({w.inputs.text[kSdFdcd], w.inputs.text[kSdFyd]})) << c.what;
  }
}

TEST(SectionDetail, ValueStep) {
  struct Case {
    double v;
    bool up;
    double expected;
  } cases[] = {
      {100, true, 110},     {100, false, 90.909},   {-100, true, -90.909}, {-100, false, -110},
      {0, true, 0.001},     {0, false, -0.001},     {0.005, true, 0.006},  {-0.005, false, -0.006},
      {0.008, true, 0.009}, {1.23456, true, 1.358},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(StepValue(c.v, c.up), c.expected) << c.v << (c.up ? " up" : " down");
  }
}

TEST(SectionDetail, StepKeysWorkOnTheForceFieldsOnly) {
  SectionDetailWindow w = HandSection();
  w.inputs.cb_fig2 = false;
  ASSERT_TRUE(StepField(w, kSdM, true));
  EXPECT_EQ(w.inputs.text[kSdM], "  220.000");
  // σ scales with M in pure bending: 247.327·1.1 = 272.06.
  EXPECT_EQ(w.labels.lbSs3, "σs = 272.06");
  ASSERT_TRUE(StepField(w, kSdN, false));
  EXPECT_EQ(w.inputs.text[kSdN], "   -0.001");
  EXPECT_FALSE(StepField(w, kSdH, true));
  EXPECT_EQ(w.inputs.text[kSdH], "    500");
  SetFieldText(w, kSdS, "200.12345");
  EXPECT_EQ(w.inputs.text[kSdS], "  200.123");
  EXPECT_EQ(w.labels.lbAwa, "Awa = 154.3");  // 1.15·(200.123 − 103.5)·100/72
}

TEST(SectionDetail, PolynomialTextAndListingColours) {
  EXPECT_EQ(PolynomialText(1, 3, -20, 500, "χ"),
            "χ^3 ＋ 3.0000e+00･χ^2 － 2.0000e+01･χ ＋ 5.0000e+02");
  EXPECT_EQ(PolynomialText(0, 1, 2.5, -4, "ｃ"), "ｃ^2 ＋ 2.5000e+00･ｃ － 4.0000e+00");
  EXPECT_EQ(PolynomialText(1, 0, 1, 0, "χ"), "χ^3 ＋χ ");
  EXPECT_EQ(ListingLineColour(kStressLines[0]), 0x00FF0000u);
  EXPECT_EQ(ListingLineColour(kCapacityLines[0]), 0x000000FFu);
  EXPECT_EQ(ListingLineColour(kCapacityLines[6]), 0u);
  EXPECT_EQ(ListingLineColour(kCapacityLines[9]), 0u);
  EXPECT_EQ(ListingLineColour(kCapacityLines[1]), 0x00808080u);
}

// ---- vaultra section ----

struct CmdRun {
  int status;
  std::string out;
};

CmdRun RunSection(const std::string& args) {
  const std::string cmd = std::string(VAULTRA_EXE) + " section " + args + " 2>/dev/null";
  CmdRun r{-1, ""};
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

std::string Utf8Lines(const std::vector<std::string>& cp932_lines) {
  std::string s;
  for (const std::string& l : cp932_lines) s += Cp932ToUtf8(l) + "\n";
  return s;
}

const char* kHandArgs =
    "edM=200 edN=0 edS=100 edEc=25000 edEs=200000 edB=1000 edH=500 edDd1=50 edDd2=50 edAs1=0 "
    "edAs2=2000";

TEST(SectionCommand, PrintsTheListingOfTheHandSection) {
  std::vector<std::string> both = kStressLines;
  both.insert(both.end(), kCapacityLines.begin(), kCapacityLines.end());
  const CmdRun r = RunSection(kHandArgs);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Utf8Lines(both));
  const CmdRun s = RunSection(std::string(kHandArgs) + " CbFig2=0");
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.out, Utf8Lines(kStressLines));
  // Full-width digits are read as the window reads them.
  // (the literal is cp932 here; the command line is UTF-8)
  const CmdRun f = RunSection(std::string(kHandArgs) + " CbFig2=0 " + Cp932ToUtf8("edM=２００"));
  EXPECT_EQ(f.out, Utf8Lines(kStressLines));
}

TEST(SectionCommand, InitialValuesWhenNothingIsGiven) {
  SectionDetailWindow w;
  Recompute(w);
  const CmdRun r = RunSection("");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Utf8Lines(w.listing));
  EXPECT_EQ(w.listing.size(), 16u);
}

TEST(SectionCommand, RefusesUnknownNamesAndBadValues) {
  for (const char* args : {"edX=1", "edM=abc", "edM=", "edM", "=5", "CbFig1=yes", "edM=1e999",
                           "edAs1=1e10", "--bogus"}) {
    const CmdRun r = RunSection(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out, "") << args;
  }
}

}  // namespace
}  // namespace vaultra
