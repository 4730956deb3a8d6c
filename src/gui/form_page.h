// An input page laid out from its layout table (page_layout.h): the picture
// canvas, the groups of captioned controls in columns or on tabs, the grids
// with their two-line headers. Every control carries the caption read
// beside it as its accessible name. The form-state record stays the truth:
// the widgets are filled from it (with their signals blocked, so that
// filling never runs a change handler) and written back into it.
#pragma once

#include <QString>
#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/document/form_state.h"
#include "app/document/project_state.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QTabWidget;
class QVBoxLayout;

namespace vaultra::gui {

class FigureCanvas;
struct PageLayout;

// Where Enter moves in a grid: one column right (wrapping to the first
// editable column of the next row, the last row stays) or, with `down`,
// one row down (wrapping to the first data row of the next column, the
// last column stays). Rows and columns are the grid's own (fixed included).
// A numeric field's text read whole: blanks around it, full-width digits
// and a C-locale decimal number with an optional exponent; nothing else
// (no trailing letters, no "inf", "nan" or hexadecimal). Empty when the
// text is no number or not finite.
std::optional<double> ReadWholeNumber(std::string_view cp932);

// Why a numeric field refuses `text` under its tag (cp932, empty when the
// text is taken): no number, not finite, a fraction in a whole-number
// field, or wider than the field's width (tag: width w, d decimals), so
// the range the field can hold is named.
std::string FieldRefusal(std::string_view text, int tag);
// The range a tag's field can hold, as "MIN ～ MAX" (cp932).
std::string FieldRangeText(int tag);

struct CellPos {
  int row = 0, col = 0;
  bool operator==(const CellPos&) const = default;
};
CellPos NextCell(CellPos at, int rows, int cols, int fixed_rows, int fixed_cols, bool down);

// A number as shown: "-0.000" (a negative value rounded to zero) reads "0.000".
QString WithoutNegativeZero(const QString& text);

// A string grid shown as a table: the grid's fixed rows are the header
// (two lines split at ","), its data rows the table's rows, so table row r
// is grid row r + fixed_rows. Enter, Delete and finished edits are signalled.
class GridTable : public QTableWidget {
  Q_OBJECT
 public:
  explicit GridTable(QWidget* parent = nullptr);
  void Fill(const GridData& g);
  // The cell texts back into g (data rows only).
  void Take(GridData& g) const;
  int fixed_rows() const { return fixed_rows_; }
  int fixed_cols() const { return fixed_cols_; }
  // Header and fixed-column background, data background, data text (0x00BBGGRR).
  void SetColours(int fixed_bg, int data_bg, int data_fg);
  // What a data cell shows for its text (the ground grid's soil kind, the
  // points table's member type); table row and column.
  void SetDisplay(std::function<QString(int row, int col, const QString& text)> f) {
    display_ = std::move(f);
  }
  // A column never shown (the ground grid's number column: the row header shows it).
  void HideColumn(int col) { hidden_col_ = col; }
  // The row drawn highlighted (cyan), -1 for none; table rows.
  void SetHighlightRow(int row);
  // The caption above the row numbers (the hidden number column's header).
  void SetCornerText(const QString& text);

 signals:
  void enterPressed(int row, int col);  // table row and column of the current cell
  void deletePressed(int row, int col);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void updateGeometries() override;

 private:
  friend class GridPainter;
  QLabel* corner_ = nullptr;
  int fixed_rows_ = 1;
  int fixed_cols_ = 0;
  int fixed_bg_ = 0xE8E8E8, data_bg_ = 0xFFFFFF, data_fg_ = 0;
  int highlight_row_ = -1;
  int hidden_col_ = -1;
  std::function<QString(int, int, const QString&)> display_;
};

class FormPage : public QWidget {
  Q_OBJECT
 public:
  // The layout of `id` over the controls of `designed` (the page's designed
  // record): every control gets its widget once.
  FormPage(FormId id, const QString& title, const FormState& designed, QWidget* parent = nullptr);
  // A page that brings its own layout table (the result pages).
  FormPage(const PageLayout& layout, const QString& title, const FormState& designed,
           QWidget* parent = nullptr);
  // A page with only the record's controls in one column (tests, forms without a layout).
  FormPage(const QString& title, QWidget* parent = nullptr);

  // Fills the widgets from the record (signals blocked).
  void Load(const FormState& form);
  // Writes the widgets' values into the record.
  void Store(FormState& form) const;

  QWidget* WidgetOf(const std::string& name) const;
  QLabel* CaptionOf(const std::string& name) const;
  QGroupBox* GroupOf(const std::string& object_name) const;
  GridTable* TableOf(const std::string& name) const;
  FigureCanvas* canvas() const { return canvas_; }
  // The panel below the groups where a page adds its own widgets.
  QVBoxLayout* extra_area() const { return extra_; }
  // Shows or hides a control with its caption and unit.
  void SetControlVisible(const std::string& name, bool on);
  // Draws an edit field's text red or black.
  void SetFieldRed(const std::string& name, bool red);
  bool filling() const { return filling_ > 0; }

 signals:
  // A control was changed by the user: an edit field left (after its text
  // was formatted by its tag), a list choice, a button click.
  void edited(const QString& name);
  // A numeric field refused what was typed (the text is back to the last
  // value taken); the message names the field and its range.
  void refused(const QString& message);

 private:
  struct Binding {
    std::string name;
    ControlKind kind;
    QWidget* widget = nullptr;
    QButtonGroup* buttons = nullptr;  // radio group
  };
  QWidget* MakeWidget(const Control& c, QWidget* parent, const QString& caption);
  void Init(const PageLayout& layout, bool beside, const QString& title, const FormState& designed);
  void BuildFromLayout(const PageLayout& layout, const FormState& designed);
  void BuildPlain(const FormState& form);
  void Fill(const Control& c, const Binding& b);
  void Take(Control& c, const Binding& b) const;
  const Binding* Find(const std::string& name) const;
  bool eventFilter(QObject* o, QEvent* e) override;

  QWidget* body_ = nullptr;
  QVBoxLayout* extra_ = nullptr;
  FigureCanvas* canvas_ = nullptr;
  QWidget* hidden_ = nullptr;  // parent of the controls no layout row shows
  std::vector<Binding> bindings_;
  std::map<std::string, QLabel*> captions_;
  std::map<std::string, std::vector<QWidget*>> companions_;  // caption and unit of a control
  std::map<std::string, QButtonGroup*> radio_groups_;
  std::map<std::string, QGroupBox*> groups_;
  std::map<std::string, GridTable*> tables_;
  int filling_ = 0;
  std::map<const QWidget*, QString> accepted_;  // numeric fields: the last text taken
};

}  // namespace vaultra::gui
