// The PDF writer without a display: the font file reader and subsetter,
// the document's structure (every object where the index says), and the
// text a reader copies out of it.
#include "report/pdf_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "core/cp932.h"
#include "core/fileio.h"
#include "report/print_engine.h"
#include "report/report_text.h"
#include "report/truetype_font.h"

namespace vaultra {
namespace {

const std::string kGothic = ReportFaceFor(0).file;

TEST(TrueTypeFont, ReadsTheMapWidthsAndMetricsOfTheReportFace) {
  std::string error;
  const auto font = TrueTypeFont::Load(kGothic, &error);
  ASSERT_TRUE(font) << error;
  EXPECT_EQ(font->name(), "IPAGothic");
  const std::uint16_t a = font->GlyphFor(U'A'), kanji = font->GlyphFor(U'鉄');
  EXPECT_NE(a, 0);
  EXPECT_NE(kanji, 0);
  EXPECT_NE(a, kanji);
  EXPECT_EQ(font->GlyphFor(U'\U0001F600'), 0) << "a character the face lacks is the missing glyph";
  // The fixed-pitch gothic: half-width Latin, full-width kanji.
  EXPECT_EQ(font->Advance1000(a), 500);
  EXPECT_EQ(font->Advance1000(kanji), 1000);
  EXPECT_NEAR((font->ascender() + font->descender()) * 1000.0 / font->units_per_em(), 1000, 2);
}

// The tables of a font file by tag: offset and length.
std::map<std::string, std::pair<std::size_t, std::size_t>> Tables(const std::string& f) {
  auto u16 = [&](std::size_t at) {
    return (static_cast<unsigned char>(f[at]) << 8) | static_cast<unsigned char>(f[at + 1]);
  };
  auto u32 = [&](std::size_t at) {
    return (static_cast<std::size_t>(u16(at)) << 16) | static_cast<std::size_t>(u16(at + 2));
  };
  std::map<std::string, std::pair<std::size_t, std::size_t>> t;
  for (int i = 0; i < u16(4); ++i)
    t[f.substr(12 + 16 * i, 4)] = {u32(20 + 16 * i), u32(24 + 16 * i)};
  return t;
}

TEST(TrueTypeFont, ASubsetKeepsTheUsedOutlinesUnderTheirNumbersAndDropsTheRest) {
  std::string error;
  const auto font = TrueTypeFont::Load(kGothic, &error);
  ASSERT_TRUE(font) << error;
  const std::uint16_t a = font->GlyphFor(U'A'), b = font->GlyphFor(U'B');
  const std::string subset = font->Subset({a});
  const auto tables = Tables(subset);
  std::string tags;
  for (const auto& [tag, where] : tables) {
    tags += tag + ",";
    EXPECT_LE(where.first + where.second, subset.size()) << tag;
    EXPECT_EQ(where.first % 4, 0u) << tag;
  }
  EXPECT_EQ(tags, "cvt ,fpgm,glyf,head,hhea,hmtx,loca,maxp,prep,");
  // The index still has an entry for every glyph (long offsets in this
  // face): A's outline is there, B's is empty.
  const auto [loca, loca_len] = tables.at("loca");
  EXPECT_EQ(loca_len, 4u * (font->glyph_count() + 1));
  auto entry = [&](int g) {
    std::size_t v = 0;
    for (int k = 0; k < 4; ++k) v = (v << 8) | static_cast<unsigned char>(subset[loca + 4 * g + k]);
    return v;
  };
  EXPECT_GT(entry(a + 1), entry(a));
  EXPECT_EQ(entry(b + 1), entry(b));
  // One glyph is a small part of the 6 MB face; another adds its outline.
  EXPECT_LT(subset.size(), 200000u);
  EXPECT_GT(font->Subset({a, b}).size(), subset.size());
}

TEST(TrueTypeFont, ABrokenFileIsRefusedWithTheReason) {
  std::string error;
  EXPECT_FALSE(TrueTypeFont::Load("/nonexistent/font.ttf", &error));
  EXPECT_NE(error.find("/nonexistent/font.ttf"), std::string::npos);
  EXPECT_FALSE(TrueTypeFont::FromBytes("", &error));
  EXPECT_FALSE(TrueTypeFont::FromBytes(std::string(12, 'x'), &error));
  EXPECT_NE(error.find("not a TrueType"), std::string::npos);
  const auto whole = ReadFileBytes(kGothic);
  ASSERT_TRUE(whole);
  // Cut short at every scale: never a crash, always a reason.
  for (std::size_t cut : {std::size_t{20}, std::size_t{300}, std::size_t{5000}, whole->size() / 2,
                          whole->size() - 10}) {
    error.clear();
    EXPECT_FALSE(TrueTypeFont::FromBytes(whole->substr(0, cut), &error)) << cut;
    EXPECT_FALSE(error.empty()) << cut;
  }
  // A table said to lie past the end of the file.
  std::string bad = *whole;
  bad[12 + 8] = '\x7F';
  EXPECT_FALSE(TrueTypeFont::FromBytes(bad, &error));
}

PageRecords TwoPages() {
  PrintEngine pe;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();
  PrintLine(pe, 1.0, kStepLine, "$>>%. 設計条件");
  PrintLine(pe, 1.0, 2 * kStepLine, "  σs = 123.45 N/mm2  ≦  σsa = 180.00 N/mm2   O.K.");
  pe.NewPage();
  pe.SetTextFont(3.6, 1.8, 0, 1);
  PrintLine(pe, 1.0, kStepLine, "ｶﾀｶﾅ と 明朝の本文");
  return pe.records();
}

TEST(PdfFile, EveryObjectStandsWhereTheIndexSaysAndThePagesAreA4) {
  std::string pdf, error;
  ASSERT_TRUE(MakePdf(TwoPages(), {11, 12}, 300, &pdf, &error)) << error;
  ASSERT_EQ(pdf.compare(0, 8, "%PDF-1.4"), 0);
  const std::size_t startxref = pdf.rfind("startxref\n");
  ASSERT_NE(startxref, std::string::npos);
  const std::size_t xref = std::stoul(pdf.substr(startxref + 10));
  ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
  std::istringstream in(pdf.substr(xref + 5));
  int first = -1, count = 0;
  in >> first >> count;
  ASSERT_EQ(first, 0);
  ASSERT_GT(count, 10);
  std::string offset, generation, kind;
  in >> offset >> generation >> kind;  // the free head of the list
  for (int id = 1; id < count; ++id) {
    in >> offset >> generation >> kind;
    ASSERT_EQ(kind, "n") << id;
    const std::string head = std::to_string(id) + " 0 obj";
    EXPECT_EQ(pdf.compare(std::stoul(offset), head.size(), head), 0) << "object " << id;
  }
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [0 0 595 842]"), std::string::npos);
  // Two faces used: gothic (headings) and mincho (body), each a subset.
  EXPECT_TRUE(std::regex_search(pdf, std::regex("/BaseFont /[A-Z]{6}\\+IPAGothic")));
  EXPECT_TRUE(std::regex_search(pdf, std::regex("/BaseFont /[A-Z]{6}\\+IPAMincho")));
  // The same pages give the same bytes.
  std::string again;
  ASSERT_TRUE(MakePdf(TwoPages(), {11, 12}, 300, &again, &error));
  EXPECT_EQ(pdf, again);
}

TEST(PdfFile, TheTextCopiedOutIsTheTextPrinted) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftotext";
  const auto dir =
      std::filesystem::temp_directory_path() / ("vaultra_pdffile_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string pdf = FromFsPath(dir / "r.pdf");
  std::string error;
  ASSERT_TRUE(WritePdfFile(TwoPages(), {11, 12}, pdf, 300, &error)) << error;
  const std::string txt = (dir / "r.txt").string();
  ASSERT_EQ(std::system(("pdftotext -layout " + (dir / "r.pdf").string() + " " + txt).c_str()), 0);
  const auto text = ReadFileBytes(FromFsPath(dir / "r.txt"));
  std::filesystem::remove_all(dir);
  ASSERT_TRUE(text);
  for (const char* want : {"設計条件", "σs = 123.45 N/mm", "O.K.", "ｶﾀｶﾅ と 明朝の本文"})
    EXPECT_NE(text->find(Cp932ToUtf8(want)), std::string::npos) << Cp932ToUtf8(want);
}

TEST(PdfFile, AnUnwritableTargetIsAnErrorAndLeavesNoFile) {
  std::string error;
  EXPECT_FALSE(WritePdfFile(TwoPages(), {11}, "/nonexistent/dir/r.pdf", 300, &error));
  EXPECT_NE(error.find("/nonexistent/dir/r.pdf"), std::string::npos);
}

}  // namespace
}  // namespace vaultra
