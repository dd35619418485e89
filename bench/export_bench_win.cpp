// Benchmarks of the export and of the counting of covers, each against a minimal
// walk written here and measured in the same run:
// - the export of a large tree (2,000 and 20,000 files in about 200 folders, five
//   levels deep, 1% "ini") with its progress shown in the wait window, as the
//   window runs it, against a reference that walks the same trees with
//   FindFirstFileW and creates each folder and one empty file per file, nothing
//   else; median of 5 runs each, interleaved;
// - the export with its archive (ArchiveExportFolder after the export, as the
//   window and /export run it) against the export alone, same trees, interleaved;
// - the export's peak working set at 2,000 and at 20,000 files, each export in a
//   fresh process;
// - CountFiles on a folder of 50,000 files against a bare FindFirstFileW count; the
//   folder is given by bench/run.sh, which fills it from Linux (under Wine, each
//   new file in a large folder costs a search of the whole folder).
// Arguments: the folder of covers, then the folder for the trees (bench/run.sh
// gives a drive in memory; without it, the temporary folder).
// Prints the rows of the results table (Markdown).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support_win.h"
#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "app/wait_window_win.h"
#include "export/environment_export_win.h"
#include "export/export_archive_win.h"
#include "fixtures/temp_folder_win.h"

namespace vtx::bench {
namespace {

constexpr int kRuns = 5;

bool MakeEmptyOrSmallFile(const std::wstring& path, const std::string& bytes) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && (bytes.empty() || WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

// Folders below `root` with `branching[level]` subfolders per folder of the level
// above; the root first.
std::vector<std::wstring> MakeFolders(const std::wstring& root, const std::vector<int>& branching) {
    std::vector<std::wstring> all{root};
    CreateDirectoryW(root.c_str(), nullptr);
    std::vector<std::wstring> level{root};
    for (const int count : branching) {
        std::vector<std::wstring> next;
        for (const std::wstring& parent : level)
            for (int i = 1; i <= count; ++i) {
                next.push_back(parent + L"\\Ordner " + std::to_wstring(i));
                CreateDirectoryW(next.back().c_str(), nullptr);
            }
        all.insert(all.end(), next.begin(), next.end());
        level = std::move(next);
    }
    return all;
}

// An installation and a data folder with `files` files spread over 198 folders
// (five levels below each root); every hundredth file is an "ini" file.
void MakeTrees(const std::wstring& install, const std::wstring& data, int files) {
    std::vector<std::wstring> folders = MakeFolders(install, {2, 2, 2, 3, 3});
    const std::vector<std::wstring> dataFolders = MakeFolders(data, {2, 2, 2, 3, 2});
    folders.insert(folders.end(), dataFolders.begin(), dataFolders.end());
    for (int i = 0; i < files; ++i) {
        const std::wstring& folder = folders[static_cast<size_t>(i) % folders.size()];
        if (i % 100 == 99)
            MakeEmptyOrSmallFile(folder + L"\\Einstellung " + std::to_wstring(i) + L".ini", "[Abschnitt]\r\nWert=1\r\n");
        else
            MakeEmptyOrSmallFile(folder + L"\\Titel " + std::to_wstring(i) + L".mp3", std::string(64, 'm'));
    }
}

// The reference: each folder created, one empty file per file, nothing else.
void ReferenceWalk(const std::wstring& source, const std::wstring& destination) {
    CreateDirectoryW(destination.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW((source + L"\\*").c_str(), &data));
    if (!find) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ReferenceWalk(source + L"\\" + name, destination + L"\\" + name);
        } else {
            HANDLE file = CreateFileW((destination + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        }
    } while (FindNextFileW(find.get(), &data));
}

// The export as the window runs it: the wait window, shown before (as the window
// shows it before the export starts), follows the walk's progress at the pace of
// the window's messages.
ExportResult WindowExport(WaitWindow& pleaseWait, const ExportRequest& request) {
    ExportProgress progress;
    const bool stop = false;
    return ExportEnvironment(request, ExportProgressPump(pleaseWait, progress, stop), &progress);
}

ExportRequest RequestFor(const std::string& install, const std::string& data, const std::string& target) {
    ExportRequest request;
    request.chosenFolder = target;
    request.logLines.assign(45, "Zeile des Berichts: 1.234,5 MB");
    request.installDir = install;
    request.dataDir = data;
    request.skinName = "Holz-dunkel";
    request.screenWidth = 1024;
    request.screenHeight = 768;
    return request;
}

// Where the trees of earlier runs go until the end. Deleting a tree just before the
// next run is timed would let the host's file system slow down that run's
// creations by an amount that depends on how recently what was deleted went (an
// ext4 without journal passes over inodes freed in the last seconds), which swung
// the ratios by more than a tenth between runs.
class SetAside {
public:
    explicit SetAside(std::string folder) : folder_(std::move(folder)) { CreateDirectoryW(Widen(folder_).c_str(), nullptr); }
    void operator()(const std::string& path) {
        const std::string aside = folder_ + "\\" + std::to_string(++count_);
        if (!MoveFileW(Widen(path).c_str(), Widen(aside).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
            GetLastError() != ERROR_PATH_NOT_FOUND)
            testing::RemoveTree(path);
    }

private:
    std::string folder_;
    int count_ = 0;
};

long FilesBelow(const std::string& folder) {
    long files = 0, folders = 0;
    return CountFiles(folder, "*.*", files, true, "*.*", folders);
}

// Runs this program again to export once; the child's peak working set in bytes.
double ChildPeakBytes(const std::string& install, const std::string& data, const std::string& target) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --peak \"" + Widen(install) + L"\" \"" + Widen(data) +
                           L"\" \"" + Widen(target) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 0;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD kib = 0;
    GetExitCodeProcess(info.hProcess, &kib);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return static_cast<double>(kib) * 1024.0;
}

int PeakChild(int argc, wchar_t** argv) {
    if (argc < 5) return 0;
    WaitWindow pleaseWait;
    pleaseWait.ShowProgress();
    const ExportResult result = WindowExport(pleaseWait, RequestFor(Narrow(argv[2]), Narrow(argv[3]), Narrow(argv[4])));
    if (result.outcome != ExportOutcome::Created) return 0;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<int>(counters.PeakWorkingSetSize / 1024);
}

int Main(const std::string& covers) {
    testing::TempFolder root("vtxbench");
    double peak[2] = {};
    const int sizes[2] = {2000, 20000};
    for (int s = 0; s < 2; ++s) {
        const int files = sizes[s];
        const std::string base = root / std::to_string(files);
        CreateDirectoryW(Widen(base).c_str(), nullptr);
        const std::string install = base + "\\Velatrix-Tunes 6", data = base + "\\Daten";
        const std::string target = base + "\\Ziel", reference = base + "\\Referenz";
        MakeTrees(Widen(install), Widen(data), files);
        CreateDirectoryW(Widen(target).c_str(), nullptr);
        const std::string exportFolder = target + "\\VTX Umgebung";

        const std::string archive = exportFolder + ".zip";
        SetAside setAside(base + "\\Beiseite");
        std::vector<double> exportTimes, referenceTimes, archivedTimes;
        for (int run = 0; run < kRuns; ++run) {
            bool archived = false;
            archivedTimes.push_back(Timed(
                [&] {
                    setAside(exportFolder);
                    setAside(archive);
                },
                [&] {
                    const ExportResult result = ExportEnvironment(RequestFor(install, data, target), WindowMessagePump());
                    archived = result.outcome == ExportOutcome::Created &&
                               ArchiveExportFolder(result.folder, WindowMessagePump()).written;
                }));
            if (!archived) std::fprintf(stderr, "export with archive failed\n");
            ExportResult result;
            std::unique_ptr<WaitWindow> pleaseWait;
            exportTimes.push_back(Timed(
                [&] {
                    setAside(exportFolder);
                    pleaseWait = std::make_unique<WaitWindow>();
                    pleaseWait->ShowProgress();
                },
                [&] { result = WindowExport(*pleaseWait, RequestFor(install, data, target)); }));
            pleaseWait.reset();
            if (result.outcome != ExportOutcome::Created) std::fprintf(stderr, "export failed: %s\n", result.message.c_str());
            referenceTimes.push_back(Timed([&] { setAside(reference); },
                                           [&] {
                                               CreateDirectoryW(Widen(reference).c_str(), nullptr);
                                               ReferenceWalk(Widen(install), Widen(reference + "\\APP"));
                                               ReferenceWalk(Widen(data), Widen(reference + "\\USR"));
                                           }));
        }
        // Both made the same number of files (the export also its VTX.log and System.txt).
        const long exported = FilesBelow(exportFolder) - 2, referenced = FilesBelow(reference);
        if (exported != files || referenced != files)
            std::fprintf(stderr, "file counts differ: export %ld, reference %ld, expected %d\n", exported, referenced, files);
        const double e = Median(exportTimes), r = Median(referenceTimes);
        Row("Export, " + std::to_string(files) + " files (median of 5)", Ms(e), Ms(r) + " (reference walk)", e / r,
            "<= 1.2", e / r <= 1.2);
        const double a = Median(archivedTimes);
        Row("Export with archive, " + std::to_string(files) + " files (median of 5)", Ms(a),
            Ms(e) + " (export without archive)", a / e, "<= 1.25", a / e <= 1.25);

        setAside(exportFolder);
        setAside(archive);
        peak[s] = ChildPeakBytes(install, data, target);
        // Everything goes with `root` at the end.
    }
    const double growth = (peak[1] - peak[0]) / (1024.0 * 1024.0);
    std::printf("| Export peak working set, 20,000 vs 2,000 files | %.1f MB | %.1f MB | growth %.1f MB | <= 5 MB growth | %s |\n",
                peak[1] / (1024.0 * 1024.0), peak[0] / (1024.0 * 1024.0), growth,
                peak[0] > 0 && growth <= 5.0 ? "met" : "MISSED");

    // Counting: one folder of 50,000 files.
    if (covers.empty()) return 0;
    std::vector<double> countTimes, bareTimes;
    long counted = 0, bare = 0;
    for (int run = 0; run < kRuns; ++run) {
        countTimes.push_back(Timed([] {}, [&] {
            long files = 0, folders = 0;
            counted = CountFiles(covers, "*.*", files, false, "*.*", folders);
        }));
        bareTimes.push_back(Timed([] {}, [&] {
            bare = 0;
            WIN32_FIND_DATAW data;
            FindHandle find(FindFirstFileW(Widen(covers + "\\*.*").c_str(), &data));
            if (find) do {
                    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++bare;
                } while (FindNextFileW(find.get(), &data));
        }));
    }
    if (counted != bare) std::fprintf(stderr, "counts differ: %ld and %ld\n", counted, bare);
    const double c = Median(countTimes), b = Median(bareTimes);
    Row("CountFiles, " + std::to_string(bare) + " files in one folder (median of 5)", Ms(c), Ms(b) + " (bare FindFirstFileW loop)", c / b, "<= 1.1",
        c / b <= 1.1);
    return 0;
}

}  // namespace
}  // namespace vtx::bench

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--peak") return vtx::bench::PeakChild(argc, argv);
    // The trees go into the folder given second (bench/run.sh: a drive in memory),
    // else into the temporary folder.
    if (argc > 2) {
        SetEnvironmentVariableW(L"TMP", argv[2]);
        SetEnvironmentVariableW(L"TEMP", argv[2]);
    }
    return vtx::bench::Main(argc > 1 ? vtx::Narrow(argv[1]) : "");
}
