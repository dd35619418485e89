// Which directory entries a walk of the file finder takes. Portable.
#pragma once

namespace vtx {

// The attribute mask of the export: read-only (1), archive (20), normal (80) and
// compressed (800), all hexadecimal. Files with none of these bits (hidden-only or
// system-only ones) are passed over.
inline constexpr unsigned kExportAttributeMask = 0x8A1;
// The directory bit: a mask holding it lets the file walk report subfolders too.
inline constexpr unsigned kDirectoryAttribute = 0x10;

// An entry is taken when its attributes share a bit with the mask, and, for a
// folder, only when the mask holds the directory bit.
constexpr bool MaskAccepts(unsigned attributes, unsigned mask) {
    return (attributes & mask) != 0 && (!(attributes & kDirectoryAttribute) || (mask & kDirectoryAttribute));
}

}  // namespace vtx
