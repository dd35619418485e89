// String and path helpers shared by all parts of the program. Portable: no Windows
// headers. All searches and comparisons are exact (case-sensitive, byte by byte on
// UTF-8). Paths use the backslash as separator.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vtx {

// Splits `source` at `delimiter` into fields numbered from 1. A source without the
// delimiter yields "" for every index. count < 2: the field `index` itself (or "").
// count >= 2: fields index .. index+count-1, each followed by the delimiter, up to
// the first that does not exist.
std::string GetField(std::string_view source, int index, std::string_view delimiter, int count = 1);

// Number of places where `search` starts in `text`; overlapping matches count.
int CountSubstring(std::string_view text, std::string_view search);

// The part after the last backslash; without extension cut before its last ".".
std::string GetFileName(std::string_view path, bool withExtension);

// Everything after the last "." of the whole path ("" when there is none).
std::string GetExtension(std::string_view path);

// Everything before the last backslash ("" when there is none).
std::string GetParentPath(std::string_view path);

// The folder prefixes CreatePath must make exist, in order (each ends with a
// backslash); empty when the path needs no creation (drive root, single name).
std::vector<std::string> CreatePathLevels(std::string_view path);

// True for a path that names a whole drive or share rather than a folder on it:
// "", "\", "X:", "X:\", "\\server", "\\server\share" (trailing backslashes ignored).
// Deleting such a folder's contents would empty the drive.
bool IsRootFolder(std::string_view path);

// The one comparison that is not exact: A-Z and a-z alike, every other byte
// exact. For names Windows compares without case (programs, event sources)
// where both sides are ASCII in practice.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

// A run of decimal digits with `separator` between each group of three, counted
// from the right: "1234567" -> "1.234.567" with ".".
std::string GroupDigits(std::string_view digits, std::string_view separator);

// Counts text lines as sequential text reading does: a line ends at CR LF or at a
// lone CR; a lone LF does not end a line; a last line without line end counts.
class LineCounter {
public:
    void Feed(std::string_view bytes);
    long Finish() const;

private:
    long lines_ = 0;
    bool pendingText_ = false;  // bytes seen since the last line end
    bool afterCr_ = false;      // the last byte was a CR (an LF now belongs to it)
};

}  // namespace vtx
