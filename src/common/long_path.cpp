#include "common/long_path.h"

#include <vector>

namespace vtx {
namespace {

enum class Kind { Drive, Share, Other };

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

struct Parsed {
    Kind kind = Kind::Other;
    std::string root;  // "C:\" or "server\share\"
    std::string_view rest;
};

// Splits an absolute path into its root and the part below it.
Parsed Parse(std::string_view path) {
    Parsed parsed;
    if (path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
        parsed.kind = Kind::Drive;
        parsed.root = std::string(path.substr(0, 2)) + "\\";
        parsed.rest = path.substr(3);
        return parsed;
    }
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return parsed;
    // \\?\ and \\.\ (also spelled with slashes) are already extended or name a device.
    if (path.size() >= 3 && (path[2] == '?' || path[2] == '.') && (path.size() == 3 || IsSeparator(path[3])))
        return parsed;
    // \\server\share: both names present and not empty.
    size_t at = 2;
    std::string names[2];
    for (std::string& name : names) {
        while (at < path.size() && IsSeparator(path[at])) ++at;
        const size_t start = at;
        while (at < path.size() && !IsSeparator(path[at])) ++at;
        name = std::string(path.substr(start, at - start));
        if (name.empty()) return parsed;
    }
    parsed.kind = Kind::Share;
    parsed.root = names[0] + "\\" + names[1] + "\\";
    parsed.rest = path.substr(at);
    return parsed;
}

std::string Resolve(const Parsed& parsed) {
    std::vector<std::string_view> components;
    std::string_view rest = parsed.rest;
    const bool trailing = !rest.empty() && IsSeparator(rest.back());
    while (!rest.empty()) {
        size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end])) ++end;
        const std::string_view component = rest.substr(0, end);
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            if (!components.empty()) components.pop_back();
            continue;
        }
        components.push_back(component);
    }
    std::string resolved = parsed.root;
    for (size_t i = 0; i < components.size(); ++i) {
        if (i > 0) resolved += '\\';
        resolved += components[i];
    }
    if (trailing && !components.empty()) resolved += '\\';
    return resolved;
}

}  // namespace

std::string ResolvedPath(std::string_view path) {
    const Parsed parsed = Parse(path);
    if (parsed.kind == Kind::Other) return std::string(path);
    std::string resolved = Resolve(parsed);
    return parsed.kind == Kind::Share ? "\\\\" + resolved : resolved;
}

std::string ExtendedPath(std::string_view path) {
    const Parsed parsed = Parse(path);
    if (parsed.kind == Kind::Other) return std::string(path);
    return (parsed.kind == Kind::Share ? "\\\\?\\UNC\\" : "\\\\?\\") + Resolve(parsed);
}

}  // namespace vtx
