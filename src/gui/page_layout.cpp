#include "gui/page_layout.h"

// The tables name only the members a row or group needs; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace vaultra::gui {

namespace {

using Rows = std::vector<LayoutRow>;

PageLayout ModelLayout() {
  PageLayout p;
  p.groups = {
      {"", "モデル", 0,
       Rows{{"CoBox0", "モデルタイプ", ""},
            {"EdModelName", "モデル名", ""},
            {"", "表示方向：", ""},
            {"RbYoko", "横", ""},
            {"RbTate", "縦", ""},
            {"CbxLock", "ロック", ""},
            {"EdBlockDepth", "構造物の深さ  (D):", "(ｍ)"}}},
      {"", "地下水の有無", 0,
       Rows{{"RbWaterDepthOff", "無し", ""},
            {"RbWaterDepthON", "有り:", ""},
            {"EdWaterDepth", "(地表からの深さ)", "(ｍ)"}}},
      {"", "貯溜水位", 1,
       Rows{{"EdWaterH0", " 常 時     :", "(ｍ)"},
            {"EdWaterH1", "Ｌ１地震時 :", "(ｍ)"},
            {"EdWaterH2", "Ｌ２地震時 :", "(ｍ)"}}},
      {"", "せん断照査位置", 1, Rows{{"Rb_2d", "２･ｄ", ""}, {"Rb_h2", "ｈ/２", ""}}},
      {"", "ブロック寸法", 2,
       Rows{{"CoBox1", "ブロック", ""},
            {"Ed_blkB", "ﾌﾞﾛｯｸの内幅  (B)", "(ｍ)"},
            {"Ed_blkH", "ﾌﾞﾛｯｸの内高  (H)", "(ｍ)"},
            {"Ed_blkL", "ﾌﾞﾛｯｸの有効長(L)", "(ｍ)"},
            {"Ed_blkSu", "ｾﾝﾀｰﾌﾞﾛｯｸの数:", "(個)"}}},
      {"",
       "鉄筋かぶり",
       2,
       Rows{{"Ed_Kp", "ﾌﾟﾚｷｬｽﾄ 鉄筋(純)被ﾘ:", "(mm)"}, {"Ed_Kg", "現場打ち鉄筋(芯)被ﾘ:", "(mm)"}},
       {},
       {},
       {"ゼロで中央単鉄筋の扱いとなります。"}},
      {"", "スラブ寸法", 3,
       Rows{{"CoBox2", "スラブ", ""},
            {"Ed_slbW", "頂部ｽﾗﾌﾞの幅  (W):", "(ｍ)"},
            {"Ed_slbSu", "頂版ｽﾗﾌﾞの枚数   :", "(枚)"}}},
      {"", "縦方向設定", 3,
       Rows{{"Ed_wl_a", "端壁部材厚(上部):", "(ｍ)"},
            {"Ed_wl_b", "端壁部材厚(下部):", "(ｍ)"},
            {"Ed_tateSu", "縦方向照査ﾌﾞﾛｯｸ数: ", ""},
            {"CbTate", "縦方向の照査を行う", ""}}},
  };
  return p;
}

PageLayout GroundLayout() {
  PageLayout p;
  p.groups = {
      {"",
       "",
       0,
       Rows{{"Grid1", "通常土層の地盤情報", ""}, {"CbEnterDown", "Enterで下移動", ""}},
       {},
       {},
       {"土質識別（0:クリア、1:粘土層、2:砂質層）",
        "・No欄をマウス上下ドラッグで行の移動が行えます",
        "・層厚欄でのDeleteキーで１行クリアします", "・N=0 は せん断弾性波速度 Vsi=50と扱います"}},
  };
  return p;
}

PageLayout PointsLayout() {
  PageLayout p;
  p.groups = {
      {"", "", 0, Rows{{"Grid_Pos", "節点座標", ""}}},
      {"", "", 1, Rows{{"Grid_Bzi", "部材の着目点一覧", ""}}},
  };
  return p;
}

PageLayout LoadsLayout() {
  PageLayout p;
  const std::string t1 = "荷重設定 ", t2 = "地震時条件２", t3 = "部材荷重一覧";
  p.tabs = {t1, t2, t3};
  p.groups = {
      // Above the tabs: the load state shown and its direction.
      {"", "", 0, Rows{{"RgKajyuType", "[  荷重状態図  ]", "", 8}}},
      {"", "表示方向", 1, Rows{{"RbYoko", "横", ""}, {"RbTate", "縦", ""}}},
      {t1, "土圧荷重", 0,
       Rows{{"Ed_Kah", "土圧係数 　　    水平 : ", ""},
            {"Ed_Kav", "鉛直 : ", ""},
            {"", "埋戻土", ""},
            {"Ed_Gst", "地下水位以浅の土の単重 :", "(kN/m3)"},
            {"Ed_Gsw", "地下水位以深の土の単重 :", "(kN/m3)"},
            {"Ed_C", "粘着力　          Ｃ:", "(kN/m2)"},
            {"Ed_Fi", "内部摩擦角        φ:", "(ﾟ)"},
            {"Ed_Gw", "水の単位体積重量  　　:", "(kN/m3)"}}},
      {t1, "常時荷重", 1,
       Rows{{"Ed_q", "載荷荷重  　       (q):", "(kN/m2)"},
            {"Ed_ps", "スラブ上の後輪荷重 (p):", "(kN)"},
            {"Ed_pb", "ブロック上後輪荷重 (p):", "(kN)"}}},
      {t1, "縦方向・常時荷重", 1, Rows{{"Ed_tate_q", "載荷荷重　　　　　(q):", "(kN/m2)"}}},
      {t1, "地震時条件(1)", 2,
       Rows{
           {"", "計算法：", ""}, {"RbCalcHenni", "応答変位法", ""}, {"RbCalcSindo", "震度法", ""}}},
      {t1,
       "地震時静止土圧の選択",
       2,
       Rows{{"PhUm", "埋め戻し土にて検討", ""}, {"PhSo", "地層情報にて検討", ""}},
       {},
       {},
       {},
       "GBoxJsPa"},
      {t1, "", 2,
       Rows{{"GBoxSisin", "ﾚﾍﾞﾙ1地震動時の設計応答速度(Sv1)の基準", ""},
            {"RgKea3", "土圧係数", ""},
            {"RgCs", "靱性(Ｃs)の考慮", ""}}},
      {t2, "地震時条件(2)", 0,
       Rows{{"GBoxTiku", "対象地区", ""}, {"GBoxBaneSiki", "地盤ばね", ""}}},
      {t2,
       "地盤の変形係数Eoの推定方法",
       0,
       Rows{{"RbEo1", "①直径0.3ｍの剛体円板による平板載荷試験の繰返し曲線", ""},
            {"RbEo2", "②ボーリング孔内で測定した変形係数", ""},
            {"RbEo3", "③供試体の一軸または三軸圧縮試験から求めた変形係数", ""},
            {"RbEo4", "④標準貫入試験のN値により 2800×(平均N値) で推定した変形係数", ""},
            {"Ed_Eoh", "側壁 Eoh =", "(kN/m2)"},
            {"Ed_Eov", "底版 Eov =", "(kN/m2)"}},
       {},
       {},
       {},
       "GbEo"},
      {t2,
       "地盤の固有周期係数 αD",
       1,
       Rows{{"Ed_Ad1", "ﾚﾍﾞﾙ1:", ""}, {"Ed_Ad2", "ﾚﾍﾞﾙ2:", ""}},
       {},
       {},
       {},
       "GbAlpD"},
      {t2,
       "FEM,任意入力時の地震時地盤ばね定数[kN/m3]　横方向照査",
       1,
       Rows{{"Ed_YokoKh", "側壁の水平方向ばね定数 (Kh) :", ""},
            {"Ed_YokoKv", "底版の鉛直方向ばね定数 (Kv) :", ""},
            {"Ed_YokoKss", "側壁のせん断ばね定数 　(Kss):", ""},
            {"Ed_YokoKsb", "底版のせん断ばね定数　 (Ksb):", ""}},
       {"L1", "L2"},
       {"1", "2"},
       {},
       "GBoxK"},
      {t2,
       "FEM,任意入力時の地震時地盤ばね定数[kN/m3]　縦方向照査",
       1,
       Rows{{"Ed_TateKh", "側壁の水平方向ばね定数 (Kh) :", ""},
            {"Ed_TateKv", "底版の鉛直方向ばね定数 (Kv) :", ""},
            {"Ed_TateKss", "側壁のせん断ばね定数 　(Kss):", ""},
            {"Ed_TateKsb", "底版のせん断ばね定数　 (Ksb):", ""}},
       {"L1", "L2"},
       {"1", "2"},
       {},
       "GBoxK2"},
      {t3, "", 0, Rows{{"Grid1", "部材荷重一覧", ""}}},
  };
  return p;
}

PageLayout MaterialLayout() {
  PageLayout p;
  p.picture = false;
  const std::vector<std::string> heads = {"ﾌﾞﾛｯｸ部", "頂版ｽﾗﾌﾞ", "底 版", "端 壁"};
  const std::vector<std::string> four = {"1", "2", "3", "4"};
  p.groups = {
      {"", "", 0,
       Rows{{"Kjn", "設計基準強度      (σck):", ""}, {"Syurui", "鉄筋の種類      　　　  :", ""}},
       heads, four},
      {"", "常時の許容応力度 [N/mm2]", 0,
       Rows{{"nSca", "曲げ圧縮応力度  (σca):", ""},
            {"nTa", "せん断応力度     (τa):", ""},
            {"nSfa", "付着応力度      (σfa):", ""}},
       heads, four},
      {"", "L1地震時の許容応力度 [N/mm2]", 0,
       Rows{{"gSca", "曲げ圧縮応力度  (σca):", ""},
            {"gTa", "せん断応力度     (τa):", ""},
            {"gSfa", "付着応力度      (σfa):", ""}},
       heads, four},
      {"", "鉄筋の強度 [N/mm2]", 0,
       Rows{{"nSsa", "常時の引張応力度 (σsa):", ""}, {"gSsa", "L1地震時の引張応力度 (σsa):", ""}},
       heads, four},
      {"", "Ｌ２地震時の材料強度 [N/mm2]", 0,
       Rows{{"f1ck", "ｺﾝｸﾘｰﾄの圧縮強度 (f'ck):", ""},
            {"fyk", "鉄筋の引張降伏強度 (fyd):", ""},
            {"fwyd", "鉄筋のせん断降伏強度 (fwyd):", ""}},
       heads, four},
      {"", "鉄筋コンクリートの材料特性", 0,
       Rows{{"Gc", "単位体積重量 (γc):", "(kN/m3)"},
            {"Ec", "ｺﾝｸﾘｰﾄのﾔﾝｸﾞ係数 (Ec):", "(N/mm2)"},
            {"Es", "鉄筋のﾔﾝｸﾞ係数 (Es):", "(N/mm2)"}},
       heads, four},
      {"", "", 0, Rows{{"Gcm", "無筋コンクリートの単位体積重量 (γc'):", "(kN/m3)"}}},
      {"", "", 0, Rows{{"RgMudRule", "L2曲げ耐力の算定 :", ""}}},
      {"",
       "終局限界状態の安全係数",
       1,
       Rows{{"", "材料係数", ""},
            {"Cgc", "ｺﾝｸﾘｰﾄ　     (γc):", ""},
            {"Gs", "鉄筋         (γs):", ""},
            {"", "部材係数", ""},
            {"Gb", "曲げ軸力     (γb):", ""},
            {"Tc", "ｺﾝｸﾘｰﾄのせん断    :", ""},
            {"Ts", "鉄筋のせん断      :", ""},
            {"", "荷重係数", ""},
            {"Gf", "自 重        (γf):", ""},
            {"Pa", "土 圧             :", ""},
            {"Pw", "水 圧             :", ""},
            {"Qu", "載荷荷重          :", ""},
            {"Pi", "内 水 圧          :", ""},
            {"Ip", "慣 性 力          :", ""},
            {"Ga", "構造解析係数 (γa):", ""},
            {"Gi", "構造物係数   (γi):", ""}},
       {"震度法 ﾓｰﾄﾞ判定", "震度法 終局耐力", "応答変位法 終局耐力"},
       {"1", "2", "3"}},
  };
  return p;
}

bool IsBlank(const std::string& s, std::size_t i, std::size_t* len) {
  if (s[i] == ' ') {
    *len = 1;
    return true;
  }
  if (s.compare(i, 3, "\xE3\x80\x80") == 0) {  // ideographic space
    *len = 3;
    return true;
  }
  return false;
}

}  // namespace

// The member-force page: the figure above, the case, the diagram, the
// magnification and the direction stacked below it (the ten columns of
// cases take the page's width).
PageLayout MemberForceLayout() {
  PageLayout p;
  p.groups = {
      {"", "", 0, Rows{{"RgKajyuType", "荷重ケース", "", 10}}},
      {"", "", 0, Rows{{"RgType2", "断面力図", "", 3}, {"RgScale", "グラフの倍率", "", 6}}},
      {"",
       "表示方向",
       0,
       Rows{{"RbYoko", "横", ""}, {"RbTate", "縦", ""}},
       {},
       {},
       {},
       "GroupBox1"},
  };
  return p;
}

const PageLayout& LayoutOf(FormId id) {
  static const PageLayout model = ModelLayout();
  static const PageLayout ground = GroundLayout();
  static const PageLayout points = PointsLayout();
  static const PageLayout loads = LoadsLayout();
  static const PageLayout material = MaterialLayout();
  static const PageLayout member_force = MemberForceLayout();
  static const PageLayout dims = [] {
    PageLayout p;  // the fields are the page's own (per selected block)
    return p;
  }();
  static const PageLayout none = [] {
    PageLayout p;
    p.picture = false;
    return p;
  }();
  switch (id) {
    case FormId::kModel:
      return model;
    case FormId::kGround:
      return ground;
    case FormId::kDimensions:
      return dims;
    case FormId::kPoints:
      return points;
    case FormId::kLoads:
      return loads;
    case FormId::kMaterial:
      return material;
    case FormId::kMemberForce:
      return member_force;
    default:
      return none;
  }
}

std::string AccessibleCaption(const std::string& caption) {
  std::string out;
  bool blank = false;
  for (std::size_t i = 0; i < caption.size();) {
    std::size_t len = 0;
    if (IsBlank(caption, i, &len)) {
      blank = !out.empty();
      i += len;
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += caption[i++];
  }
  // A trailing colon, ASCII or full-width, is layout, not name.
  for (;;) {
    if (!out.empty() && out.back() == ':')
      out.pop_back();
    else if (out.size() >= 3 && out.compare(out.size() - 3, 3, "：") == 0)
      out.resize(out.size() - 3);
    else
      break;
    while (!out.empty() && out.back() == ' ') out.pop_back();
  }
  return out;
}

}  // namespace vaultra::gui
