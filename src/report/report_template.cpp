#include "report/report_template.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "report/image_file.h"
#include "report/report_text.h"

namespace vaultra {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxPolygonPoints = 256;
constexpr int kDrawingNumbers = 32;

int LetterIndex(char letter) {
  return static_cast<unsigned char>(letter) % 32;
}
bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    out.emplace_back(line.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return out;
}

// Words separated by blanks, tabs, commas and the full-width blank.
std::vector<std::string> Words(std::string_view s) {
  std::string t(s);
  ReplaceText(t, "　", " ");
  std::vector<std::string> out;
  std::string word;
  for (char c : t) {
    if (c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n') {
      if (!word.empty()) out.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) out.push_back(std::move(word));
  return out;
}

bool ContainsRun(const std::vector<std::string>& hay, const std::vector<std::string>& needle) {
  if (needle.empty()) return true;
  if (needle.size() > hay.size()) return false;
  for (std::size_t i = 0; i + needle.size() <= hay.size(); ++i)
    if (std::equal(needle.begin(), needle.end(), hay.begin() + i)) return true;
  return false;
}

struct TemplateLine {
  std::string prefix;
  std::string text;
};

TemplateLine SplitTemplateLine(std::string_view line) {
  TemplateLine t;
  const std::size_t q = FindText(line, "\"|");
  if (q != std::string_view::npos) {
    t.prefix.assign(line.substr(0, q + 2));
    t.text.assign(line.substr(q + 2));
  } else if (line.size() < 5) {
    t.prefix = (std::string(line) + "----|").substr(0, 5);
  } else {
    t.prefix.assign(line.substr(0, 5));
    t.text.assign(line.substr(5));
  }
  t.text += ' ';
  return t;
}

void ApplyStep(const std::string& prefix, double& step) {
  char* end = nullptr;
  double number = std::strtod(prefix.c_str(), &end);
  if (end == prefix.c_str() || !std::isfinite(number)) number = 0;
  const char c1 = prefix.empty() ? ' ' : prefix[0];
  if (c1 == '+') {
    step = number;
  } else if (c1 != '-' && std::fabs(number) > 0.1) {
    step = number;
  }
  if (prefix.size() >= 3 && prefix[1] == 'F' && prefix[2] >= '1' && prefix[2] <= '4') {
    static const double kSteps[] = {kStepF1, kStepLine, kStepHalf, kStepF4};
    const double v = kSteps[prefix[2] - '1'];
    step = c1 == '-' ? -v : v;
  }
}

bool SmallType(const std::string& prefix) {
  for (std::size_t i = 1; i < prefix.size() && i < 10; ++i)
    if (prefix[i] == 't') return true;
  return false;
}

// Position of the first "│" or "┃" from pos.
std::size_t FindBar(std::string_view s, std::size_t pos = 0) {
  const std::size_t a = FindText(s, "│", pos), b = FindText(s, "┃", pos);
  return std::min(a, b);
}

void DrawSmallType(PrintEngine& pe, double y, std::string text, double bh, double bp) {
  ReplaceText(text, "　", "  ");
  const StFont saved = pe.SaveFont();
  pe.SetTextFont(bh * 3 / 4, bp * 7 / 8, 0, saved.face);
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < text.size() && text[j] != ' ') j += CharLengthAt(text, j);
    j = std::min(j, text.size());
    pe.DrawText(1.0, y, (static_cast<double>(i) + 1 - 1.125) * bp, -bh / 4,
                std::string_view(text).substr(i, j - i));
    i = j;
  }
  pe.RestoreFont(saved);
}

std::uint32_t ParseColour(std::string_view field) {
  if (field.size() < 9) return 0;
  std::uint32_t v = 0;
  for (std::size_t i = 1; i < 9; ++i) {
    const char c = field[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else
      return 0;
    v = v * 16 + static_cast<std::uint32_t>(d);
  }
  return v & 0xFFFFFF;
}

struct DrawingLine {
  std::string command;
  std::vector<std::string> fields;
  double p[kDrawingNumbers + 1] = {};
  int weight = 0;
};

DrawingLine ReadDrawingLine(std::string_view line) {
  DrawingLine d;
  d.fields = SplitFields(line);
  d.command = Trim(d.fields[0]);
  for (std::size_t k = 0; k < d.fields.size() && k < kDrawingNumbers; ++k) {
    const double v = ReadReal(d.fields[k]);
    d.p[k] = std::isfinite(v) ? v : 0;
  }
  const double w = std::trunc(d.p[3]);
  d.weight = (std::fabs(w) < 1e9 ? static_cast<int>(w) : 0) & 15;
  return d;
}

bool IsDrawingCommand(const std::string& c) {
  return c == "FILL4K" || c == "POLYGON" || c == "LINE" || c == "TEXT" || c == "CIRCLE";
}

std::vector<int> WorldToPx(const PrintEngine& pe, const std::vector<double>& xy) {
  std::vector<int> pts;
  pts.reserve(xy.size());
  for (std::size_t i = 0; i + 1 < xy.size(); i += 2) {
    pts.push_back(TruncToInt(pe.PxX(pe.PageX(xy[i]))));
    pts.push_back(TruncToInt(pe.PxY(pe.PageY(xy[i + 1]))));
  }
  return pts;
}

}  // namespace

void SetLetter(PrintEngine& pe, char letter) {
  pe.templates.letters[LetterIndex(letter)] = true;
}
void ClearLetters(PrintEngine& pe, char letter) {
  if (letter == 0)
    pe.templates.letters.fill(false);
  else
    pe.templates.letters[LetterIndex(letter)] = false;
}
bool IsLetterSet(const PrintEngine& pe, char letter) {
  return pe.templates.letters[LetterIndex(letter)];
}

bool LoadTemplateFile(PrintEngine& pe, std::string_view path) {
  TemplateState& t = pe.templates;
  t.lines.clear();
  t.labels.clear();
  t.loaded = false;
  t.folder = DirectoryOf(path);
  auto bytes = ReadFileBytes(path);
  if (!bytes) {
    const std::string name(path);
    if (std::find(t.reported_missing.begin(), t.reported_missing.end(), name) ==
        t.reported_missing.end()) {
      t.reported_missing.push_back(name);
      pe.Notice("テンプレートファイルが開けません: " + name);
    }
    return false;
  }
  t.lines = SplitLines(*bytes);
  for (std::size_t i = 0; i + 1 < t.lines.size(); ++i)
    if (t.lines[i].compare(0, 4, "//--") == 0)
      t.labels.push_back({t.lines[i + 1], static_cast<int>(i + 1)});
  t.loaded = true;
  return true;
}

std::vector<std::string> LabelWords(std::string_view line) {
  const std::size_t p = FindText(line, "#LABEL");
  if (p == std::string_view::npos) return {};
  return Words(line.substr(p + 6));
}

int FindSection(const PrintEngine& pe, std::string_view title, std::string_view type_word) {
  const std::vector<std::string> want = Words(title), type = Words(type_word);
  for (const TemplateLabel& label : pe.templates.labels) {
    const std::vector<std::string> words = LabelWords(label.text);
    if (!ContainsRun(words, want)) continue;
    if (!type.empty() && !ContainsRun(words, type)) continue;
    return label.index;
  }
  return -1;
}

double PrintSection(PrintEngine& pe, double y, std::string_view title, std::string_view type_word,
                    int row_limit) {
  if (!pe.templates.loaded) return y;
  pe.SetBrushStyle(kBrushClear);
  const int index = FindSection(pe, title, type_word);
  if (index < 0) return y;
  return RunTemplate(pe, y, pe.templates.lines, static_cast<std::size_t>(index), row_limit, 0);
}

double PrintTemplate(PrintEngine& pe, double y, const std::vector<std::string>& lines, int a,
                     int b) {
  return RunTemplate(pe, y, lines, 0, a, b);
}

bool IsTableTextRow(std::string_view text) {
  if (FindText(text, "│") == std::string::npos && FindText(text, "┃") == std::string::npos)
    return false;
  for (std::string_view rule : {"─", "━", "┼", "├", "┤", "┌", "└", "┐", "┘", "┬", "┴", "┿"})
    if (FindText(text, rule) != std::string::npos) return false;
  return true;
}

double RunTemplate(PrintEngine& pe, double y, const std::vector<std::string>& lines,
                   std::size_t start, int a, int b) {
  ResetFields(pe);
  const double bh = pe.font().height, bp = pe.font().pitch;
  double step = kStepLine;
  bool skip_next = false;
  bool text_row = false;  // the last line printed was a table text row
  for (std::size_t i = start; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.compare(0, 4, "//--") == 0) break;
    if (line.compare(0, 2, "//") == 0) continue;
    const TemplateLine tl = SplitTemplateLine(line);
    const std::string& text = tl.text;
    if (text.compare(0, 6, "#LABEL") == 0) continue;
    if (tl.prefix.size() > 3 && IsUpper(tl.prefix[3]) && !IsLetterSet(pe, tl.prefix[3])) continue;
    if (tl.prefix.size() > 4 && IsUpper(tl.prefix[4]) && !IsLetterSet(pe, tl.prefix[4])) continue;
    const bool heading = FindText(text, "$>>") != std::string::npos;
    pe.SetTextFont(bh, bp, 0, heading ? 0 : 1);
    if (a != 0 && b == 0) {
      if (skip_next) {
        skip_next = false;
        continue;
      }
      const std::size_t thick = FindText(text, "┃"), thin = FindText(text, "│");
      const std::size_t bar = thick != std::string::npos ? thick : thin;
      const double n =
          bar == std::string::npos ? 0 : ReadReal(std::string_view(text).substr(bar + 2));
      if (n >= a) skip_next = true;
      if (n > a) continue;
    }
    ApplyStep(tl.prefix, step);
    // Repeated rows; with b = 0 the row is printed once, numbered a.
    if (a != 0) {
      const std::size_t c = FindBar(text);
      const std::size_t d = c == std::string::npos ? c : FindBar(text, c + 2);
      if (d != std::string::npos) {
        const auto first = ParseRealStrict(std::string_view(text).substr(c + 2, d - c - 2));
        if (first && std::fabs(*first + 1) < 1e-9) {
          const std::string separator =
              i + 1 < lines.size() ? SplitTemplateLine(lines[i + 1]).text : " ";
          const std::string closing =
              i + 2 < lines.size() ? SplitTemplateLine(lines[i + 2]).text : " ";
          const int last = std::max(a, b);
          const int width = static_cast<int>(d - c) - 2;
          for (int r = a; r <= last; ++r) {
            y += step;
            PrintLine(pe, 1.0, y, text.substr(0, c + 2) + Format("%*d", width, r) + text.substr(d));
            if (r != last) {
              y += step;
              PrintLine(pe, 1.0, y, separator);
            }
          }
          y += step;
          PrintLine(pe, 1.0, y, closing);
          i += 2;
          continue;
        }
      }
    }
    if (!text.empty() && text[0] == '#') {
      const bool jpeg = text.find("Gmm_DrawJpeg") != std::string::npos;
      const bool pcj = text.find("G_DrawPCJ_18mX9m") != std::string::npos;
      if (jpeg || pcj) {
        std::vector<std::string> f = SplitFields(text);
        f.resize(std::max<std::size_t>(f.size(), 6));
        if (jpeg) {
          const double x1 = ReadReal(f[1]), y1 = ReadReal(f[2]), x2 = ReadReal(f[3]),
                       y2 = ReadReal(f[4]);
          DrawImageFigure(pe, x1, y + y1, x2, y + y2, pe.templates.folder + Trim(f[5]));
          y += y2;
        } else {
          y = DrawPcjFigure(pe, y, pe.templates.folder + Trim(f[1]));
        }
        pe.SetBodyFont();
        continue;
      }
    }
    if (text.compare(0, 2, "//") == 0) continue;
    const bool row = IsTableTextRow(text);
    if (row && text_row && step == kStepHalf) y += step;
    text_row = row;
    y += step;
    if (heading) {
      PrintLine(pe, 1.0, y, text);
    } else if (pe.drawing) {
      if (SmallType(tl.prefix))
        DrawSmallType(pe, y, text, bh, bp);
      else
        PrintLine(pe, 1.0, y, text);
    }
  }
  for (char c = 'U'; c <= 'Z'; ++c) ClearLetters(pe, c);
  return y;
}

double DrawMissingFileNotice(PrintEngine& pe, double y, std::string_view path) {
  const std::string hashes(89, '#');
  const std::string lines[] = {hashes, DirectoryOf(path), FileNameOf(path) + "....が開けません",
                               hashes};
  double yy = y;
  for (int i = 0; i < 4; ++i) {
    yy = y + i * 1.25 * kTextHeight;
    pe.DrawText(10, yy, 0, 0, lines[i]);
  }
  pe.Notice("図のファイルが開けません: " + std::string(path));
  return yy;
}

void DrawImageFigure(PrintEngine& pe, double x1, double y1, double x2, double y2,
                     std::string_view path) {
  if (!pe.drawing) return;
  std::shared_ptr<RasterImage> image;
  if (FileExists(path)) image = LoadImageFile(path);
  if (!image) {
    DrawMissingFileNotice(pe, y1, path);
    pe.SetPenWidth(2);
    pe.LineMm(x1, y1, x2, y1);
    pe.LineMm(x2, y1, x2, y2);
    pe.LineMm(x2, y2, x1, y2);
    pe.LineMm(x1, y2, x1, y1);
    pe.LineMm(x1, y1, x2, y2);
    pe.LineMm(x2, y1, x1, y2);
    return;
  }
  auto even = [](double v) { return TruncToInt(std::floor(v)) & ~1; };
  pe.ImagePx(even(pe.PxX(x1)), even(pe.PxY(y1)), even(pe.PxX(x2)), even(pe.PxY(y2)),
             std::move(image));
}

double DrawPcjFigure(PrintEngine& pe, double y, std::string_view path) {
  pe.SetWindow(0, y, 180, y + 90, 0, 0, 18000, -9000);
  return DrawDrawingFile(pe, path);
}

double DrawDrawingFile(PrintEngine& pe, std::string_view path) {
  const WorldWindow win = pe.window();
  const double band_top = std::min(win.b, win.d), band_bottom = std::max(win.b, win.d);
  auto bytes = ReadFileBytes(path);
  if (!bytes) return DrawMissingFileNotice(pe, band_top, path) + kTextHeight;
  const StFont saved = pe.SaveFont();
  const std::vector<std::string> lines = SplitLines(*bytes);
  double scale = 1;
  bool has_window = false;
  double result = band_bottom;
  auto data_line = [&](std::size_t& i) -> const std::string* {
    if (i + 1 >= lines.size()) return nullptr;  // the data line is missing at the end of the file
    return &lines[++i];
  };
  // Pass 0: extent and backgrounds.
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const DrawingLine d = ReadDrawingLine(lines[i]);
    const bool ignored = IsDrawingCommand(d.command) && d.weight == 7;
    if (d.command == "POLYGON") {
      const std::string* next = data_line(i);
      if (ignored || !next) continue;
      const std::vector<std::string> f = SplitFields(*next);
      const std::uint32_t colour = ParseColour(Trim(f[0]));
      std::vector<double> xy;
      for (std::size_t k = 0; 2 * k + 2 < f.size() && static_cast<int>(k) < kMaxPolygonPoints;
           ++k) {
        xy.push_back(ReadReal(f[2 * k + 1]));
        xy.push_back(ReadReal(f[2 * k + 2]));
      }
      pe.SetPenColor(colour);
      pe.SetBrushColor(colour);
      pe.SetBrushStyle(kBrushSolid);
      pe.PolygonPx(WorldToPx(pe, xy));
      pe.SetBrushStyle(kBrushClear);
      continue;
    }
    if (d.command == "TEXT") {
      data_line(i);
      continue;
    }
    if (ignored) continue;
    if (d.command == "CF_WINDOW") {
      has_window = true;
      const double r = pe.PageY(d.p[2]);
      result = r < 0 ? 0 : r;
      if (!pe.drawing) {
        pe.RestoreFont(saved);
        return result;
      }
    } else if (d.command == "CF_SCALE") {
      scale = d.p[1];
    } else if (d.command == "FILL4K") {
      const std::uint32_t colour =
          ParseColour(d.fields.size() > 12 ? Trim(d.fields[12]) : std::string());
      pe.SetPenColor(colour);
      pe.SetBrushColor(colour);
      pe.SetBrushStyle(kBrushSolid);
      const double x = d.p[4], y = d.p[5], w = d.p[8], h = d.p[7];
      pe.PolygonPx(WorldToPx(pe, {x, y + h, x + w, y + h, x + w, y, x, y}));
    }
  }
  if (!pe.drawing) {
    pe.RestoreFont(saved);
    return result;
  }
  pe.SetPenColor(0);
  DrawingFileState& sizes = pe.drawing_files;
  for (int pass = 1; pass <= 3; ++pass) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].empty() || !IsUpper(lines[i][0])) continue;
      const DrawingLine d = ReadDrawingLine(lines[i]);
      const bool ignored = IsDrawingCommand(d.command) && d.weight == 7;
      if (d.command == "POLYGON") {
        data_line(i);
        continue;
      }
      if (d.command == "TEXT") {
        const std::string* next = data_line(i);
        if (pass != 3 || ignored || !next) continue;
        const int k = static_cast<int>(std::trunc(std::clamp(d.p[7], -1.0, 16.0)));
        const int cls = k >= 1 && k <= 15 ? k : 0;
        const double height = std::fabs(sizes.height[cls] * scale * pe.window().sy);
        const double width = std::fabs(sizes.width[cls] * scale * pe.window().sx);
        std::string text = *next;
        int face = 0;
        if (!text.empty() && text[0] == '~') {
          text.erase(0, 1);
          face = 1;
        }
        pe.SetTextFont(height, width / 2, d.p[6] * 180 / kPi, face);
        DrawMarkedText(pe, pe.PageX(d.p[4]), pe.PageY(d.p[5]), 0, -height, text);
        continue;
      }
      if (ignored) continue;
      if (d.command == "LINE") {
        if (pass == 1 && d.weight < 2) {
          const std::uint32_t pen = pe.device().pen_colour;
          pe.SetPenColor(0x808080);
          pe.SetPenWidth(1);
          pe.LineWorld(d.p[4], d.p[5], d.p[6], d.p[7]);
          pe.SetPenColor(pen);
        } else if (pass == 2 && d.weight >= 2) {
          pe.SetPenWidth(d.weight - 1);
          pe.LineWorld(d.p[4], d.p[5], d.p[6], d.p[7]);
        }
      } else if (d.command == "CF_SCALE") {
        scale = d.p[1];
      } else if (d.command == "CF_MJSIZH") {
        for (int k = 1; k <= 15; ++k) sizes.height[k] = d.p[k];
      } else if (d.command == "CF_MJSIZW") {
        for (int k = 1; k <= 15; ++k) sizes.width[k] = d.p[k];
      } else if (d.command == "CF_MJSIZP") {
        for (int k = 1; k <= 15; ++k) sizes.width[k] += d.p[k];
      } else if (d.command == "CIRCLE" && pass == 3) {
        pe.SetBrushStyle(kBrushClear);
        pe.EllipseWorld(d.p[4], d.p[5], d.p[6], d.p[7]);
      }
    }
  }
  pe.RestoreFont(saved);
  return has_window ? result : band_bottom;
}

}  // namespace vaultra
