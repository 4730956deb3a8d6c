#include "report/pdf_file.h"

#include <algorithm>
#include <map>

#include "core/cp932.h"
#include "core/fileio.h"
#include "report/pdf_objects.h"
#include "report/pdf_page.h"

namespace vaultra {

namespace {

constexpr ReportFace kFaces[] = {
    {"IPAGothic", "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"},
    {"IPAMincho", "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"},
    {"IPAPGothic", "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"},
    {"IPAPMincho", "/usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf"},
};

}  // namespace

const ReportFace& ReportFaceFor(int code) {
  // The whole code selects the face: a bold or italic code of face 1 is
  // "any other value" and so the gothic face.
  switch (code) {
    case 1:
      return kFaces[1];
    case 2:
    case 4:
      return kFaces[2];
    case 3:
      return kFaces[3];
    default:
      return kFaces[0];
  }
}

std::vector<std::string> ReportFontFiles() {
  std::vector<std::string> files;
  for (const ReportFace& f : kFaces) files.emplace_back(f.file);
  return files;
}

bool MakePdf(const PageRecords& records, const std::vector<int>& page_slots, int dpi,
             std::string* pdf_out, std::string* error) {
  using pdf::Cat;
  using pdf::Ref;
  std::map<std::string, pdf::FontUse> fonts;
  std::string font_error;
  pdf::PageWriter target(fonts, &font_error);
  ReplayGeometry g;
  g.printer = true;
  g.dpi_x = g.dpi_y = std::max(dpi, 1);
  const double px_to_pt = 72.0 / g.dpi_x;
  pdf::Builder doc;
  const int catalog = doc.NewId(), pages = doc.NewId(), resources = doc.NewId(), info = doc.NewId();
  std::string kids;
  for (int slot : page_slots) {
    target.BeginPage(px_to_pt);
    ReplayPage(records, slot, target, g, 1800, 2700, 0xFFFFFF);
    const int content = doc.NewId(), page = doc.NewId();
    doc.Stream(content, "", target.EndPage());
    std::string p;
    Cat(p, "<< /Type /Page /Parent ", Ref{pages}, " /Resources ", Ref{resources}, " /Contents ",
        Ref{content}, " >>");
    doc.Object(page, p);
    Cat(kids, Ref{page}, ' ');
  }
  if (target.failed()) {
    if (error) *error = font_error;
    return false;
  }
  // One resource dictionary serves every page.
  std::string res = "<< /ProcSet [/PDF /Text /ImageC] /Font <<";
  for (const auto& [file, use] : fonts) Cat(res, " /F", use.index, ' ', Ref{WriteFont(doc, use)});
  res += " >>";
  if (!target.patterns().empty()) {
    res += " /ColorSpace << /CsP [/Pattern /DeviceRGB] >> /Pattern <<";
    for (int style : target.patterns())
      Cat(res, " /P", style, ' ', Ref{WritePattern(doc, style, px_to_pt)});
    res += " >>";
  }
  if (!target.images().empty()) {
    res += " /XObject <<";
    for (std::size_t k = 0; k < target.images().size(); ++k)
      Cat(res, " /Im", k, ' ', Ref{WriteImage(doc, *target.images()[k])});
    res += " >>";
  }
  res += " >>";
  doc.Object(resources, res);
  std::string tree;
  Cat(tree, "<< /Type /Pages /Count ", page_slots.size(), " /MediaBox [0 0 ");
  pdf::Num(tree, pdf::kPageWidthPt, 2);
  tree += ' ';
  pdf::Num(tree, pdf::kPageHeightPt, 2);
  Cat(tree, "] /Kids [", kids, "] >>");
  doc.Object(pages, tree);
  std::string cat;
  Cat(cat, "<< /Type /Catalog /Pages ", Ref{pages}, " >>");
  doc.Object(catalog, cat);
  doc.Object(info, "<< /Creator (Vaultra) /Producer (Vaultra) >>");
  *pdf_out = doc.Finish(catalog, info);
  return true;
}

bool WritePdfFile(const PageRecords& records, const std::vector<int>& page_slots,
                  const std::string& path, int dpi, std::string* error) {
  std::string pdf;
  if (!MakePdf(records, page_slots, dpi, &pdf, error)) return false;
  std::string werr;
  if (!WriteFileAtomic(path, pdf, &werr)) {
    if (error) *error = "cannot write " + Cp932ToUtf8(path) + ": " + Cp932ToUtf8(werr);
    return false;
  }
  return true;
}

}  // namespace vaultra
