// One page of the PDF writer: the drawing commands of a page record as a
// content stream (text runs, strokes, fills, images).
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "report/page_record.h"
#include "report/pdf_objects.h"

namespace vaultra::pdf {

class ContentStream;

// Replays onto pages of the document: BeginPage, the commands of the page
// (ReplayPage), EndPage gives its content stream. Fonts are shared by the
// pages of a document; the state of pen, brush and font carries from page
// to page as on a printer.
class PageWriter : public DrawTarget {
 public:
  PageWriter(std::map<std::string, FontUse>& fonts, std::string* error);
  ~PageWriter() override;
  void BeginPage(double px_to_pt);
  std::string EndPage();
  // A font could not be read (the reason is in the error given).
  bool failed() const;
  // The images and hatch brushes the pages used, for the document's resources.
  const std::vector<std::shared_ptr<const RasterImage>>& images() const;
  const std::set<int>& patterns() const;
  void Execute(const PageCommand& c) override;

 private:
  std::unique_ptr<ContentStream> s_;
};

}  // namespace vaultra::pdf
