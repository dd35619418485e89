// vtxdrive.exe: steps of the scripts that drive the tool from a second process.
//
//   vtxdrive.exe shot EXE BMP [SECONDS]
//     starts the tool, waits (at most SECONDS, default 30) for its main window,
//     prints the number of report lines its list shows ("lines: 45"), saves a
//     screenshot of the desktop and closes the tool again. run.sh uses it where
//     there is no display to show the window on; the emulated smoke of the 32-bit
//     product, whose start takes about a minute, with a longer wait.
//
//   vtxdrive.exe export-check INSTALLDIR FOLDER
//     compares FOLDER\VTX Umgebung with what an export of the sample installation in
//     INSTALLDIR must hold (as the export tests expect it: the profile set aside,
//     the report taken from its own VTX.log) and prints every difference; with
//     VTX_ARCHIVE_KEEP set it also leaves FOLDER\VTX Umgebung.zip and its folder
//     there for the archive reader. Exit code 0 when all agrees.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/control_ids.h"
#include "common/unicode_win.h"
#include "e2e/driver_console_win.h"
#include "e2e/driver_win.h"
#include "fixtures/archive_keep_win.h"
#include "fixtures/expected_export_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/tree_snapshot_win.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: vtxdrive.exe shot EXE BMP [SECONDS]\n"
                         "       vtxdrive.exe export-check INSTALLDIR FOLDER\n");
    return 2;
}

int Shot(const std::string& exe, const std::string& bmp, DWORD waitMs) {
    vtx::testing::ToolProcess tool;
    if (!tool.Launch(exe)) {
        std::fprintf(stderr, "vtxdrive: cannot start %s\n", exe.c_str());
        return 1;
    }
    HWND main = vtx::testing::WaitForMainWindow(tool.id(), waitMs);
    if (!main) {
        std::fprintf(stderr, "vtxdrive: the main window did not appear\n");
        return 1;
    }
    std::printf("lines: %zu\n", vtx::testing::ListLines(GetDlgItem(main, IDC_LSTLOG)).size());
    std::fflush(stdout);
    Sleep(1000);  // let the window finish painting
    const bool saved = vtx::testing::SaveScreenshot(bmp);
    tool.Close(waitMs);
    return saved ? 0 : 1;
}

int ExportCheck(const std::string& installDir, const std::string& folder) {
    using namespace vtx::testing;
    const SampleInstallation sample = SampleForThisMachine(installDir);
    Contents exported = ContentsOf(SnapshotTree(folder + "\\VTX Umgebung"));
    bool ok = true;
    if (!TakeSystemProfile(exported)) {
        std::printf("System.txt: missing, or not UTF-8 with a byte order mark and CR LF\n");
        ok = false;
    }
    if (exported.count("VTX.log") == 0) {
        std::printf("VTX.log: missing\n%s", Listing(exported).c_str());
        return 1;
    }
    const Contents expected = ExpectedExport(sample, AnsiLines(exported.at("VTX.log")), sample.skinName);
    if (exported != expected) {
        std::printf("exported:\n%sexpected:\n%s", Listing(exported).c_str(), Listing(expected).c_str());
        ok = false;
    }
    if (std::getenv("VTX_ARCHIVE_KEEP") && !KeepArchive(folder + "\\VTX Umgebung.zip", "smoke32-export")) {
        std::printf("the archive could not be kept for the reader\n");
        ok = false;
    }
    return ok ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"shot" && (argc == 4 || argc == 5)) {
        const DWORD seconds = argc == 5 ? static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)) : 30;
        return Shot(vtx::Narrow(argv[2]), vtx::Narrow(argv[3]), seconds * 1000);
    }
    if (command == L"export-check" && argc == 4) return ExportCheck(vtx::Narrow(argv[2]), vtx::Narrow(argv[3]));
    return Usage();
}
