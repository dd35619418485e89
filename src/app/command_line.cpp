#include "app/command_line.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "version.h"

namespace vtx {
namespace {

bool IsSwitch(std::string_view argument) {
    return !argument.empty() && (argument.front() == '/' || argument.front() == '-');
}

// The switch's name in lower case, without its "/" or "-".
std::string SwitchName(std::string_view argument) {
    std::string name(argument.substr(1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return name;
}

CommandLine Invalid(std::string error) {
    CommandLine result;
    result.mode = RunMode::Invalid;
    result.error = std::move(error);
    return result;
}

// Characters no Windows path can hold. A quote usually comes from a folder
// written "C:\Ordner\" in a shell: the backslash escapes the closing quote.
bool HoldsInvalidPathCharacter(std::string_view path) {
    return std::any_of(path.begin(), path.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || std::string_view("\"<>|*?").find(c) != std::string_view::npos;
    });
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    if (arguments.empty()) return result;
    // Asking for help wins over everything else on the line.
    for (const std::string& argument : arguments)
        if (IsSwitch(argument) && SwitchName(argument) == "?") {
            result.mode = RunMode::Usage;
            return result;
        }

    bool report = false, exportSwitch = false, system = false, hasPath = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!IsSwitch(argument)) return Invalid("Unerwartetes Argument: " + argument);
        const std::string name = SwitchName(argument);
        bool* seen = name == "report"   ? &report
                     : name == "export" ? &exportSwitch
                     : name == "system" ? &system
                     : name == "debug"  ? &result.debug
                                        : nullptr;
        if (!seen) return Invalid("Unbekannter Schalter: " + argument);
        if (*seen) return Invalid("Der Schalter /" + name + " ist mehrfach angegeben.");
        *seen = true;
        // /report, /export and /system take the argument that follows, unless it is a switch.
        if (name != "debug" && i + 1 < arguments.size() && !IsSwitch(arguments[i + 1])) {
            result.path = arguments[++i];
            hasPath = true;
        }
    }

    // One mode per call: the first two named, in the order of the usage text.
    std::vector<const char*> modes;
    if (report) modes.push_back("report");
    if (exportSwitch) modes.push_back("export");
    if (system) modes.push_back("system");
    if (modes.size() > 1)
        return Invalid("/" + std::string(modes[0]) + " und /" + modes[1] + " lassen sich nicht zusammen angeben.");
    if (modes.empty() || (system && result.debug)) return Invalid("/debug gilt nur zusammen mit /report oder /export.");
    if (exportSwitch && result.path.empty()) return Invalid("Nach /export fehlt der Ordner.");
    if ((report || system) && hasPath && result.path.empty())
        return Invalid("Nach /" + std::string(modes[0]) + " steht ein leerer Dateiname.");
    if (HoldsInvalidPathCharacter(result.path))
        return Invalid("Ungültiges Zeichen im Pfad: " + result.path +
                       " (Ein \\ vor dem schließenden Anführungszeichen maskiert es: \"C:\\Ordner\" statt "
                       "\"C:\\Ordner\\\".)");
    result.mode = report ? RunMode::Report : exportSwitch ? RunMode::Export : RunMode::System;
    return result;
}

std::string UsageText() {
    return "VTX Diagnostic " VTX_VERSION_TEXT "\r\n"
           "\r\n"
           "Aufruf:\r\n"
           "  VTXDiagnostic.exe                          zeigt den Bericht im Fenster\r\n"
           "  VTXDiagnostic.exe /report [DATEI] [/debug] schreibt den Bericht in DATEI\r\n"
           "                                             oder auf die Standardausgabe\r\n"
           "  VTXDiagnostic.exe /export ORDNER [/debug]  erstellt ORDNER\\VTX Umgebung\r\n"
           "                                             ohne Rückfragen\r\n"
           "  VTXDiagnostic.exe /system [DATEI]          schreibt das Systemprofil\r\n"
           "                                             (Windows, Geräte, Laufwerke,\r\n"
           "                                             Dauerbetrieb, Vorfälle) in DATEI\r\n"
           "                                             oder auf die Standardausgabe\r\n"
           "  VTXDiagnostic.exe /?                       zeigt diese Hilfe\r\n"
           "\r\n"
           "  /debug  hängt die Debug-Information an den Bericht an.\r\n"
           "\r\n"
           "Schalter beginnen mit / oder -, Groß- und Kleinschreibung zählt nicht.\r\n"
           "Die Datei des Berichts ist im ANSI-Zeichensatz mit CR LF geschrieben, wie\r\n"
           "VTX.log; die des Systemprofils in UTF-8 mit BOM und CR LF, wie System.txt.\r\n"
           "Meldungen erscheinen auf der Standardfehlerausgabe.\r\n"
           "Rückgabewert: 0 erfolgreich, 1 fehlgeschlagen, 2 falscher Aufruf.\r\n";
}

}  // namespace vtx
