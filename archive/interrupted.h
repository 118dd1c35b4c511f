#pragma once
// Opening an archive first puts right what a change cut short by a dying process left beside
// it, from the record that change wrote before it began (ops/operation_record.h): a write-ahead
// record is written over the data file again, a rebuild's old .img is put back while its new
// directory was still aside, and the temporary files are removed.
#include <optional>
#include <string>

#include "platform/file.h"

namespace vandrel {

// Whether a change cut short left its record beside the archive.
bool HasInterrupted(IFileSystem& files, const std::wstring& img);

// What was found and done, for the user; nothing when there was nothing to tell. Raises, with
// the reason, when the archive could not be put right; its record then stays for another try.
std::optional<std::wstring> RecoverInterrupted(IFileSystem& files, const std::wstring& img);

}  // namespace vandrel
