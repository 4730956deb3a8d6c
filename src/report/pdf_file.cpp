#include "report/pdf_file.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
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

// A text string: UTF-16 with its byte-order mark, in hex.
std::string TextString(std::string_view cp932) {
  std::string out = "<FEFF";
  for (char16_t u : Cp932ToUtf16(cp932)) pdf::Hex4(out, u);
  out += '>';
  return out;
}

long long CreationSeconds() {
  if (const char* e = std::getenv("SOURCE_DATE_EPOCH"); e && *e) {
    char* end = nullptr;
    const long long v = std::strtoll(e, &end, 10);
    if (end && *end == '\0' && v >= 0) return v;
  }
  return static_cast<long long>(std::time(nullptr));
}

// The outline as a tree by level: each item's parent is the nearest earlier
// item of a lower level. Items with children are closed (a negative count
// of their children), the top level shows.
int WriteOutline(pdf::Builder& doc, const std::vector<PdfOutlineItem>& items,
                 const std::vector<int>& page_ids) {
  using pdf::Cat;
  using pdf::Ref;
  const int n = static_cast<int>(items.size());
  std::vector<int> id(static_cast<std::size_t>(n)), parent(static_cast<std::size_t>(n), -1);
  std::vector<int> prev(static_cast<std::size_t>(n), -1), next(static_cast<std::size_t>(n), -1);
  std::vector<int> first(static_cast<std::size_t>(n), -1), last(static_cast<std::size_t>(n), -1);
  std::vector<int> children(static_cast<std::size_t>(n), 0);
  const int root = doc.NewId();
  int root_first = -1, root_last = -1, root_count = 0;
  std::vector<int> open;  // the chain of items an item may hang below
  for (int i = 0; i < n; ++i) {
    id[i] = doc.NewId();
    while (!open.empty() && items[open.back()].level >= items[i].level) open.pop_back();
    parent[i] = open.empty() ? -1 : open.back();
    int& head = parent[i] < 0 ? root_first : first[parent[i]];
    int& tail = parent[i] < 0 ? root_last : last[parent[i]];
    if (head < 0) head = i;
    if (tail >= 0) {
      next[tail] = i;
      prev[i] = tail;
    }
    tail = i;
    if (parent[i] < 0)
      ++root_count;
    else
      ++children[parent[i]];
    open.push_back(i);
  }
  for (int i = 0; i < n; ++i) {
    const PdfOutlineItem& it = items[i];
    const int page =
        std::clamp(it.page_index, 0, std::max(0, static_cast<int>(page_ids.size()) - 1));
    std::string o;
    Cat(o, "<< /Title ", TextString(it.title), " /Parent ",
        Ref{parent[i] < 0 ? root : id[parent[i]]});
    if (prev[i] >= 0) Cat(o, " /Prev ", Ref{id[prev[i]]});
    if (next[i] >= 0) Cat(o, " /Next ", Ref{id[next[i]]});
    if (first[i] >= 0)
      Cat(o, " /First ", Ref{id[first[i]]}, " /Last ", Ref{id[last[i]]}, " /Count ", -children[i]);
    if (!page_ids.empty()) {
      // Page millimetre y lies at paper 20 + y mm; the view opens 1 mm above it.
      const double top = pdf::kPageHeightPt - (20 + it.top_mm - 1) * 72 / 25.4;
      Cat(o, " /Dest [", Ref{page_ids[static_cast<std::size_t>(page)]}, " /XYZ null ");
      pdf::Num(o, std::clamp(top, 0.0, pdf::kPageHeightPt), 2);
      o += " null]";
    }
    o += " >>";
    doc.Object(id[i], o);
  }
  std::string r = "<< /Type /Outlines";
  if (root_first >= 0)
    Cat(r, " /First ", Ref{id[root_first]}, " /Last ", Ref{id[root_last]}, " /Count ", root_count);
  r += " >>";
  doc.Object(root, r);
  return root;
}

std::string PageLabelTree(const std::vector<PdfPageLabels>& labels) {
  using pdf::Cat;
  std::string t = "<< /Nums [";
  for (const PdfPageLabels& l : labels) {
    Cat(t, ' ', l.first_index, " <<");
    if (l.numbered) Cat(t, " /S /D /St ", std::max(1, l.start));
    if (!l.prefix.empty()) Cat(t, " /P ", TextString(l.prefix));
    t += " >>";
  }
  t += " ] >>";
  return t;
}

}  // namespace

std::string PdfDate(long long epoch_seconds) {
  const std::time_t t = static_cast<std::time_t>(epoch_seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "D:%Y%m%d%H%M%SZ", &tm);
  return buf;
}

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
             std::string* pdf_out, std::string* error, const PdfDocumentInfo* info_in) {
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
  std::vector<int> page_ids;
  for (int slot : page_slots) {
    target.BeginPage(px_to_pt);
    ReplayPage(records, slot, target, g, 1800, 2700, 0xFFFFFF);
    const int content = doc.NewId(), page = doc.NewId();
    doc.Stream(content, "", target.EndPage());
    std::string p;
    Cat(p, "<< /Type /Page /Parent ", Ref{pages}, " /Resources ", Ref{resources}, " /Contents ",
        Ref{content}, " >>");
    doc.Object(page, p);
    page_ids.push_back(page);
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
  Cat(cat, "<< /Type /Catalog /Pages ", Ref{pages});
  if (info_in && !info_in->outline.empty())
    Cat(cat, " /Outlines ", Ref{WriteOutline(doc, info_in->outline, page_ids)},
        " /PageMode /UseOutlines");
  if (info_in && !info_in->labels.empty())
    Cat(cat, " /PageLabels ", PageLabelTree(info_in->labels));
  cat += " >>";
  doc.Object(catalog, cat);
  if (!info_in) {
    doc.Object(info, "<< /Creator (Vaultra) /Producer (Vaultra) >>");
  } else {
    std::string d = "<<";
    if (!info_in->title.empty()) Cat(d, " /Title ", TextString(info_in->title));
    if (!info_in->subject.empty()) Cat(d, " /Subject ", TextString(info_in->subject));
    Cat(d, " /Creator ", TextString(info_in->creator), " /Producer (Vaultra) /CreationDate (",
        PdfDate(CreationSeconds()), ") >>");
    doc.Object(info, d);
  }
  *pdf_out = doc.Finish(catalog, info);
  return true;
}

bool WritePdfFile(const PageRecords& records, const std::vector<int>& page_slots,
                  const std::string& path, int dpi, std::string* error,
                  const PdfDocumentInfo* info) {
  std::string pdf;
  if (!MakePdf(records, page_slots, dpi, &pdf, error, info)) return false;
  std::string werr;
  if (!WriteFileAtomic(path, pdf, &werr)) {
    if (error) *error = "cannot write " + Cp932ToUtf8(path) + ": " + Cp932ToUtf8(werr);
    return false;
  }
  return true;
}

}  // namespace vaultra
