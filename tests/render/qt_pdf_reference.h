// The pages painted through Qt's PDF engine, as the printer path paints
// them: the reference the PDF written from the records is compared with.
#pragma once

#include <string>
#include <vector>

#include "report/page_record.h"

namespace vaultra::test {

std::string QtReferencePdf(const PageRecords& records, const std::vector<int>& page_slots);

}  // namespace vaultra::test
