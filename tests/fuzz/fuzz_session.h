#pragma once
// One fuzz input's run: its bytes become an archive in a folder of its own, in a file system
// held in memory, which is opened through the scripted platform; then every command runs on
// what opened, one after another, as a user would give it. A run aborts when a command leaves
// the window busy, writes a file outside the archive's folder and the output folder, or leaves
// the record in memory differing from what the files hold; crashes, sanitizer reports,
// oversized allocations and hangs are the fuzzer's to catch. Files are capped at a few MiB, so
// a size taken from a damaged field meets a full disk.
#include <cstdint>
#include <optional>
#include <span>

namespace vandrel::fuzz {

// `dir` holds the version-1 directory file's bytes; without it the archive is a lone .img.
void RunSession(std::span<const uint8_t> img, std::optional<std::span<const uint8_t>> dir);

}  // namespace vandrel::fuzz
