// Runs the tool's command-line modes from the test process: standard output and
// standard error caught through pipes, as a script that calls the tool gets them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vtx::testing {

struct ToolRun {
    int exitCode = -1;   // -1: did not end in time (and was ended)
    std::string output;  // the bytes written to standard output
    std::string error;   // ... and to standard error
};

// Runs `exe` with `arguments` in `folder` ("" = the exe's own folder), standard
// input empty, and waits for its end.
ToolRun RunTool(const std::string& exe, const std::string& arguments, const std::string& folder = "",
                DWORD timeoutMs = 120000);

// True when this process has a console it can write to (run from a terminal
// rather than through ctest). ConsoleScope needs a process without one: a console
// once left cannot be got back, and this process's own output would be lost.
bool HasConsole();

// For its lifetime, with `ownConsole`, this process has a new console of its own
// that a program it starts may attach to; without, it stays without a console, so
// that such a program finds none either (as when Explorer or a link starts it).
// Not ready when the process has a console already (see HasConsole).
class ConsoleScope {
public:
    explicit ConsoleScope(bool ownConsole);
    ConsoleScope(const ConsoleScope&) = delete;
    ConsoleScope& operator=(const ConsoleScope&) = delete;
    ~ConsoleScope();
    bool ready() const { return ready_; }
    // The rows of the own console: trailing blanks cut, empty rows at the end left
    // out.
    std::vector<std::string> Rows() const;

private:
    HANDLE saved_[3];
    bool ready_ = false;
    bool allocated_ = false;
};

// Runs `exe` with `arguments` as from a command prompt without redirection: no
// standard handles, a console of its parent's. `rows` of that console afterwards;
// `exitCode` as above, -2 when no console could be made (see HasConsole).
struct ConsoleRun {
    int exitCode = -1;
    std::vector<std::string> rows;
};
ConsoleRun RunToolInConsole(const std::string& exe, const std::string& arguments, DWORD timeoutMs = 120000);

// Text in the ANSI code page, cut into UTF-8 lines at each CR LF. A rest after the
// last CR LF comes last, marked "<no CR LF>", so that a comparison shows it.
std::vector<std::string> AnsiLines(const std::string& bytes);

}  // namespace vtx::testing
