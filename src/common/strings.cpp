#include "common/strings.h"

#include <climits>
#include <cstddef>

namespace vtx {
namespace {

constexpr char kBackslash = '\\';

// The fields of `source` split at every occurrence of a non-empty delimiter.
std::vector<std::string_view> SplitFields(std::string_view source, std::string_view delimiter) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (size_t pos = source.find(delimiter); pos != std::string_view::npos;
         pos = source.find(delimiter, start)) {
        fields.push_back(source.substr(start, pos - start));
        start = pos + delimiter.size();
    }
    fields.push_back(source.substr(start));
    return fields;
}

}  // namespace

std::string GetField(std::string_view source, int index, std::string_view delimiter, int count) {
    if (source.empty() || source.find(delimiter) == std::string_view::npos) return {};

    // An empty delimiter occurs everywhere but splits nothing: the source is its only
    // field.
    const std::vector<std::string_view> fields =
        delimiter.empty() ? std::vector<std::string_view>{source} : SplitFields(source, delimiter);
    const auto exists = [&](long long number) {
        return number >= 1 && number <= static_cast<long long>(fields.size());
    };

    if (count < 2) return exists(index) ? std::string(fields[static_cast<size_t>(index) - 1]) : std::string();

    std::string result;
    const long long last = static_cast<long long>(index) + count - 1;
    for (long long number = index; number <= last && exists(number); ++number) {
        result.append(fields[static_cast<size_t>(number) - 1]);
        result.append(delimiter);
    }
    return result;
}

int CountSubstring(std::string_view text, std::string_view search) {
    // An empty search text has no place where it starts.
    if (text.empty() || search.empty()) return 0;
    int count = 0;
    for (size_t pos = text.find(search); pos != std::string_view::npos; pos = text.find(search, pos + 1)) ++count;
    return count;
}

std::string GetFileName(std::string_view path, bool withExtension) {
    const size_t slash = path.rfind(kBackslash);
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (!withExtension) {
        const size_t dot = name.rfind('.');
        if (dot != std::string_view::npos) name = name.substr(0, dot);
    }
    return std::string(name);
}

std::string GetExtension(std::string_view path) {
    // Only the dot counts: C:\x.y\file gives y\file.
    const size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

std::string GetParentPath(std::string_view path) {
    const size_t slash = path.rfind(kBackslash);
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::vector<std::string> CreatePathLevels(std::string_view path) {
    std::string folder(path);
    if (folder.empty() || folder.back() != kBackslash) folder.push_back(kBackslash);

    // A network path's first two fields are empty and the third is the server, so
    // its first creatable level is \\server\share\ (field count 4).
    const bool network = folder.size() >= 2 && folder[0] == kBackslash && folder[1] == kBackslash;
    const int separators = CountSubstring(folder, "\\");
    const int first = network ? 4 : 2;
    const int depth = network ? separators - 2 : separators;
    if (depth <= 1) return {};  // a drive root, a bare server or a single name

    std::vector<std::string> levels;
    for (int count = first; count <= separators; ++count) levels.push_back(GetField(folder, 1, "\\", count));
    return levels;
}

bool IsRootFolder(std::string_view path) {
    while (!path.empty() && path.back() == kBackslash) path.remove_suffix(1);
    if (path.empty()) return true;
    if (path.size() == 2 && path[1] == ':') return true;
    if (path.size() > 2 && path[0] == kBackslash && path[1] == kBackslash) {
        const size_t serverEnd = path.find(kBackslash, 2);
        return serverEnd == std::string_view::npos || path.find(kBackslash, serverEnd + 1) == std::string_view::npos;
    }
    return false;
}

void LineCounter::Feed(std::string_view bytes) {
    for (const char byte : bytes) {
        if (byte == '\r') {
            if (lines_ < LONG_MAX) ++lines_;
            pendingText_ = false;
            afterCr_ = true;
        } else if (byte == '\n' && afterCr_) {
            afterCr_ = false;  // the LF of a CR LF, whose CR already ended the line
        } else {
            pendingText_ = true;  // a lone LF is text of the line like any other byte
            afterCr_ = false;
        }
    }
}

long LineCounter::Finish() const { return pendingText_ && lines_ < LONG_MAX ? lines_ + 1 : lines_; }

std::string GroupDigits(std::string_view digits, std::string_view separator) {
    std::string text;
    text.reserve(digits.size() + digits.size() / 3 * separator.size());
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += separator;
        text += digits[i];
    }
    return text;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace vtx
