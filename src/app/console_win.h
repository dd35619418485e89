// Standard output and standard error of the command-line modes. The program is a
// window program: a shell that redirects its output hands it files or pipes;
// otherwise it borrows the console of the process that started it.
//
// Text goes out in one of two ways:
// - to a console: as UTF-16 (WriteConsoleW), so every character shows whatever
//   the console's code page;
// - to a file or pipe: as bytes in the ANSI code page with CR LF, as VTX.log, so
//   that "/report > bericht.txt" writes the same bytes as "/report bericht.txt".
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "app/prompts_win.h"
#include "common/handles_win.h"

namespace vtx {

class StandardStreams {
public:
    // Takes the handles the process was given; where one is missing, attaches to
    // the parent's console (if it has one) and writes there.
    StandardStreams();
    StandardStreams(const StandardStreams&) = delete;
    StandardStreams& operator=(const StandardStreams&) = delete;

    // Writes UTF-8 `text` whole; false when there is no stream or a write failed.
    bool WriteOutput(std::string_view text) { return Write(output_, text); }
    bool WriteError(std::string_view text) { return Write(error_, text); }

private:
    struct Stream {
        HANDLE handle = nullptr;  // not owned, except through console_
        bool console = false;
    };
    static bool Write(const Stream& stream, std::string_view text);

    FileHandle console_;  // CONOUT$ of the parent's console, when attached
    Stream output_;
    Stream error_;
};

// The prompts of the command-line modes: every message goes to standard error as
// one line (title, a blank, text); nobody can answer a question, so a question is
// answered No (or Cancel).
class StandardErrorPrompts final : public Prompts {
public:
    explicit StandardErrorPrompts(StandardStreams& streams) : streams_(streams) {}
    int Message(HWND owner, const std::string& text, const std::string& title, UINT flags) override;

private:
    StandardStreams& streams_;
};

}  // namespace vtx
