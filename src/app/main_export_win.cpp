// The export of the jukebox's environment and the settings reset.
#include <exception>
#include <memory>

#include "app/export_request_win.h"
#include "app/flag_scope.h"
#include "app/hand_over_win.h"
#include "app/main_window_win.h"
#include "common/directories.h"
#include "common/files_win.h"
#include "export/environment_export_win.h"
#include "export/export_archive_win.h"
#include "export/export_layout.h"
#include "settings/init_dbase_win.h"
#include "settings/settings_reset_win.h"

namespace vtx {
namespace {

constexpr UINT kInformationBox = MB_OK | MB_ICONINFORMATION;
constexpr UINT kCriticalBox = MB_OK | MB_ICONERROR;

// The last word of a handler that failed unexpectedly; never throws itself.
void TellUnexpected(Prompts& prompts, HWND owner, const char* action, const char* what) noexcept {
    try {
        std::string text = std::string(action) + " ist ein unerwarteter Fehler aufgetreten.";
        if (what && *what) text += "\n\n" + std::string(what);
        prompts.Message(owner, text, "", kCriticalBox);
    } catch (...) {
    }
}

}  // namespace

void Main::cmdCreateRuntime_Click() {
    if (actionRunning_) return;
    // A click that arrives while the export lets messages run is ignored.
    const FlagScope scope(actionRunning_);
    std::unique_ptr<WaitWindow> pleaseWait;
    try {
        prompts_.Message(hwnd(), kExportInfoText, kInfoTitle, kInformationBox);

        const std::string skinName = ReadDbValue("Skin", false, kExportSkinDefault);
        const std::string chosenFolder = prompts_.PickFolder(hwnd(), kPickFolderTitle);
        ExportDir = chosenFolder;
        if (chosenFolder.empty()) return;

        pleaseWait = std::make_unique<WaitWindow>();
        pleaseWait->ShowProgress();
        ExportDir = ExportFolderIn(chosenFolder);
        const ExportRequest request = MakeExportRequest(state_, chosenFolder, skinName, LogLines());

        ExportProgress progress;
        const ExportResult result = RunExportWalk(request, *pleaseWait, progress);
        switch (result.outcome) {
            case ExportOutcome::Created:
            case ExportOutcome::CreatedWithFailures: {
                const ArchiveResult archive = RunArchive(result.folder, *pleaseWait, progress);
                if (archive.cancelled) {
                    // The program is ending (a quit request): nobody to tell.
                    if (!pleaseWait->cancelled() && !closeRequested_) break;
                    // "Abbrechen" or the window closing while the archive was being
                    // written: the export is taken back whole, as during the walk.
                    pleaseWait.reset();
                    prompts_.Message(hwnd(), ExportCancelledText(result.folder, DeleteDirectory(result.folder)), "",
                                     kInformationBox);
                    break;
                }
                pleaseWait.reset();
                const bool complete = result.outcome == ExportOutcome::Created && archive.written;
                // What the owner sends: the archive, else the folder to compress by hand.
                CloseWithHandOver(prompts_, hwnd(), ClosingText(result, archive),
                                  complete ? MB_ICONINFORMATION : MB_ICONEXCLAMATION,
                                  archive.written ? archive.archive : result.folder, archive.written);
                break;
            }
            case ExportOutcome::Stopped:
                // The error box first, over the wait window, which closes after it.
                prompts_.Message(hwnd(), result.message, "", kCriticalBox);
                break;
            case ExportOutcome::Cancelled:
                // "Abbrechen" or the window closing: said so, then the window closes
                // when that was asked.
                pleaseWait.reset();
                prompts_.Message(hwnd(), result.message, "", kInformationBox);
                break;
        }
    } catch (const std::exception& error) {
        pleaseWait.reset();
        TellUnexpected(prompts_, hwnd(), "Beim Erstellen der Umgebung", error.what());
    } catch (...) {
        pleaseWait.reset();
        TellUnexpected(prompts_, hwnd(), "Beim Erstellen der Umgebung", nullptr);
    }
    // A close asked for during the walks, now that the user has been told.
    if (closeRequested_) {
        closeRequested_ = false;
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
    }
}

ExportResult Main::RunExportWalk(const ExportRequest& request, WaitWindow& pleaseWait, ExportProgress& progress) {
    closeRequested_ = false;
    const FlagScope stoppable(exportWalking_);
    return ExportEnvironment(request, ExportProgressPump(pleaseWait, progress, closeRequested_), &progress);
}

ArchiveResult Main::RunArchive(const std::string& folder, WaitWindow& pleaseWait, const ExportProgress& progress) {
    // A close asked for at the walk's very end is heard by the archive's first entry.
    const FlagScope stoppable(exportWalking_);
    return ArchiveExportFolder(folder, ExportProgressPump(pleaseWait, progress, closeRequested_));
}

void Main::cmdResetDBase_Click() {
    if (actionRunning_) return;
    // A click that arrives while the reset waits for an answer is ignored.
    const FlagScope scope(actionRunning_);
    try {
        if (prompts_.Message(hwnd(), kResetQuestionText, kResetTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) !=
            IDYES)
            return;
        const ResetOutcome reset = DeleteSettingsFile();
        switch (reset.result) {
            case ResetResult::BackupFailed:
                prompts_.Message(hwnd(), BackupFailedText(DataDir + "\\Init.vtx", DataDir), "", kCriticalBox);
                return;
            case ResetResult::Failed:
                prompts_.Message(hwnd(), ResetFailedText(DataDir + "\\Init.vtx"), "", kCriticalBox);
                return;
            case ResetResult::Deleted:
            case ResetResult::NotPresent:
                break;
        }
        prompts_.Message(hwnd(), ResetDoneMessage(reset.backup), kResetDoneTitle, kInformationBox);
    } catch (const std::exception& error) {
        TellUnexpected(prompts_, hwnd(), "Beim Zurücksetzen der Einstellungen", error.what());
    } catch (...) {
        TellUnexpected(prompts_, hwnd(), "Beim Zurücksetzen der Einstellungen", nullptr);
    }
}

}  // namespace vtx
