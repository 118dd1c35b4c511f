#pragma once
// What list and check print: a table for people, or one JSON object for scripts. Names are
// turned from the archive's code page into UTF-8.
#include <ostream>
#include <vector>

#include "archive/archive_check.h"
#include "archive/img_archive.h"

namespace vandrel::cli {

// The entries in `order` (entry indices, as the list shows them), after the layout and count.
void PrintList(std::ostream& out, const TIMGArchive& archive, const std::vector<int>& order,
               bool json);

void PrintCheck(std::ostream& out, const TIMGArchive& archive, const CheckReport& report,
                bool json);

}  // namespace vandrel::cli
