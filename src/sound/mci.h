// Module MCI: plays one media file at a time through the string commands of the
// Windows Media Control Interface. Every command addresses the device under the
// alias "VTXMCI", so at most one medium is open; callers close the old medium
// before they open the next.
//
// The commands are built here, portably; what reaches Windows goes through an
// MciPlatform: one function that sends a command, one that gives a file's short
// (8.3) path and one that lets the window process its pending messages. The
// program uses the Windows platform (sound/mci_win.h); tests put in their own and
// record what is sent.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vtx {

inline constexpr const char* kMciAlias = "VTXMCI";

struct MciPlatform {
    // Sends one command string. With returnLength 0 no reply is asked for and ""
    // comes back; otherwise the reply (at most returnLength characters) before its
    // first NUL, "" when the command failed. No result code is examined.
    std::function<std::string(std::string_view command, std::size_t returnLength)> send;
    // The short (8.3) form of a path; "" when the platform cannot give one (the
    // file does not exist). Where the volume makes no short names it is the long
    // path unchanged.
    std::function<std::string(const std::string& longPath)> shortPath;
    // Lets the user interface run the window messages waiting for it.
    std::function<void()> processPendingMessages;
};

// Puts in the platform all later calls use and gives back the one used so far.
// Until one is put in, commands go nowhere and every path has no short form.
MciPlatform SetMciPlatform(MciPlatform platform);

// The module's state, kept from one call to the next.
struct MciModuleState {
    std::string CurrentDeviceType;  // device type of the medium opened last; "" at start
    std::int16_t CdTrack = 0;       // track number from the name of a CD track file
    std::string CdDrive;            // drive of a CD track file, such as "D:"
};
MciModuleState& MciState();

// Opens the file (or the CD track a CD track file stands for) under the alias. A
// non-zero window handle places the picture of a video medium in that window.
// Does not close an earlier medium. Failures are not reported: a medium that
// cannot be opened leaves the alias unopened and later commands fail without effect.
void MciOpen(const std::string& fileName, std::uint32_t windowHandle);
// Starts playback at `position` milliseconds (files); a CD track from its start.
void MciPlay(std::int32_t position);
// Halts playback and leaves the device open.
void MciStop();
void MciClose();
// The device's mode word as MCI reports it ("playing", "stopped", ...); "" when
// no medium is open.
std::string MciStatusMode();

// The MCI device type for a file name, from its extension (the text after the
// last ".", in any case): "Sequencer", "waveaudio", "CDAudio", "MPEGVideo",
// "MPEGVideo2" or "AVIVideo"; "" for a name without ".". `isVideo` tells whether
// the medium has a picture. For a CD track file (".cda") it also sets CdTrack from
// the number after "Track" in the name and CdDrive from the first two characters.
std::string MciDeviceType(const std::string& fileName, bool& isVideo);

// The extensions the device table names, in table order, each once.
std::vector<std::string> MciMediaExtensions();

}  // namespace vtx
