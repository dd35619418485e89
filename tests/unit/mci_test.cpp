// The MCI command layer and the sound-test panel, with the commands recorded
// instead of sent: exact command strings, their order, the module state.
#include "sound/mci.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "sound/sound_panel.h"

namespace vtx {
namespace {

// Where the window's pending messages run, in the record.
const std::string kMessages = "(pending messages)";

// Puts a recording platform in for one test and the earlier one back after it.
// A command asking for a reply is recorded with the reply length after "=>".
class RecordedMci {
public:
    RecordedMci() {
        previous_ = SetMciPlatform({
            [this](std::string_view command, std::size_t returnLength) {
                std::string entry(command);
                if (returnLength != 0) entry += " => " + std::to_string(returnLength);
                sent.push_back(entry);
                return returnLength != 0 ? mode : std::string();
            },
            [this](const std::string& longPath) {
                const auto found = shortPaths.find(longPath);
                return found == shortPaths.end() ? std::string() : found->second;
            },
            [this] { sent.push_back(kMessages); },
        });
        MciState() = {};
    }
    ~RecordedMci() {
        SetMciPlatform(std::move(previous_));
        MciState() = {};
    }
    RecordedMci(const RecordedMci&) = delete;
    RecordedMci& operator=(const RecordedMci&) = delete;

    // The sent commands since the last call.
    std::vector<std::string> Take() { return std::exchange(sent, {}); }

    std::vector<std::string> sent;
    std::map<std::string, std::string> shortPaths;  // a path missing here has no short form
    std::string mode;                               // the reply to "status VTXMCI mode"

private:
    MciPlatform previous_;
};

using Commands = std::vector<std::string>;

const Commands kFilePlay = {"play VTXMCI from 0", "put VTXMCI destination"};

TEST(MciOpen, SendsTheCommandsOfEachKindOfMedium) {
    struct Case {
        const char* what;
        std::string fileName;
        std::string shortPath;  // "" = the platform gives none
        std::uint32_t windowHandle;
        Commands open;
        Commands play;
        std::string deviceType;
    };
    const Commands kMilliseconds = {kMessages, "set VTXMCI time format milliseconds"};
    const auto fileOpen = [&](const std::string& command, Commands after = {}) {
        Commands commands{command};
        commands.insert(commands.end(), kMilliseconds.begin(), kMilliseconds.end());
        commands.insert(commands.end(), after.begin(), after.end());
        return commands;
    };
    const Case cases[] = {
        {"mp3: no picture, so no window even with a handle", "C:\\Musik\\Lied.MP3", "C:\\Musik\\Lied.MP3", 4660,
         fileOpen("open C:\\Musik\\Lied.MP3 type MPEGVideo alias VTXMCI"), kFilePlay, "MPEGVideo"},
        {"wav", "C:\\Musik\\Ton.wav", "C:\\Musik\\Ton.wav", 0,
         fileOpen("open C:\\Musik\\Ton.wav type waveaudio alias VTXMCI"), kFilePlay, "waveaudio"},
        {"mid", "C:\\Musik\\Walzer.mid", "C:\\Musik\\Walzer.mid", 0,
         fileOpen("open C:\\Musik\\Walzer.mid type Sequencer alias VTXMCI"), kFilePlay, "Sequencer"},
        {"wma", "C:\\Musik\\Lied.wma", "C:\\Musik\\Lied.wma", 0,
         fileOpen("open C:\\Musik\\Lied.wma type MPEGVideo2 alias VTXMCI"), kFilePlay, "MPEGVideo2"},
        {"avi with handle 0: no window command", "C:\\Film\\clip.avi", "C:\\Film\\clip.avi", 0,
         fileOpen("open C:\\Film\\clip.avi type AVIVideo alias VTXMCI"), kFilePlay, "AVIVideo"},
        {"avi with a handle", "C:\\Film\\clip.avi", "C:\\Film\\clip.avi", 4660,
         fileOpen("open C:\\Film\\clip.avi type AVIVideo alias VTXMCI", {"window VTXMCI handle 4660"}), kFilePlay,
         "AVIVideo"},
        {"mpg with the largest handle", "C:\\Film\\clip.mpg", "C:\\Film\\clip.mpg", 4294967295u,
         fileOpen("open C:\\Film\\clip.mpg type MPEGVideo alias VTXMCI", {"window VTXMCI handle 4294967295"}),
         kFilePlay, "MPEGVideo"},
        {"unknown extension", "C:\\Musik\\Lied.ogg", "C:\\Musik\\Lied.ogg", 0,
         fileOpen("open C:\\Musik\\Lied.ogg type MPEGVideo alias VTXMCI"), kFilePlay, "MPEGVideo"},
        {"name without '.': empty type, the open fails", "C:\\Musik\\Lied", "C:\\Musik\\Lied", 0,
         fileOpen("open C:\\Musik\\Lied type  alias VTXMCI"), kFilePlay, ""},
        {"missing file: no short path", "C:\\Musik\\Fehlt.mp3", "", 0, fileOpen("open  type  alias VTXMCI"),
         kFilePlay, ""},
        {"the short path decides: long name and blanks gone", "C:\\Eigene Musik\\Mein Lied.wav",
         "C:\\EIGENE~1\\MEINLI~1.WAV", 0, fileOpen("open C:\\EIGENE~1\\MEINLI~1.WAV type waveaudio alias VTXMCI"),
         kFilePlay, "waveaudio"},
        {"a long extension cut to three characters decides", "C:\\Musik\\Aufnahme.wave", "C:\\MUSIK\\AUFNAH~1.WAV",
         0, fileOpen("open C:\\MUSIK\\AUFNAH~1.WAV type waveaudio alias VTXMCI"), kFilePlay, "waveaudio"},
        {"no short names on the volume: the path with blanks is quoted", "C:\\Eigene Musik\\Mein Lied.mp3",
         "C:\\Eigene Musik\\Mein Lied.mp3", 0,
         fileOpen("open \"C:\\Eigene Musik\\Mein Lied.mp3\" type MPEGVideo alias VTXMCI"), kFilePlay, "MPEGVideo"},
        {"quoted, and a video still gets its window", "D:\\Neue Filme\\clip.avi", "D:\\Neue Filme\\clip.avi", 77,
         fileOpen("open \"D:\\Neue Filme\\clip.avi\" type AVIVideo alias VTXMCI", {"window VTXMCI handle 77"}),
         kFilePlay, "AVIVideo"},
        {"CD track", "D:\\Track05.cda", "D:\\Track05.cda", 0,
         {"open cdaudio!D: alias VTXMCI wait shareable", kMessages, "set VTXMCI time format tmsf wait"},
         {"seek VTXMCI to 5", "play VTXMCI"}, "CDAudio"},
        {"CD track: \"Track\" is removed case-sensitively only", "D:\\TRACK05.CDA", "D:\\TRACK05.CDA", 0,
         {"open cdaudio!D: alias VTXMCI wait shareable", kMessages, "set VTXMCI time format tmsf wait"},
         {"seek VTXMCI to 0", "play VTXMCI"}, "CDAudio"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedMci mci;
        if (!c.shortPath.empty()) mci.shortPaths[c.fileName] = c.shortPath;
        MciOpen(c.fileName, c.windowHandle);
        EXPECT_EQ(mci.Take(), c.open);
        EXPECT_EQ(MciState().CurrentDeviceType, c.deviceType);
        MciPlay(0);
        EXPECT_EQ(mci.Take(), c.play);
    }
}

TEST(MciOpen, CdTrackAndDriveComeFromTheTrackFileAndStayUntilTheNextOne) {
    struct Case {
        const char* shortPath;
        std::int16_t track;
        const char* drive;
    };
    const Case cases[] = {
        {"D:\\Track05.cda", 5, "D:"},
        {"E:\\Track 12.cda", 12, "E:"},
        {"D:\\TRACK05.CDA", 0, "D:"},      // "Track" only in that case
        {"D:\\Track.cda", 0, "D:"},        // no number
        {"D:\\Track7 Live.cda", 7, "D:"},  // the number at the start counts
        {"D:\\TrackTrack3.cda", 3, "D:"},  // every "Track"
        {"D:\\Track4.5.cda", 4, "D:"},     // a fraction rounds half to even
        {"D:\\Track5.5.cda", 6, "D:"},
        {"D:\\Track99999.cda", 0, "D:"},   // beyond a track number's range
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shortPath);
        RecordedMci mci;
        mci.shortPaths["x"] = c.shortPath;
        MciOpen("x", 0);
        EXPECT_EQ(MciState().CdTrack, c.track);
        EXPECT_EQ(MciState().CdDrive, c.drive);
        MciPlay(0);
        EXPECT_EQ(mci.Take().at(3), "seek VTXMCI to " + std::to_string(c.track));
    }

    // Opening a file afterwards plays the file; the track and drive stay.
    RecordedMci mci;
    mci.shortPaths["C:\\Lied.wav"] = "C:\\Lied.wav";
    mci.shortPaths["D:\\Track08.cda"] = "D:\\Track08.cda";
    MciOpen("D:\\Track08.cda", 0);
    MciClose();
    MciOpen("C:\\Lied.wav", 0);
    mci.Take();
    MciPlay(1500);
    EXPECT_EQ(mci.Take(), (Commands{"play VTXMCI from 1500", "put VTXMCI destination"}));
    EXPECT_EQ(MciState().CdTrack, 8);
    EXPECT_EQ(MciState().CdDrive, "D:");
}

TEST(MciDeviceType, FollowsTheExtensionInAnyCase) {
    struct Case {
        const char* fileName;
        const char* deviceType;
        bool isVideo;
    };
    const Case cases[] = {
        {"a.mid", "Sequencer", false},    {"a.MIDI", "Sequencer", false}, {"a.rmi", "Sequencer", false},
        {"a.Wav", "waveaudio", false},    {"a.cda", "CDAudio", false},    {"a.aif", "MPEGVideo", false},
        {"a.aifc", "MPEGVideo", false},   {"a.aiff", "MPEGVideo", false}, {"a.au", "MPEGVideo", false},
        {"a.mp3", "MPEGVideo", false},    {"a.snd", "MPEGVideo", false},  {"a.wma", "MPEGVideo2", false},
        {"a.mpeg", "MPEGVideo", true},    {"a.MPG", "MPEGVideo", true},   {"a.m1v", "MPEGVideo", true},
        {"a.mp2", "MPEGVideo", true},     {"a.mpa", "MPEGVideo", true},   {"a.mpe", "MPEGVideo", true},
        {"a.avi", "AVIVideo", true},      {"a.wmv", "MPEGVideo2", true},  {"a.flac", "MPEGVideo", false},
        {"a.", "MPEGVideo", false},       {"a.mp3.txt", "MPEGVideo", false},
        {"C:\\v1.0\\Lied", "MPEGVideo", false},  // the last "." of the whole path
        {"C:\\Musik\\Lied", "", false},   {"", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        bool isVideo = !c.isVideo;
        EXPECT_EQ(MciDeviceType(c.fileName, isVideo), c.deviceType);
        EXPECT_EQ(isVideo, c.isVideo);
    }
}

TEST(MciCommands, StopCloseAndModeQuery) {
    RecordedMci mci;
    mci.mode = "playing";
    EXPECT_EQ(MciStatusMode(), "playing");
    MciStop();
    MciClose();
    EXPECT_EQ(mci.Take(), (Commands{"status VTXMCI mode => 255", "stop VTXMCI", "close VTXMCI"}));
}

TEST(SoundPanel, PlaysEveryChoiceFromTheStartAndClosesBeforeTheNextOne) {
    RecordedMci mci;
    mci.shortPaths["C:\\Musik\\Erstes.wav"] = "C:\\Musik\\Erstes.wav";
    mci.shortPaths["C:\\Musik\\Zweites.mp3"] = "C:\\Musik\\Zweites.mp3";
    const Commands openFirst = {"close VTXMCI", "open C:\\Musik\\Erstes.wav type waveaudio alias VTXMCI",
                                kMessages, "set VTXMCI time format milliseconds"};

    // Every choice closes first, also the very first one (nothing open yet).
    SoundPanelOpen("C:\\Musik\\Erstes.wav");
    EXPECT_EQ(mci.Take(), openFirst);

    // Play twice: the second play starts from the beginning again.
    SoundPanelPlay();
    SoundPanelPlay();
    EXPECT_EQ(mci.Take(), (Commands{"play VTXMCI from 0", "put VTXMCI destination", "play VTXMCI from 0",
                                    "put VTXMCI destination"}));

    // Stop, then play: from the beginning, not from where it stopped.
    SoundPanelStop();
    SoundPanelPlay();
    EXPECT_EQ(mci.Take(), (Commands{"stop VTXMCI", "play VTXMCI from 0", "put VTXMCI destination"}));

    // A second file while the first plays: the first is closed before the open.
    SoundPanelOpen("C:\\Musik\\Zweites.mp3");
    EXPECT_EQ(mci.Take(), (Commands{"close VTXMCI", "open C:\\Musik\\Zweites.mp3 type MPEGVideo alias VTXMCI",
                                    kMessages, "set VTXMCI time format milliseconds"}));
}

TEST(SoundPanel, UnloadClosesOnlyAPlayingDevice) {
    struct Case {
        const char* mode;
        Commands sent;
    };
    const Case cases[] = {
        {"playing", {"status VTXMCI mode => 255", "close VTXMCI"}},
        {"stopped", {"status VTXMCI mode => 255"}},
        {"paused", {"status VTXMCI mode => 255"}},
        {"", {"status VTXMCI mode => 255"}},  // nothing open
        {"Playing", {"status VTXMCI mode => 255"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        RecordedMci mci;
        mci.mode = c.mode;
        SoundPanelUnload();
        EXPECT_EQ(mci.Take(), c.sent);
    }
}

TEST(SoundPanel, LabelAndDialogFilter) {
    EXPECT_EQ(SoundFileLabel("C:\\Eigene Musik\\Lied für dich.Mp3"), "Lied für dich.Mp3");
    EXPECT_EQ(SoundFileLabel("C:\\Musik.neu\\Lied"), "Lied");

    // Pairs of name and patterns, each ended by NUL, the whole by one more.
    const std::string filter = SoundFileFilter();
    ASSERT_GE(filter.size(), 2u);
    EXPECT_EQ(filter.substr(filter.size() - 2), std::string(2, '\0'));
    std::vector<std::string> parts;
    for (size_t start = 0, end; (end = filter.find('\0', start)) != start; start = end + 1)
        parts.push_back(filter.substr(start, end - start));
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[0], "Mediendateien");
    EXPECT_EQ(parts[2], "Alle Dateien");
    EXPECT_EQ(parts[3], "*.*");
    std::string expected;
    for (const char* extension : {"mid", "midi", "rmi", "wav", "cda", "aif", "aifc", "aiff", "au", "mp3", "snd",
                                  "wma", "mpeg", "mpg", "m1v", "mp2", "mpa", "mpe", "avi", "wmv"})
        expected += std::string(expected.empty() ? "" : ";") + "*." + extension;
    EXPECT_EQ(parts[1], expected);
}

}  // namespace
}  // namespace vtx
