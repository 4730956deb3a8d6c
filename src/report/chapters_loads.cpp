// Chapters 13 to 21: loads, analysis model, load states, combinations and
// supports, points of interest. Not written yet: the report has no load
// chapters until they are.
#include "report/chapters.h"

namespace vaultra {

void PrintLoadChapters(ReportContext&) {}

}  // namespace vaultra
