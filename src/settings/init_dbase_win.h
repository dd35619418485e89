// The jukebox's settings database DataDir + "\Init.vtx", process-wide: one
// in-memory copy of the file and one cipher object for the life of the program.
// Names and values are UTF-8 here and ANSI bytes in the file.
#pragma once
#include <string>

namespace vtx {

// The value stored for `name` (or, with returnRecordNumber, the record number as
// decimal text); `defaultValue` when nothing usable is found.
std::string ReadDbValue(const std::string& name, bool returnRecordNumber, const std::string& defaultValue);
// Stores `value` under `name`, replacing its record or appending one. Returns false
// when nothing was written (too long, past the last addressable record, file error).
bool WriteDbValue(const std::string& name, const std::string& value);
// Reads the whole file into memory. False when it cannot be read.
bool LoadDb();
// Marks the in-memory copy stale, so the next read loads the file again.
void InvalidateDb();

}  // namespace vtx
