// The print preview: the report built once, its recorded pages replayed at
// the window's size with a continuous scroll, the jump list from the
// contents, printing of all, the current or a range of pages through the
// print dialog, and the same pages written to a PDF. Printing and the PDF
// replay the recorded pages; the report is never run again for them.
#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/calc/preview_logic.h"
#include "report/build_report.h"
#include "report/print_engine.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;
class QScrollBar;

namespace vaultra::gui {

// Where the preview's report comes from.
struct PreviewSource {
  // Records the report into the engine (cover, contents, body).
  std::function<void(PrintEngine&, ReportBuild&)> build;
  // The calculation's generation (CalculationOps::generation): a build at
  // another generation is out of date.
  std::function<int()> generation;
  // The file name offered by "PDF に保存" (UTF-8, may be empty).
  std::function<std::string()> pdf_name;
};

class PreviewWindow : public QWidget {
  Q_OBJECT
 public:
  PreviewWindow(PreviewSource source, QWidget* parent = nullptr);
  ~PreviewWindow() override;

  // The report button: the report is built anew and shown.
  void Open();
  // Shown again: the pages are rebuilt when a calculation ran since their
  // build, otherwise only the display is refreshed.
  void Refresh();

  // The scroll position in twentieths of a page.
  void ScrollTo(int position);
  int position() const;

  // Printing: the dialog is replaced by `dialog` (tests set up the printer
  // and answer), the PDF name by `ask` (empty: cancelled).
  void SetPrintDialog(std::function<bool(QPrinter&)> dialog) { print_dialog_ = std::move(dialog); }
  void SetPdfDialog(std::function<std::optional<std::string>()> ask) {
    pdf_dialog_ = std::move(ask);
  }
  void PrintAllPages();
  void PrintCurrentPage();
  void PrintPageRange();
  // Writes every page to a PDF (path UTF-8); false with the reason.
  bool SaveAsPdf(const std::string& path_utf8, std::string* error);

  // The state the window shows (tests, benchmarks).
  const PreviewPages& pages() const { return pages_; }
  const PrintEngine& engine() const { return *engine_; }
  const ReportBuild& build() const { return build_; }
  const std::vector<JumpEntry>& jump_entries() const { return jumps_; }
  const QImage& image() const { return image_; }
  const PageView& view() const { return view_; }
  int current_page() const { return current_; }
  int builds() const { return builds_; }
  // The preview indices the last print command sent to the printer.
  const std::vector<int>& last_printed() const { return last_printed_; }
  QScrollBar* scroll_bar() const { return bar_; }
  QListWidget* jump_list() const { return jump_list_; }
  QWidget* page_area() const { return area_; }
  QCheckBox* page_by_page() const { return page_by_page_; }
  QLineEdit* range_start() const { return range_start_; }
  QLineEdit* range_end() const { return range_end_; }
  QPushButton* print_current_button() const { return print_current_; }

  // Renders the visible pages into the displayed image.
  void Redraw();

 protected:
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  struct Cache {
    int index = -1;  // -1: holds nothing
    int width = 0, height = 0;
    QImage half;  // the page at the displayed size
  };
  void Rebuild();
  void InvalidateCache();
  void FillCache(Cache& c, int index);
  void FillJumpList();
  void JumpClicked(int row);
  void ScrollChanged(int value);
  void PrintIndices(const std::vector<int>& indices, QWidget* panel);
  void SavePdfClicked();
  void PaintArea();

  PreviewSource source_;
  std::unique_ptr<PrintEngine> engine_;
  ReportBuild build_;
  PreviewPages pages_;
  std::vector<JumpEntry> jumps_;
  int built_generation_ = -1;
  int builds_ = 0;
  std::array<Cache, 2> cache_;
  QImage image_;
  PageView view_;
  int previous_position_ = 0;
  int current_ = 0;
  std::vector<int> last_printed_;
  std::function<bool(QPrinter&)> print_dialog_;
  std::function<std::optional<std::string>()> pdf_dialog_;

  QWidget* area_ = nullptr;
  QScrollBar* bar_ = nullptr;
  QListWidget* jump_list_ = nullptr;
  QWidget* print_panel_ = nullptr;
  QPushButton* print_all_ = nullptr;
  QPushButton* print_current_ = nullptr;
  QPushButton* print_range_ = nullptr;
  QPushButton* save_pdf_ = nullptr;
  QLineEdit* range_start_ = nullptr;
  QLineEdit* range_end_ = nullptr;
  QCheckBox* page_by_page_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace vaultra::gui
