#include "sound/mci.h"

#include <cmath>
#include <limits>
#include <utility>

#include "common/strings.h"

namespace vtx {
namespace {

struct DeviceEntry {
    std::vector<std::string_view> extensions;
    std::string_view deviceType;
    bool isVideo;
};

// Looked up top to bottom with the extension in lower case; what no row names
// plays as "MPEGVideo" without a picture.
const std::vector<DeviceEntry>& DeviceTable() {
    static const std::vector<DeviceEntry> table{
        {{"mid", "midi", "rmi"}, "Sequencer", false},
        {{"wav"}, "waveaudio", false},
        {{"cda"}, "CDAudio", false},
        {{"aif", "aifc", "aiff", "au", "mp3", "snd"}, "MPEGVideo", false},
        {{"wma"}, "MPEGVideo2", false},
        {{"mpeg", "mpg", "m1v", "mp2", "mpa", "mpe"}, "MPEGVideo", true},
        {{"avi"}, "AVIVideo", true},
        {{"wmv"}, "MPEGVideo2", true},
    };
    return table;
}
constexpr std::string_view kOtherDeviceType = "MPEGVideo";
constexpr std::string_view kCdAudio = "CDAudio";

MciPlatform& Platform() {
    static MciPlatform platform{
        [](std::string_view, std::size_t) { return std::string(); },
        [](const std::string&) { return std::string(); },
        [] {},
    };
    return platform;
}

std::string Send(std::string_view command, std::size_t returnLength = 0) {
    return Platform().send ? Platform().send(command, returnLength) : std::string();
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// Every "Track" taken out, left to right, case-sensitive (what the removal joins
// together is not looked at again).
std::string RemoveTrackWord(std::string_view name) {
    constexpr std::string_view kTrack = "Track";
    std::string result;
    size_t start = 0;
    for (size_t pos = name.find(kTrack); pos != std::string_view::npos; pos = name.find(kTrack, start)) {
        result.append(name.substr(start, pos - start));
        start = pos + kTrack.size();
    }
    result.append(name.substr(start));
    return result;
}

// The number at the start of `text` (blanks before it skipped, a sign and a
// decimal fraction allowed), rounded half to even; 0 when the text starts with no
// number or the number does not fit a track number's 16 bits.
std::int16_t LeadingTrackNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    double value = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10) {
            value += (text[i] - '0') * scale;
            digits = true;
        }
    }
    if (!digits) return 0;
    const double rounded = std::nearbyint(negative ? -value : value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return 0;
    return static_cast<std::int16_t>(rounded);
}

// The open command for a file; a path that still holds a blank (a volume that
// makes no short names) is quoted, or MCI would end the file name at the blank.
std::string FileOpenCommand(const std::string& shortPath, const std::string& deviceType) {
    const std::string path = shortPath.find(' ') == std::string::npos ? shortPath : "\"" + shortPath + "\"";
    return "open " + path + " type " + deviceType + " alias " + kMciAlias;
}

void ProcessPendingMessages() {
    if (Platform().processPendingMessages) Platform().processPendingMessages();
}

}  // namespace

MciPlatform SetMciPlatform(MciPlatform platform) { return std::exchange(Platform(), std::move(platform)); }

MciModuleState& MciState() {
    static MciModuleState state;
    return state;
}

void MciOpen(const std::string& fileName, std::uint32_t windowHandle) {
    // From here on the short path is used, so the command holds no blanks of long names.
    const std::string shortPath = Platform().shortPath ? Platform().shortPath(fileName) : std::string();
    bool isVideo = false;
    MciModuleState& state = MciState();
    state.CurrentDeviceType = MciDeviceType(shortPath, isVideo);

    if (state.CurrentDeviceType != kCdAudio) {
        Send(FileOpenCommand(shortPath, state.CurrentDeviceType));
        ProcessPendingMessages();
        Send(std::string("set ") + kMciAlias + " time format milliseconds");
    } else {
        Send("open cdaudio!" + state.CdDrive + " alias " + kMciAlias + " wait shareable");
        ProcessPendingMessages();
        Send(std::string("set ") + kMciAlias + " time format tmsf wait");
    }
    if (isVideo && windowHandle != 0)
        Send(std::string("window ") + kMciAlias + " handle " + std::to_string(windowHandle));
}

void MciPlay(std::int32_t position) {
    const MciModuleState& state = MciState();
    if (state.CurrentDeviceType != kCdAudio) {
        Send(std::string("play ") + kMciAlias + " from " + std::to_string(position));
        Send(std::string("put ") + kMciAlias + " destination");
    } else {
        Send(std::string("seek ") + kMciAlias + " to " + std::to_string(state.CdTrack));
        Send(std::string("play ") + kMciAlias);
    }
}

void MciStop() { Send(std::string("stop ") + kMciAlias); }

void MciClose() { Send(std::string("close ") + kMciAlias); }

std::string MciStatusMode() { return Send(std::string("status ") + kMciAlias + " mode", 255); }

std::string MciDeviceType(const std::string& fileName, bool& isVideo) {
    isVideo = false;
    if (fileName.find('.') == std::string::npos) return {};
    const std::string extension = AsciiLower(GetExtension(fileName));

    std::string_view deviceType = kOtherDeviceType;
    for (const DeviceEntry& entry : DeviceTable()) {
        bool found = false;
        for (std::string_view candidate : entry.extensions) found = found || candidate == extension;
        if (found) {
            deviceType = entry.deviceType;
            isVideo = entry.isVideo;
            break;
        }
    }

    if (deviceType == kCdAudio) {
        MciModuleState& state = MciState();
        state.CdTrack = LeadingTrackNumber(RemoveTrackWord(GetFileName(fileName, false)));
        state.CdDrive = fileName.substr(0, 2);
    }
    return std::string(deviceType);
}

std::vector<std::string> MciMediaExtensions() {
    std::vector<std::string> extensions;
    for (const DeviceEntry& entry : DeviceTable())
        for (std::string_view extension : entry.extensions) extensions.emplace_back(extension);
    return extensions;
}

}  // namespace vtx
