#!/usr/bin/env python3
"""Writes the shipped master catalogue: the nine CSV tables of Master/材料/
(cp932, CR LF, 38 columns per row joined by ",", rows up to 5 past the last
row with text in columns 1-3, exactly as the program writes them when it
rebuilds a table from the workbook) and, with --xls, the master workbook
Orvaneﾏｽﾀｰ.xls (one worksheet per table, made through LibreOffice).

Run from the repository root:  python3 scripts/gen_master_catalogue.py [--xls]
"""
import math
import os
import re
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "Master", "材料")
PREFIX = "Orvaneﾏｽﾀｰ"
COLUMNS = 38

# ---------------------------------------------------------------- helpers


def num(x):
    """A number as a spreadsheet shows it in the General format."""
    if isinstance(x, int):
        return str(x)
    if x == 0:
        return "0"
    if x == math.trunc(x) and abs(x) < 1e15:
        return "%.0f" % x
    return "%.15g" % x


def cell(x):
    if x is None:
        return ""
    if isinstance(x, (int, float)):
        return num(x)
    return str(x)


class Sheet:
    def __init__(self, name):
        self.name = name
        self.rows = []

    def add(self, *cells):
        row = [cell(c) for c in cells]
        assert len(row) <= COLUMNS, (self.name, row)
        for c in row:
            assert "," not in c and "\n" not in c, (self.name, c)
        self.rows.append(row + [""] * (COLUMNS - len(row)))

    def extent(self):
        """Rows the program exports: 5 past the last row with text in columns 1-3."""
        last, run = 0, 0
        for i, row in enumerate(self.rows[:500]):
            if "".join(row[:3]):
                last, run = i + 1 + 5, 0
            else:
                run += 1
                if run > 5:
                    break
        for row in self.rows[last:]:
            assert not "".join(row), (self.name, "content past the exported rows", row)
        rows = self.rows[:last]
        return rows + [[""] * COLUMNS] * (last - len(rows))

    def csv_bytes(self):
        return "".join(",".join(r) + "\r\n" for r in self.extent()).encode("cp932")


def bar(d, n):
    return ("D%d" % d, n) if d else (None, None)


# ---------------------------------------------------------------- products
# Dimensions in mm.  Stand: a/b wall thickness top/bottom, c footing thickness,
# d footing projection beyond the wall face, e seat projection (= haunch),
# f depth of the wall head, g seat thickness, r12 opening of an intermediate
# stand.  Box / mini-gate: a wall thickness (b = a), c bottom slab, e haunch
# and seat projection (h = e), f top slab, g seat (ledge) thickness, r12
# opening of the inner walls.  Slab: B width W, L length, b thickness,
# c clear span W - 2d, d bearing length.

L_STD = 2000

STANDS = [  # H, water, end (a, b, c, d, e, f, g), intermediate (a, c, d, e, f, g)
    (1000, "N", (200, 250, 250, 350, 150, 250, 200), (200, 250, 350, 150, 250, 200)),
    (1500, "N", (200, 300, 300, 400, 150, 250, 200), (250, 300, 400, 150, 250, 200)),
    (2000, "N", (250, 350, 300, 400, 150, 300, 200), (250, 300, 400, 150, 300, 200)),
    (2500, "N", (250, 400, 350, 450, 200, 300, 250), (300, 350, 450, 200, 300, 250)),
    (3000, "N", (300, 450, 400, 500, 200, 350, 250), (300, 400, 500, 200, 350, 250)),
    (1500, "W", (250, 350, 350, 400, 150, 250, 200), (250, 350, 400, 150, 250, 200)),
    (2000, "W", (300, 400, 350, 450, 150, 300, 200), (300, 350, 450, 150, 300, 200)),
    (2500, "W", (300, 450, 400, 500, 200, 300, 250), (300, 400, 500, 200, 300, 250)),
]

BOXES = [  # B, H, water, (a, c, e, f, g)
    (2000, 1500, "N", (200, 250, 150, 250, 200)),
    (2000, 2000, "N", (200, 250, 150, 250, 200)),
    (2500, 2000, "N", (250, 300, 150, 300, 200)),
    (2500, 2500, "N", (250, 300, 150, 300, 250)),
    (3000, 2000, "N", (250, 300, 200, 300, 250)),
    (3000, 2500, "N", (300, 350, 200, 350, 250)),
    (2000, 2000, "W", (250, 300, 150, 300, 200)),
    (2500, 2500, "W", (300, 350, 150, 350, 250)),
]

MINIS = [  # B, H, water, (a, c, e, f, g)
    (1000, 1000, "N", (150, 200, 100, 200, 150)),
    (1200, 1000, "N", (150, 200, 100, 200, 150)),
    (1200, 1200, "N", (150, 200, 100, 200, 150)),
    (1500, 1000, "N", (150, 200, 100, 200, 150)),
    (1500, 1200, "N", (180, 220, 100, 220, 150)),
    (1500, 1500, "N", (180, 220, 100, 220, 150)),
    (1200, 1200, "W", (200, 250, 100, 250, 150)),
    (1500, 1500, "W", (200, 250, 100, 250, 150)),
]
OPENING_BOX = 900
OPENING_MINI = 600
OPENING_STAND = 900

SLAB_THICKNESS = {1000: 150, 1500: 180, 2000: 200, 2500: 230, 3000: 250, 3500: 280, 4000: 300}
SLAB_BEARING = 100
SLABS = [("S", w) for w in (1500, 2000, 2500, 3000, 3500, 4000)] + [
    ("B", w) for w in (1000, 1500, 2000, 2500, 3000, 3500, 4000)]


def dims(B, H, L, a=0, b=0, c=0, d=0, e=0, f=0, g=0, h=0, r12=0):
    return [B, H, L, a, b, c, d, e, f, g, h, r12] + [None] * 11


def stand_name(H, w):
    return "ｽﾀﾝﾄﾞH%d%s" % (H, "W" if w == "W" else "")


def box_name(kind, B, H, w):
    return "%s%dx%d%s" % (kind, B, H, "W" if w == "W" else "")


def dimension_sheet():
    s = Sheet("寸法表")
    s.add("製品寸法表 (寸法 mm; 各ブロック型は端部ブロック行と中間ブロック行の2行)")
    s.add("No", "種別", "記号", "製品名", "区分", "B", "H", "L", "a", "b", "c", "d", "e", "f",
          "g", "h", "r12")
    no = 0
    for H, w, end, mid in STANDS:
        no += 1
        a, b, c, d, e, f, g = end
        s.add(no, "S", "ST%02d" % no, stand_name(H, w), w,
              *dims(b + 2 * d, H, L_STD, a, b, c, d, e, f, g))
        a, c, d, e, f, g = mid
        s.add(None, None, None, "(中間ｽﾀﾝﾄﾞ)", None,
              *dims(a + 2 * d, H, L_STD, a, None, c, d, e, f, g, 0, OPENING_STAND))
    for kind, rows, opening, code in (("B", BOXES, OPENING_BOX, "BX"),
                                      ("M", MINIS, OPENING_MINI, "MG")):
        label = "ﾎﾞｯｸｽ" if kind == "B" else "ﾐﾆｹﾞｰﾄ"
        for k, (B, H, w, (a, c, e, f, g)) in enumerate(rows, 1):
            no += 1
            s.add(no, kind, "%s%02d" % (code, k), box_name(label, B, H, w), w,
                  *dims(B, H, L_STD, a, None, c, 0, e, f, g, e, opening))
            s.add(None, None, None, "(中間ﾌﾞﾛｯｸ)", None,
                  *dims(B, H, L_STD, a, None, c, 0, e, f, g, e, opening))
    for k, (layout, W) in enumerate(SLABS, 1):
        no += 1
        t = SLAB_THICKNESS[W]
        s.add(no, "T", "SL%02d" % k, "ｽﾗﾌﾞ%s-W%d" % (layout, W), layout,
              *dims(W, 0, L_STD, 0, t, W - 2 * SLAB_BEARING, SLAB_BEARING))
    return s


# ---------------------------------------------------------------- rebar
# Bars per metre of block length; the first bar of an entry is the inner face,
# the second the outer face (the top-slab entry 5 is written outer first, as
# the sheet has always held it).

def main_bar(t):
    """Main bars for a member t mm thick, sized for a T-25 rear wheel under
    0.5 to 2 m of cover at the allowable steel stress of the normal case."""
    for limit, d in ((200, 13), (250, 16), (300, 19), (350, 22), (400, 25)):
        if t <= limit:
            return (d, 8.0)
    return (25, 10.0)


def secondary_bar(t):
    return (13, 8.0) if t <= 250 else (16, 8.0)


def slab_bar(s):
    """Main bars of a precast top slab s metres wide (and of the cast-in-place
    bottom slab between blocks, which spans about as far)."""
    return {2: (16, 8.0), 3: (19, 8.0), 4: (22, 8.0)}[s]


def one_size_up(b):
    sizes = [10, 13, 16, 19, 22, 25, 29, 32]
    d, n = b
    return (sizes[min(sizes.index(d) + 1, len(sizes) - 1)], n)


def entries_for(t_wall, t_top, t_inner_wall, t_bottom, t_seat, s, water):
    """Eight entries (inner, outer) of layer 1 for one block."""
    wall_out = main_bar(t_wall)
    if water == "W":
        wall_out = one_size_up(wall_out)
    return [
        (main_bar(t_top), secondary_bar(t_top)),          # 0 top slab of a box
        (main_bar(t_wall), wall_out),                      # 1 side wall
        (secondary_bar(t_inner_wall), secondary_bar(t_inner_wall)),  # 2 shoulder / inner wall
        (main_bar(t_bottom), main_bar(t_bottom)),          # 3 bottom slab
        ((16, 8.0), (16, 8.0)),                            # 4 slab seat
        (slab_bar(s), (13, 5.0)),                          # 5 top slab (precast slab)
        # 6 cast-in-place bottom slab: the ground reaction bends it upward at
        # mid-span (tension at the inner face), hogging at the blocks
        (slab_bar(s), (16, 8.0)),
        # 7 joint inserts: they alone carry the hogging moment of the cast-in-place
        # bottom slab across its joint with the blocks
        (("M", 22 if s < 4 else 24, 6.0), ("M", 22 if s < 4 else 24, 6.0)),
    ]


def entry_cells(entry, reverse=False):
    inner, outer = entry
    first, second = (outer, inner) if reverse else (inner, outer)
    out = []
    for b in (first, second):
        if b is None:
            out += [None, None]
        elif b[0] == "M":
            out += ["M%d" % b[1], b[2]]
        else:
            out += ["D%d" % b[0], b[1]]
    return out


def row_cells(entries):
    cells = []
    for v, e in enumerate(entries):
        cells += entry_cells(e, reverse=(v == 5))
    return cells


EMPTY_ROW = [(None, None)] * 8


def stand_code(H, s, w, L):
    return "%2d%2d%s%2d" % (int(H / 100 + 0.1), 10 * s, w, int(L / 100 + 0.1))


def box_code(B, H, s, w):
    return "%2d%2d%2d%s" % (int(B / 100 + 0.1), int(H / 100 + 0.1), 10 * s, w)


def arrangements():
    """(type, code, product name, row1 entries, row3 entries, H, water)."""
    out = []
    for H, w, end, mid in STANDS:
        a, b, c, d, e, f, g = end
        ma, mc, md, me, mf, mg = mid
        for s in (2, 3, 4):
            r1 = entries_for((a + b) // 2, f, a, c, g, s, w)
            r3 = entries_for(ma, mf, ma, mc, mg, s, w)
            out.append(("S", stand_code(H, s, w, L_STD), stand_name(H, w), r1, r3, H, w))
    for kind, rows, label in (("B", BOXES, "ﾎﾞｯｸｽ"), ("M", MINIS, "ﾐﾆｹﾞｰﾄ")):
        for B, H, w, (a, c, e, f, g) in rows:
            for s in (2, 3, 4):
                r = entries_for(a, f, a, c, g, s, w)
                out.append((kind, box_code(B, H, s, w), box_name(label, B, H, w), r, r, H, w))
    return out


def rebar_sheet():
    s = Sheet("鉄筋表")
    s.add("標準配筋表 (各エントリ: 内側径・本数・外側径・本数 / 本数は1m当たり; 頂版ｽﾗﾌﾞ(エントリ5)は外側・内側の順)")
    head = ["No", "種別", "配筋ｺｰﾄﾞ", "行"]
    for v, label in enumerate(("頂版", "側壁", "肩落/内壁", "底版", "ｽﾗﾌﾞ掛", "頂版ｽﾗﾌﾞ",
                               "現場打ち", "ｲﾝｻｰﾄ")):
        head += ["%d:%s" % (v, label), "本数", "径", "本数"]
    s.add(*head)
    for no, (kind, code, product, r1, r3, H, w) in enumerate(arrangements(), 1):
        s.add(no, kind, code, "端部1段", *row_cells(r1))
        s.add(None, None, None, "端部2段", *row_cells(EMPTY_ROW))
        s.add(None, None, None, "中間1段", *row_cells(r3))
        s.add(None, None, None, "中間2段", *row_cells(EMPTY_ROW))
    return s


def end_wall_sheet():
    s = Sheet("端壁")
    s.add("端壁 (厚さ m; 鉄筋: 内側径・本数・外側径・本数 / 1m当たり)")
    s.add("No", "種別", "配筋ｺｰﾄﾞ", "製品名", "厚さ上部", "厚さ下部",
          "縦筋内", "本数", "縦筋外", "本数", "横筋上内", "本数", "横筋上外", "本数",
          "横筋中内", "本数", "横筋中外", "本数", "横筋下内", "本数", "横筋下外", "本数")
    for no, (kind, code, product, r1, r3, H, w) in enumerate(arrangements(), 1):
        water = w == "W"
        wa = 0.25 if H <= 1000 else 0.30 if H <= 2000 else 0.35 if H <= 2500 else 0.40
        if water:
            wa += 0.05
        wb = wa + (0.10 if H <= 2000 else 0.15)
        vert = main_bar(int(wa * 1000))
        s.add(no, kind, code, product, round(wa, 3), round(wb, 3),
              *bar(*vert), *bar(*vert),
              *bar(13, 5.0), *bar(13, 5.0),
              *bar(13, 5.0), *bar(13, 5.0),
              *bar(13, 8.0), *bar(13, 8.0))
    return s


# ---------------------------------------------------------------- materials

# sck: sigma_ca, tau_a1, sigma_fa (bond, deformed bars), Ec
CONCRETE = {
    18: (6.0, 0.33, 1.2, 22000),
    21: (7.0, 0.36, 1.4, 23500),
    24: (8.0, 0.39, 1.6, 25000),
    30: (10.0, 0.45, 1.8, 28000),
    36: (12.0, 0.51, 1.9, 29800),
    40: (14.0, 0.55, 2.0, 31000),
    50: (17.0, 0.60, 2.0, 33000),
}
REBAR = {  # sigma_sa normal, yield strength
    "SD295": (160.0, 295.0),
    "SD345": (180.0, 345.0),
}
GROUPS = [  # class, label, strengths
    (1, "ﾌﾞﾛｯｸ部", (24, 30, 36, 40, 50)),
    (2, "頂版ｽﾗﾌﾞ", (24, 30, 36, 40, 50)),
    (3, "底版", (18, 21, 24, 30, 36)),
    (4, "端壁", (18, 21, 24, 30, 36)),
]
SEISMIC = 1.5
GAMMA_RC = 24.5
ES = 200000


def r3(x):
    return round(x + 1e-9, 3)


def material_sheet():
    s = Sheet("材料強度")
    s.add("材料強度 (N/mm2; γc kN/m3; 区分 1 ﾌﾞﾛｯｸ部 2 頂版ｽﾗﾌﾞ 3 底版 4 端壁 5 目地ﾓﾙﾀﾙ)")
    s.add("No", "区分", "σck", "鉄筋", "σca(2d)", "σca(h/2)", "τa(2d)", "τa(h/2)", "σfa",
          "L1σca(2d)", "L1σca(h/2)", "L1τa(2d)", "L1τa(h/2)", "L1σfa", "f'ck", "σsa",
          "L1σsa", "fyd", "fwyd", "Ec", "γc", "Es", "備考")
    no = 0
    for cls, label, strengths in GROUPS:
        for rebar, (ssa, fy) in REBAR.items():
            for sck in strengths:
                sca, ta, sfa, ec = CONCRETE[sck]
                no += 1
                s.add(no, cls, sck, rebar, sca, sca, ta, ta, sfa,
                      r3(SEISMIC * sca), r3(SEISMIC * sca), r3(SEISMIC * ta), r3(SEISMIC * ta),
                      r3(SEISMIC * sfa), sck, ssa, r3(SEISMIC * ssa), fy, fy, ec, GAMMA_RC, ES,
                      label)
    for sck in (20, 24, 30):
        no += 1
        sca = r3(0.3 * sck)
        s.add(no, 5, sck, "ﾓﾙﾀﾙ", sca, sca, None, None, None, r3(SEISMIC * sca),
              r3(SEISMIC * sca), None, None, None, sck, None, None, None, None, None, 21.0,
              None, "目地ﾓﾙﾀﾙ (σga = L1σca)")
    return s


def bolt_type_sheet():
    s = Sheet("ボルトの種類")
    s.add("ボルトの種類 (Ps: 地震時許容せん断応力度 = 1.5σby/(1.7√3) / σby: 降伏点 / N/mm2)")
    s.add("No", "種類", "Ps", "σby")
    for no, (name, sby) in enumerate(
            (("SS400", 235), ("SS490", 285), ("S45C", 490), ("SCM435", 785), ("SUS304", 205)), 1):
        s.add(no, name, round(1.5 * sby / (1.7 * math.sqrt(3))), sby)
    return s


def pc_strength_sheet():
    s = Sheet("PC鋼棒の強度")
    s.add("PC鋼棒の強度 (JIS G 3109; N/mm2)")
    s.add("No", "種類", "降伏点", "引張強さ")
    for no, (name, py, pu) in enumerate(
            (("SBPR785/1030", 785, 1030), ("SBPR930/1080", 930, 1080),
             ("SBPR930/1180", 930, 1180), ("SBPR1080/1230", 1080, 1230)), 1):
        s.add(no, name, py, pu)
    return s


REBAR_SIZES = [  # name, nominal area cm2, nominal diameter mm (JIS G 3112)
    ("D6", 0.3167, 6.35), ("D10", 0.7133, 9.53), ("D13", 1.267, 12.7), ("D16", 1.986, 15.9),
    ("D19", 2.865, 19.1), ("D22", 3.871, 22.2), ("D25", 5.067, 25.4), ("D29", 6.424, 28.6),
    ("D32", 7.942, 31.8), ("D35", 9.566, 34.9), ("D38", 11.40, 38.1), ("D41", 13.40, 41.3),
    ("D51", 20.27, 50.8),
]
BOLT_SIZES = [  # name, effective (stress) area cm2, nominal diameter mm
    ("M10", 0.580, 10), ("M12", 0.843, 12), ("M16", 1.57, 16), ("M20", 2.45, 20),
    ("M22", 3.03, 22), ("M24", 3.53, 24), ("M27", 4.59, 27), ("M30", 5.61, 30),
    ("M33", 6.94, 33), ("M36", 8.17, 36), ("M39", 9.76, 39),
]


def rebar_size_sheet():
    s = Sheet("鉄筋の断面積")
    s.add("鉄筋の断面積 (異形棒鋼は公称断面積・ボルト(ｲﾝｻｰﾄ)は有効断面積; cm2)")
    s.add("No", "呼び名", "断面積", "公称直径")
    for no, (name, area, dia) in enumerate(REBAR_SIZES + BOLT_SIZES, 1):
        s.add(no, name, area, dia)
    return s


def pc_size_sheet():
    s = Sheet("PC鋼棒のサイズ")
    s.add("PC鋼棒のサイズ (JIS G 3109 丸棒; mm・mm2)")
    s.add("No", "呼び径", "公称断面積")
    for no, (dia, area) in enumerate(((9.2, 66.48), (11, 95.03), (13, 132.7), (17, 227.0),
                                      (23, 415.5), (26, 530.9), (32, 804.2), (36, 1018.0)), 1):
        s.add(no, dia, area)
    return s


def bolt_size_sheet():
    s = Sheet("ボルトのサイズ")
    s.add("ボルトのサイズ (有効断面積 cm2 / 呼び径 mm / Pr: F8T 長期許容引張力 kN = 250 N/mm2 × 軸断面積)")
    s.add("No", "呼び名", "有効断面積", "呼び径", "Pr")
    for no, (name, area, dia) in enumerate(BOLT_SIZES[1:10], 1):
        s.add(no, name, area, dia, round(250 * math.pi / 4 * dia * dia / 1000, 1))
    return s


SHEETS = [dimension_sheet, rebar_sheet, end_wall_sheet, material_sheet, bolt_type_sheet,
          pc_strength_sheet, rebar_size_sheet, pc_size_sheet, bolt_size_sheet]


# ---------------------------------------------------------------- workbook

NUMBER = re.compile(r"-?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?")


def is_number(text):
    """A cell the sheet holds as a number (the texts num() writes)."""
    return NUMBER.fullmatch(text) is not None


def fods(sheets):
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
           'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
           'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
           'office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">',
           '<office:body><office:spreadsheet>']
    for sheet in sheets:
        out.append('<table:table table:name="%s">' % escape(sheet.name))
        for row in sheet.rows:
            out.append("<table:table-row>")
            for c in row:
                if c == "":
                    out.append("<table:table-cell/>")
                elif is_number(c):
                    out.append('<table:table-cell office:value-type="float" office:value="%s">'
                               '<text:p>%s</text:p></table:table-cell>' % (c, c))
                else:
                    out.append('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
                               '</table:table-cell>' % escape(c))
            out.append("</table:table-row>")
        out.append("</table:table>")
    out.append("</office:spreadsheet></office:body></office:document>")
    return "\n".join(out)


def write_workbook(sheets):
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "master.fods")
        with open(src, "w", encoding="utf-8") as f:
            f.write(fods(sheets))
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + tmp + "/lo",
                        "--convert-to", "xls:MS Excel 97", "--outdir", tmp, src],
                       check=True, stdout=subprocess.DEVNULL, timeout=300)
        with open(os.path.join(tmp, "master.xls"), "rb") as f:
            data = f.read()
    with open(os.path.join(OUT, PREFIX + ".xls"), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    sheets = [make() for make in SHEETS]
    for sheet in sheets:
        with open(os.path.join(OUT, PREFIX + sheet.name + ".csv"), "wb") as f:
            f.write(sheet.csv_bytes())
    if "--xls" in sys.argv[1:]:
        write_workbook(sheets)


if __name__ == "__main__":
    main()
