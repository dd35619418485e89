// Where the windows and their controls sit, in twips (1440 per inch), as the
// jukebox's other windows are laid out; converted to pixels at the running DPI.
#pragma once
#include <array>

#include "app/control_ids.h"

namespace vtx {

struct TwipsRect {
    int left, top, width, height;
};

enum class ControlKind { ListBox, Frame, Button, Label };

struct ControlLayout {
    int id;
    ControlKind kind;
    const char* caption;  // UTF-8
    TwipsRect rect;       // relative to the window's client area
    bool enabled;
};

// The main window's client area.
inline constexpr TwipsRect kMainClient{0, 0, 4335, 5400};

// lblSoundfile sits at 120, 840 inside Frame1 (120, 3600): in window coordinates
// that is 240, 4440.
inline constexpr std::array<ControlLayout, 8> kMainControls{{
    {IDC_LSTLOG, ControlKind::ListBox, "", {120, 120, 4095, 3420}, true},
    {IDC_CMDSELECTFILE, ControlKind::Button, "Datei öffnen", {240, 3960, 1215, 375}, true},
    {IDC_CMDPLAY, ControlKind::Button, "Spielen", {1560, 3960, 1215, 375}, false},
    {IDC_CMDSTOP, ControlKind::Button, "Stop", {2880, 3960, 1215, 375}, false},
    {IDC_LBLSOUNDFILE, ControlKind::Label, "", {120 + 120, 3600 + 840, 3855, 255}, true},
    {IDC_CMDCREATERUNTIME, ControlKind::Button, "Fehlerbericht erstellen", {120, 4920, 1695, 375}, true},
    {IDC_CMDRESETDBASE, ControlKind::Button, "Einstellungen zurücksetzen", {2040, 4920, 2175, 375}, true},
    // The frame comes last so that it lies beneath the buttons drawn over it.
    {IDC_FRAME1, ControlKind::Frame, "Soundtest", {120, 3600, 4095, 1215}, true},
}};

// The wait window: borderless, centred on the screen.
inline constexpr TwipsRect kWaitClient{0, 0, 3615, 1155};
inline constexpr TwipsRect kWaitFrame{0, 0, 3615, 1095};
inline constexpr TwipsRect kWaitLabel{480, 360, 2535, 495};
inline constexpr const char* kWaitText = "Bitte warten, Informationen werden gesammelt...";
// The export's form of the wait window: taller, with the folder being walked, the
// number of files done and "Abbrechen" below the text.
inline constexpr TwipsRect kProgressClient{0, 0, 3615, 2235};
inline constexpr TwipsRect kProgressFrame{0, 0, 3615, 2175};
inline constexpr TwipsRect kProgressFolder{240, 960, 3135, 255};
inline constexpr TwipsRect kProgressCount{240, 1260, 3135, 255};
inline constexpr TwipsRect kProgressCancel{1200, 1635, 1215, 375};
inline constexpr const char* kCancelCaption = "Abbrechen";

// The log list's font: "Courier New" 9.75 pt, normal weight.
inline constexpr const char* kListFontFace = "Courier New";
inline constexpr int kListFontCentiPoints = 975;
// Every other control: the classic dialog font, "MS Sans Serif" 8 pt.
inline constexpr const char* kDialogFontFace = "MS Sans Serif";
inline constexpr int kDialogFontCentiPoints = 800;

// Twips to pixels at `dpi` dots per inch, rounded to nearest.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

// Height of a font of `centiPoints` / 100 points at `dpi`, as a negative
// character height in pixels (rounded to nearest).
constexpr int FontHeightPixels(int centiPoints, int dpi) {
    return -static_cast<int>((static_cast<long long>(centiPoints) * dpi + 3600) / 7200);
}

}  // namespace vtx
