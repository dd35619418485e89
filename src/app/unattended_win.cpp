#include "app/unattended_win.h"

#include <windows.h>
#include <shellapi.h>

#include <exception>

#include "app/console_win.h"
#include "app/control_ids.h"
#include "app/export_request_win.h"
#include "app/report_facts_win.h"
#include "profile/system_profile_facts_win.h"
#include "common/unicode_win.h"
#include "export/environment_export_win.h"
#include "export/export_archive_win.h"
#include "export/export_layout.h"
#include "report/report_file_win.h"
#include "report/report_text.h"
#include "settings/init_dbase_win.h"

namespace vtx {
namespace {

// A path given on the command line, made absolute against the current folder, so
// that messages name the real place.
std::string FullPath(const std::string& path) {
    const std::wstring wide = Widen(path);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    return Narrow(full);
}

// Where the command line cannot be answered on a stream, a box answers it.
void Tell(StandardStreams& streams, bool toOutput, const std::string& text, UINT icon) {
    if (toOutput ? streams.WriteOutput(text) : streams.WriteError(text)) return;
    MessageBoxW(nullptr, Widen(text).c_str(), VTX_MAIN_CAPTION, MB_OK | icon);
}

int RunReport(const CommandLine& command, const std::vector<std::string>& lines, StandardStreams& streams) {
    if (command.path.empty()) {
        if (streams.WriteOutput(ReportText(lines))) return kExitSuccess;
        streams.WriteError("Der Bericht konnte nicht auf die Standardausgabe geschrieben werden.\r\n");
        return kExitFailed;
    }
    const std::string file = FullPath(command.path);
    if (WriteReportFile(file, lines)) return kExitSuccess;
    streams.WriteError("Der Bericht konnte nicht in die Datei " + file + " geschrieben werden.\r\n");
    return kExitFailed;
}

int RunSystemProfile(const CommandLine& command, const MainState& state, StandardStreams& streams) {
    const std::vector<std::string> lines = GatherSystemProfileLines(state);
    if (command.path.empty()) {
        if (streams.WriteOutput(ReportText(lines))) return kExitSuccess;
        streams.WriteError("Das Systemprofil konnte nicht auf die Standardausgabe geschrieben werden.\r\n");
        return kExitFailed;
    }
    const std::string file = FullPath(command.path);
    if (WriteSystemProfileFile(file, lines)) return kExitSuccess;
    streams.WriteError("Das Systemprofil konnte nicht in die Datei " + file + " geschrieben werden.\r\n");
    return kExitFailed;
}

// The export, then its archive; the archive's path on standard output once it is
// written, so that a script can pick it up.
int RunExport(const CommandLine& command, const MainState& state, std::vector<std::string> lines,
              StandardStreams& streams, Prompts& prompts) {
    const std::string skinName = ReadDbValue("Skin", false, kExportSkinDefault);
    const ExportResult result =
        ExportEnvironment(MakeExportRequest(state, FullPath(command.path), skinName, std::move(lines)), &NoMessagePump);
    bool complete = result.outcome == ExportOutcome::Created;
    std::string message = result.message;
    if (result.outcome == ExportOutcome::Created || result.outcome == ExportOutcome::CreatedWithFailures) {
        const ArchiveResult archive = ArchiveExportFolder(result.folder, &NoMessagePump);
        if (archive.written && !streams.WriteOutput(archive.archive + "\r\n")) complete = false;
        complete = complete && archive.written;
        message = ClosingText(result, archive);
    }
    prompts.Message(nullptr, message, "", MB_OK | (complete ? MB_ICONINFORMATION : MB_ICONERROR));
    return complete ? kExitSuccess : kExitFailed;
}

int RunUnattended(const CommandLine& command, StandardStreams& streams) {
    // Nobody is there to close a system error box (a drive without a medium, say).
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    StandardErrorPrompts prompts(streams);
    MainState state;
    FormLoad(GatherStartupInputs(), prompts, nullptr, state);
    state.DebugInfo = command.debug;
    if (command.mode == RunMode::System) return RunSystemProfile(command, state, streams);
    std::vector<std::string> lines = GatherReportLines(state);
    return command.mode == RunMode::Report ? RunReport(command, lines, streams)
                                           : RunExport(command, state, std::move(lines), streams, prompts);
}

}  // namespace

std::vector<std::string> ProgramArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Narrow(argv[i]));
    LocalFree(argv);
    return arguments;
}

int RunCommandLine(const CommandLine& command) {
    StandardStreams streams;
    switch (command.mode) {
        case RunMode::Usage:
            Tell(streams, true, UsageText(), MB_ICONINFORMATION);
            return kExitSuccess;
        case RunMode::Invalid:
            Tell(streams, false, command.error + "\r\n\r\n" + UsageText(), MB_ICONERROR);
            return kExitBadArguments;
        case RunMode::Report:
        case RunMode::Export:
        case RunMode::System:
            try {
                return RunUnattended(command, streams);
            } catch (const std::exception& error) {
                streams.WriteError(std::string("Ein unerwarteter Fehler ist aufgetreten: ") + error.what() + "\r\n");
            } catch (...) {
                streams.WriteError("Ein unerwarteter Fehler ist aufgetreten.\r\n");
            }
            return kExitFailed;
        case RunMode::Window:
            break;
    }
    return kExitBadArguments;
}

}  // namespace vtx
