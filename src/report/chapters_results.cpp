// Chapter 22 (analysis results), the transverse section checks and the
// transverse joints. Not written yet: the report has no result or check
// chapters until they are.
#include "report/chapters.h"

namespace vaultra {

void PrintResultChapters(ReportContext&) {}
void PrintTransverseJointChapter(ReportContext&) {}

}  // namespace vaultra
