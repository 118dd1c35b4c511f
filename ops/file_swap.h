#pragma once
// A file that is replaced whole is first written completely under a temporary name in its own
// folder and flushed; only then does it take the old file's place, in one step. Whatever stops
// the program meanwhile, the old file is still there under its name.
#include <string>
#include <vector>

#include "archive/img_format.h"
#include "platform/file.h"

namespace vandrel {

// `prefix` and a number below 9999 in the folder of `beside`, e.g. C:\games\TMPI4711.
std::wstring TemporaryName(const std::wstring& beside, const wchar_t* prefix);

// Whether a file name is one that a rebuild or a directory swap gives its temporary files.
bool IsTemporaryName(const std::wstring& fileName);

// A temporary name ("TMPD" and a number) beside `target` that no file has yet.
std::wstring FreeDirectoryName(IFileSystem& files, const std::wstring& target);

// Writes `bytes` under the temporary name `name` and flushes it. A failure leaves no file behind.
void WriteAside(IFileSystem& files, const std::wstring& name,
                const std::vector<unsigned char>& bytes);

// Puts a version-1 directory of exactly `entries` in place of the one at `dirPath`, beside the
// archive `img`, under a record that lets the archive's next opening remove what a process
// dying meanwhile left.
void ReplaceDirectoryFile(IFileSystem& files, const std::wstring& img, const std::wstring& dirPath,
                          const std::vector<TIMGFileEntry>& entries);

// Clean-up on the way out of a failure, which must not hide that failure.
void DeleteQuietly(IFileSystem& files, const std::wstring& path);

}  // namespace vandrel
