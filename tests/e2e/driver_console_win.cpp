#include "e2e/driver_console_win.h"

#include <thread>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "e2e/driver_win.h"

namespace vtx::testing {
namespace {

// A pipe whose write end a child inherits; the read end stays here.
struct Pipe {
    KernelHandle read;
    KernelHandle write;
    bool Open() {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE r = nullptr, w = nullptr;
        if (!CreatePipe(&r, &w, &inherit, 0)) return false;
        read.reset(r);
        write.reset(w);
        return SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0) != FALSE;
    }
};

void Drain(HANDLE pipe, std::string& bytes) {
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &count, nullptr) && count > 0) bytes.append(buffer, count);
}

}  // namespace

ToolRun RunTool(const std::string& exe, const std::string& arguments, const std::string& folder, DWORD timeoutMs) {
    ToolRun run;
    Pipe output, error;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    FileHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                 nullptr));
    if (!output.Open() || !error.Open() || !input) return run;
    ToolProcess tool;
    const StandardHandles standard{input.get(), output.write.get(), error.write.get()};
    if (!tool.Launch(exe, arguments, folder, &standard)) return run;
    // Only the child holds the write ends now: the reads end with the child.
    output.write.reset();
    error.write.reset();
    std::thread readOutput([&] { Drain(output.read.get(), run.output); });
    std::thread readError([&] { Drain(error.read.get(), run.error); });
    run.exitCode = tool.WaitForExit(timeoutMs);
    if (run.exitCode == -1) tool.Close(0);  // ends it, which ends the reads
    readOutput.join();
    readError.join();
    return run;
}

bool HasConsole() {
    FileHandle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(console);
}

ConsoleScope::ConsoleScope(bool ownConsole)
    : saved_{GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_ERROR_HANDLE)} {
    if (HasConsole()) return;
    // A console nothing can be written to (Wine gives one to a program whose
    // output is a pipe) is no loss.
    FreeConsole();
    allocated_ = ownConsole && AllocConsole();
    ready_ = !ownConsole || allocated_;
}

ConsoleScope::~ConsoleScope() {
    if (!allocated_) return;
    FreeConsole();
    SetStdHandle(STD_INPUT_HANDLE, saved_[0]);
    SetStdHandle(STD_OUTPUT_HANDLE, saved_[1]);
    SetStdHandle(STD_ERROR_HANDLE, saved_[2]);
}

std::vector<std::string> ConsoleScope::Rows() const {
    std::vector<std::string> rows;
    FileHandle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!console || !GetConsoleScreenBufferInfo(console.get(), &info)) return rows;
    const SHORT width = info.dwSize.X;
    std::wstring row(static_cast<size_t>(width > 0 ? width : 0), L' ');
    for (SHORT y = 0; y < info.dwSize.Y && width > 0; ++y) {
        DWORD read = 0;
        ReadConsoleOutputCharacterW(console.get(), row.data(), width, COORD{0, y}, &read);
        std::wstring text = row.substr(0, read);
        text.erase(text.find_last_not_of(L' ') + 1);
        rows.push_back(Narrow(text));
    }
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    return rows;
}

ConsoleRun RunToolInConsole(const std::string& exe, const std::string& arguments, DWORD timeoutMs) {
    ConsoleRun run;
    ConsoleScope console(true);
    ToolProcess tool;
    const StandardHandles none;
    if (!console.ready()) {
        run.exitCode = -2;
        return run;
    }
    if (!tool.Launch(exe, arguments, "", &none)) return run;
    run.exitCode = tool.WaitForExit(timeoutMs);
    if (run.exitCode == -1) tool.Close(0);
    run.rows = console.Rows();
    return run;
}

std::vector<std::string> AnsiLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        lines.push_back(FromAnsi(bytes.substr(start, end - start)));
        start = end + 2;
    }
    if (start < bytes.size()) lines.push_back(FromAnsi(bytes.substr(start)) + "<no CR LF>");
    return lines;
}

}  // namespace vtx::testing
