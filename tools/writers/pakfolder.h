// Packing a folder into an archive, as aqtool pack and the content generator
// do: every regular file under the folder, stored under its path relative to
// it ('\' separated, upper case) in entry-name order, so the same files give
// the same archive bytes.
#pragma once

#include <string>

// Writes the archive output from every regular file under root, output itself
// excepted. False when a file cannot be read, is too large for an entry, or
// two names differ only in case; each message starts with reporter.
bool PakFolder(const std::string& root, const std::string& output, const char* reporter);
