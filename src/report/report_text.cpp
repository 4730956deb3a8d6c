#include "report/report_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

namespace {

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

unsigned CodeAt(std::string_view s, std::size_t i) {
  return (static_cast<unsigned char>(s[i]) << 8) | static_cast<unsigned char>(s[i + 1]);
}

bool OneOf(std::string_view ch, std::initializer_list<const char*> set) {
  for (const char* c : set)
    if (ch == c) return true;
  return false;
}

std::string PrepareFillText(std::string_view t) {
  std::string s(t);
  ReplaceText(s, "　", "  ");
  return Trim(s);
}

// Resolves a field index (-1: the next sequential field); null when there is none.
StField* ResolveField(PrintEngine& pe, int& index) {
  if (index == -1) index = NextField(pe);
  if (index < 0 || index >= kFieldTableSize) return nullptr;
  if (index < kSequentialFields ? index >= pe.text.sequential_count : index >= pe.text.named_count)
    return nullptr;
  return &pe.text.fields[index];
}

// Applies the field's font when asked; returns the font to restore.
struct FieldFont {
  PrintEngine& pe;
  StFont saved;
  bool active;
  FieldFont(PrintEngine& e, const StField& f, bool use) : pe(e), saved(e.SaveFont()), active(use) {
    if (use) pe.SetTextFont(f.font.height, f.font.pitch, f.font.angle, f.font.face);
  }
  ~FieldFont() {
    if (active) pe.RestoreFont(saved);
  }
};

std::string LabelKey(std::string_view label) {
  return std::string(label.substr(0, kMaxLabelLength));
}

}  // namespace

void ResetHeadingNumbers(PrintEngine& pe) {
  pe.text.level1 = pe.text.level2 = pe.text.level3 = pe.text.item = pe.text.sub_item = 0;
}

void ResetFields(PrintEngine& pe) {
  pe.text.cursor = 0;
  pe.text.sequential_count = 0;
  pe.text.named_count = kSequentialFields;
}

int NextField(PrintEngine& pe) {
  if (pe.text.cursor >= pe.text.sequential_count) return -1;
  return pe.text.cursor++;
}

void PrintLine(PrintEngine& pe, double x, double y, std::string_view text) {
  ReportTextState& st = pe.text;
  std::string s(text);
  const std::size_t note = FindText(s, "【");
  if (note != std::string::npos) {
    s.resize(note);
    ReplaceText(s, "　", "  ");
    s = TrimRight(s);
  }
  // Heading numbers.
  std::size_t p = FindText(s, "%.");
  if (p != std::string::npos && p < 8) {
    if (s.compare(p, 5, "%.%.%") == 0) {
      ++st.level3;
      st.item = st.sub_item = 0;
      s.replace(p, 5, Format("%d.%d.%d", st.level1, st.level2, st.level3));
    } else if (s.compare(p, 3, "%.%") == 0) {
      ++st.level2;
      st.level3 = st.item = st.sub_item = 0;
      s.replace(p, 3, Format("%d.%d", st.level1, st.level2));
    } else {
      ++st.level1;
      st.level2 = st.level3 = st.item = st.sub_item = 0;
      s.replace(p, 2, Format("%d.", st.level1));
    }
  }
  p = FindText(s, "%)");
  if (p != std::string::npos && p < 8) {
    ++st.item;
    st.sub_item = 0;
    s.replace(p, 1, Format("%d", st.item));
  }
  // The lines numbered below an item count from 1 under each item, so a
  // chapter that prints only some of them still numbers them 1), 2), ...
  p = FindText(s, "@)");
  if (p != std::string::npos && p < 8) {
    ++st.sub_item;
    s.replace(p, 1, Format("%d", st.sub_item));
  }
  // Headings go into the contents. An empty heading only restarts the
  // contents list; the page records are left alone.
  if (s.compare(0, 3, "$>>") == 0) {
    s.erase(0, 3);
    if (!pe.drawing || pe.recording) {
      if (Trim(s).empty()) {
        st.contents.clear();
        st.contents_pages = 0;
      } else if (static_cast<int>(st.contents.size()) < kMaxContentsEntries) {
        ContentsEntry e;
        e.page = !pe.drawing ? pe.page_number : pe.records().current() - kFirstBodySlot;
        e.y = y;
        e.x = x;
        e.face = pe.font().face;
        e.text = TrimRight(s);
        st.contents.push_back(std::move(e));
      }
    }
  }
  if (!pe.drawing) return;
  s += ' ';
  // Cells: every cell's text is centred between its bars.
  const double pitch = pe.font().pitch;
  bool open = false;
  std::size_t cs = 0;
  for (std::size_t i = 0; i < s.size();) {
    if (CharLengthAt(s, i) != 2) {
      ++i;
      continue;
    }
    const std::string_view ch(s.data() + i, 2);
    if (ch == "　") {
      s[i] = s[i + 1] = ' ';
      i += 2;
      continue;
    }
    if (open && OneOf(ch, {"│", "┃", "┤", "┫", "┥"})) {
      const std::string cell = s.substr(cs, i - cs);
      const std::string t = Trim(cell);
      const double dx = cs * pitch + (cell.size() - t.size()) * pitch / 2;
      DrawMarkedText(pe, x, y, dx, 0, t);
      if (!t.empty() && t[0] == '#' && st.sequential_count > 0) {
        StField& f = st.fields[st.sequential_count - 1];
        f.width = (cell.size() + 2) * pitch;
        f.left_limit = (static_cast<double>(cs) - 1) * pitch;
      }
      std::fill(s.begin() + cs, s.begin() + i, ' ');
      open = false;
      continue;  // the closing bar may open the next cell
    }
    if (!open && OneOf(ch, {"│", "├", "┃", "┠", "┣", "┝"})) {
      open = true;
      cs = i + 2;
    }
    i += 2;
  }
  DrawGrid(pe, x, y, s);
  DrawMarkedText(pe, x, y, 0, 0, s);
}

void DrawGrid(PrintEngine& pe, double x, double y, std::string& line) {
  ReportTextState& st = pe.text;
  const double p = pe.font().pitch;
  const double ym = y + pe.font().height / 2;
  if (FindText(line, "┌") != std::string::npos || FindText(line, "┏") != std::string::npos) {
    st.column_y.fill(0);
    st.column_weight.fill(0);
  }
  bool hrun = false;
  int hstart = 0, hweight = 0;
  for (std::size_t i = 0; i < line.size() && i < 256;) {
    if (CharLengthAt(line, i) != 2) {
      ++i;
      continue;
    }
    const unsigned code = CodeAt(line, i);
    if (code < 0x849F || code > 0x84BE) {
      i += 2;
      continue;
    }
    const std::string_view ch(line.data() + i, 2);
    const int k = static_cast<int>(i) + 1;
    if (OneOf(ch, {"┌", "└", "├", "┠"})) {
      hrun = true, hstart = k, hweight = 1;
    } else if (OneOf(ch, {"┝", "┏", "┗", "┣"})) {
      hrun = true, hstart = k, hweight = 2;
    } else if (ch == "━" && hrun) {
      hweight = 2;
    } else if (hrun && OneOf(ch, {"┐", "┘", "┤", "┨", "┓", "┛", "┫", "┥"})) {
      pe.SetPenWidth(hweight);
      pe.LineMm(x + p * hstart, ym, x + p * k, ym);
      hrun = false;
    }
    if (OneOf(ch, {"┌", "┐", "┬", "┯"})) {
      st.column_y[k] = ym, st.column_weight[k] = 1;
    } else if (OneOf(ch, {"┏", "┓", "┳", "┰"})) {
      st.column_y[k] = ym, st.column_weight[k] = 2;
    } else if (ch == "┃" && st.column_weight[k] > 0) {
      st.column_weight[k] = 2;
    } else if (st.column_weight[k] > 0 && OneOf(ch, {"┘", "└", "┴", "┛", "┗", "┻", "┷", "┸"})) {
      pe.SetPenWidth(st.column_weight[k]);
      pe.LineMm(x + p * k, st.column_y[k], x + p * k, ym);
      st.column_weight[k] = 0;
    }
    if (!(ch == "─" && !hrun)) line[i] = line[i + 1] = ' ';
    i += 2;
  }
}

void DrawMarkedText(PrintEngine& pe, double x0, double y0, double dx, double dy,
                    std::string_view text) {
  ReportTextState& st = pe.text;
  std::string s(text);
  const double h = pe.font().height, p = pe.font().pitch;
  std::vector<char> trail(s.size() + 1, 0);
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = CharLengthAt(s, i);
    if (n == 2) trail[i + 1] = 1;
    i += n;
  }
  auto with_font = [&](double fh, double fp, auto draw) {
    const StFont saved = pe.SaveFont();
    pe.SetTextFont(fh, fp, saved.angle, saved.face);
    draw();
    pe.RestoreFont(saved);
  };
  for (std::size_t j = 0; j < s.size();) {
    const double col = dx + j * p;
    if (CharLengthAt(s, j) == 1) {
      const char c = s[j];
      if ((c == 'N' || c == 'B') && j + 1 < s.size() && s[j + 1] == '~') {
        pe.DrawText(x0, y0, col, dy - h / 2, "－");
        // The full-width letter takes the place of the two bytes; should it
        // be longer (a build whose literals are not cp932), the trail marks
        // behind it move along so they stay beside their bytes.
        const std::string_view wide = c == 'N' ? "Ｎ" : "Ｂ";
        s.replace(j, 2, wide);
        if (wide.size() > 2) trail.insert(trail.begin() + j + 2, wide.size() - 2, 0);
        trail[j + wide.size() - 1] = 1;
        j += wide.size();
        continue;
      }
      if (c == '$' && j + 2 < s.size() && s.compare(j + 1, 2, "Σ") == 0) {
        with_font(2 * h, 2 * p, [&] { pe.DrawText(x0, y0, col - 0.75 * p, dy - h / 2, "Σ"); });
        std::fill(s.begin() + j, s.begin() + j + 3, ' ');
        j += 3;
        continue;
      }
      if (c == '$' && j + 1 < s.size() && (s[j + 1] == '(' || s[j + 1] == ')')) {
        const std::string paren(1, s[j + 1]);
        with_font(2 * h, 2 * p, [&] { pe.DrawText(x0, y0, col, dy - h / 2, paren); });
        s[j] = s[j + 1] = ' ';
        j += 2;
        continue;
      }
      if (c == '#') {
        std::size_t k = j;
        while (k < s.size() && (s[k] == '#' || s[k] == '.')) ++k;
        while (k > j + 1 && s[k - 1] == '.') --k;
        const std::string run = s.substr(j, k - j);
        const int length = static_cast<int>(run.size());
        const std::size_t dot = run.find('.');
        const int decimals = dot == std::string::npos ? 0 : length - static_cast<int>(dot) - 1;
        std::fill(s.begin() + j, s.begin() + k, ' ');
        if (st.sequential_count < kSequentialFields) {
          std::size_t ls = j;
          while (ls > 0 && !trail[ls - 1] && IsAsciiAlnum(s[ls - 1])) --ls;
          const std::string label = s.substr(ls, j - ls);
          StField* f = nullptr;
          double start = col;
          int flen = length;
          if (!label.empty()) {
            std::fill(s.begin() + ls, s.begin() + j, ' ');
            if (st.named_count < kFieldTableSize) {
              f = &st.fields[st.named_count++];
              f->label = LabelKey(label);
              flen = length + static_cast<int>(label.size());
              start = col - label.size() * p;
            }
          } else {
            f = &st.fields[st.sequential_count++];
            f->label.clear();
          }
          if (f) {
            f->origin_x = x0;
            f->origin_y = y0;
            f->length = flen;
            f->decimals = decimals;
            f->start = start;
            f->left_limit = start;
            f->width = flen * p;
            f->dy = dy;
            f->font = pe.font();
          }
        }
        j = k;
        continue;
      }
      ++j;
      continue;
    }
    const unsigned code = CodeAt(s, j);
    if ((code >= 0x8260 && code <= 0x829A) || (code >= 0x839F && code <= 0x83D6)) {
      if (code <= 0x8279) {
        const std::string letter = s.substr(j, 2);
        with_font(h, p * 7 / 8, [&] { pe.DrawText(x0, y0, col + p / 8, dy, letter); });
        s[j] = s[j + 1] = ' ';
      }
      std::size_t k = j + 2;
      while (k < s.size() && s[k] >= '*' && s[k] <= '}' && s[k] != '/' && s[k] != '=') ++k;
      if (k > j + 2) {
        const std::string sub = s.substr(j + 2, k - j - 2);
        with_font(h * 3 / 4, p * 7 / 8,
                  [&] { pe.DrawText(x0, y0, col + 1.75 * p, dy + h * 3 / 8, sub); });
        std::fill(s.begin() + j + 2, s.begin() + k, ' ');
      }
      j = k;
      continue;
    }
    j += 2;
  }
  pe.DrawText(x0, y0, dx, dy, s);
}

void FillNumber(PrintEngine& pe, int index, double value, bool use_field_font) {
  if (!pe.drawing) return;
  StField* f = ResolveField(pe, index);
  if (!f) return;
  int shift = 0;
  std::string s;
  {
    FieldFont ff(pe, *f, use_field_font);
    const double p = std::max(pe.font().pitch, 0.1);
    const double vadj = (f->font.height - pe.font().height) * 2 / 3;
    const int n = f->length;
    const int W = TruncToInt(f->width / p + 0.1);
    s = Format("%*.*f", n, f->decimals, ForPrint(value, f->decimals));
    const int L = static_cast<int>(s.size());
    const int m = TruncToInt((W - n) / 2.0);
    if (L <= n) {
      shift = 0;
    } else if (L <= n + m) {
      shift = L - n;
    } else if (L <= n + 2 * m) {
      shift = TruncToInt((n + W) / 2.0) - n;
    } else {
      shift = -1;
    }
    if (shift >= 0) {
      pe.SetBrushStyle(kBrushClear);
      pe.DrawText(f->origin_x, f->origin_y, std::max(f->start - shift * p, f->left_limit),
                  f->dy + vadj, s);
      return;
    }
  }
  FillNumberCentred(pe, index, value, use_field_font);
}

std::string FillNumberCentred(PrintEngine& pe, int index, double value, bool use_field_font) {
  if (!pe.drawing) return "";
  StField* f = ResolveField(pe, index);
  if (!f) return "";
  FieldFont ff(pe, *f, use_field_font);
  const double p = std::max(pe.font().pitch, 0.1);
  const double vadj = (f->font.height - pe.font().height) * 2 / 3;
  const int W = std::max(1, TruncToInt(f->width / p + 0.1));
  std::string s = Trim(Format("%*.*f", W, f->decimals, ForPrint(value, f->decimals)));
  if (static_cast<int>(s.size()) > W) {
    // Cutting leading digits would print a wrong number: mark the overflow.
    s.assign(W, '*');
  } else if (!s.empty() && s[0] != '-' && static_cast<int>(s.size()) < W) {
    s.insert(s.begin(), ' ');
  }
  pe.DrawText(f->origin_x, f->origin_y, f->left_limit + (f->width - s.size() * p) / 2, f->dy + vadj,
              s);
  return s;
}

void FillText(PrintEngine& pe, int index, std::string_view text, bool use_field_font) {
  if (!pe.drawing) return;
  StField* f = ResolveField(pe, index);
  if (!f) return;
  std::string t = PrepareFillText(text);
  if (static_cast<int>(t.size()) > f->length) {
    FillTextCentred(pe, index, t, use_field_font);
    return;
  }
  t.resize(f->length, ' ');
  FieldFont ff(pe, *f, use_field_font);
  const double vadj = (f->font.height - pe.font().height) * 2 / 3;
  DrawMarkedText(pe, f->origin_x, f->origin_y, f->start, f->dy + vadj, t);
}

std::string FillTextCentred(PrintEngine& pe, int index, std::string_view text,
                            bool use_field_font) {
  if (!pe.drawing) return "";
  StField* f = ResolveField(pe, index);
  if (!f) return "";
  const std::string t = PrepareFillText(text);
  FieldFont ff(pe, *f, use_field_font);
  const double p = pe.font().pitch;
  const double vadj = (f->font.height - pe.font().height) * 2 / 3;
  DrawMarkedText(pe, f->origin_x, f->origin_y, f->left_limit + (f->width - t.size() * p) / 2,
                 f->dy + vadj, t);
  return t;
}

int FindNamedField(const PrintEngine& pe, std::string_view label) {
  const std::string key = LabelKey(label);
  for (int i = kSequentialFields; i < pe.text.named_count && i < kFieldTableSize; ++i)
    if (pe.text.fields[i].label == key) return i;
  return -1;
}

void FillNumberNamed(PrintEngine& pe, std::string_view label, double value, bool use_field_font) {
  const int i = FindNamedField(pe, label);
  if (i >= 0) FillNumber(pe, i, value, use_field_font);
}

void FillTextNamed(PrintEngine& pe, std::string_view text, std::string_view label,
                   bool use_field_font) {
  const int i = FindNamedField(pe, label);
  if (i >= 0) FillText(pe, i, text, use_field_font);
}

std::string FillTextCentredNamed(PrintEngine& pe, std::string_view text, std::string_view label,
                                 bool use_field_font) {
  const int i = FindNamedField(pe, label);
  if (i < 0) return "";
  return FillTextCentred(pe, i, text, use_field_font);
}

std::string ContentsEntryText(const ContentsEntry& e) {
  return Format("%4d,%9.2f,%9.2f,%4d,%s", e.page, e.y, e.x, e.face, e.text.c_str());
}

std::vector<ContentsEntry> SortedContents(const PrintEngine& pe) {
  std::vector<ContentsEntry> v = pe.text.contents;
  std::stable_sort(v.begin(), v.end(), [](const ContentsEntry& a, const ContentsEntry& b) {
    if (a.page != b.page) return a.page < b.page;
    return a.y < b.y;
  });
  return v;
}

int ContentsLevel(std::string_view text) {
  const std::string t = Trim(std::string(text));
  std::size_t i = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  if (i > 0 && i < t.size() && t[i] == '.') {
    int dots = 0;
    while (i < t.size() && t[i] == '.' && i + 1 < t.size() && t[i + 1] >= '0' && t[i + 1] <= '9') {
      ++dots;
      ++i;
      while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    }
    return 1 + dots;  // "3." chapter, "3.1" section, "3.1.2" sub-section
  }
  if (i > 0 && i < t.size() && t[i] == ')') return 5;  // "2) ..." below an item
  if (!t.empty() && t[0] == '(') return 4;             // "(2) ..." and "(Ｌ１地震動時)"
  return 5;                                            // an unnumbered heading inside an item
}

std::string ContentsLine(std::string_view text) {
  std::string t = Trim(std::string(text));
  ReplaceText(t, "　", "  ");
  static constexpr int kIndent[6] = {0, 0, 2, 4, 4, 6};
  t.insert(0, static_cast<std::size_t>(kIndent[ContentsLevel(t)]), ' ');
  return TrimRight(t);
}

int ContentsSlot(int page, int last_body_slot) {
  return page <= kFixedContentsPages ? page : last_body_slot + page - kFixedContentsPages;
}

int BuildContentsPages(PrintEngine& pe) {
  constexpr int kPerPage = 40;
  const std::vector<ContentsEntry> entries = SortedContents(pe);
  const int total = static_cast<int>(entries.size());
  const int pages = (total + kPerPage - 1) / kPerPage;
  // The body ends where the contents begin to continue; the slots 1..9 are
  // reserved for the contents and never the body's.
  const int last_body = std::max(pe.records().highest(), kFirstBodySlot);
  pe.text.contents_slots.clear();
  for (int k = 1; k <= pages; ++k) {
    const int slot = ContentsSlot(k, last_body);
    if (!pe.SelectPageSlot(slot)) break;
    pe.text.contents_slots.push_back(slot);
    pe.StartPage(-1, false);
    double y = 2.0;
    pe.SetTextFont(3.6, 1.8, 0, 0);
    y += kStepLine;
    PrintLine(pe, (180 - 6 * 3.6) / 2, y, "－ 目 次 －");
    y += kStepLine;
    for (int i = (k - 1) * kPerPage; i < k * kPerPage && i < total; ++i) {
      const ContentsEntry& e = entries[i];
      const std::string t = ContentsLine(e.text);
      y += kStepLine;
      pe.SetTextFont(3.6, 1.8, 0, e.face);
      PrintLine(pe, 15.4, y, t);
      pe.SetTextFont(3.6, 1.8, 0, 1);
      const int c = static_cast<int>(t.size()) + 2;
      std::string leader;
      for (int col = c; col < 78; ++col) leader += "･";
      leader += Format("%3d", e.page);
      PrintLine(pe, 15.4 + c * 1.8, y, leader);
    }
  }
  pe.text.contents_pages = static_cast<int>(pe.text.contents_slots.size());
  pe.recording = false;
  return pe.text.contents_pages;
}

}  // namespace vaultra
