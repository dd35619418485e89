// Report.wer as the folders of Windows Error Reporting hold it: each kind, the
// names in German and English, UTF-16 and ANSI, and the damaged ones.
#include <gtest/gtest.h>

#include <string>

#include "profile/incidents.h"
#include "profile/wer_report.h"
#include "unit/utf16_bytes.h"

namespace vtx {
namespace {

using testing::Utf16Bytes;

// Windows-1252 as Wine's and a German Windows's ANSI code page, for the bytes used here.
std::string FromCp1252(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

constexpr const char* kCrashEnglish =
    "Version=1\r\nEventType=APPCRASH\r\nEventTime=133540000000000000\r\nConsent=1\r\n"
    "Sig[0].Name=Application Name\r\nSig[0].Value=Velatrix-Tunes 6.exe\r\n"
    "Sig[1].Name=Application Version\r\nSig[1].Value=6.2.0.15\r\n"
    "Sig[2].Name=Application Timestamp\r\nSig[2].Value=5f1c2a3b\r\n"
    "Sig[3].Name=Fault Module Name\r\nSig[3].Value=ntdll.dll\r\n"
    "Sig[4].Name=Fault Module Version\r\nSig[4].Value=6.1.7601.17514\r\n"
    "Sig[5].Name=Fault Module Timestamp\r\nSig[5].Value=4ce7c8f9\r\n"
    "Sig[6].Name=Exception Code\r\nSig[6].Value=c0000005\r\n"
    "Sig[7].Name=Exception Offset\r\nSig[7].Value=00032a5e\r\n"
    "DynamicSig[1].Name=OS Version\r\nDynamicSig[1].Value=6.1.7601.2.1.0.256.48\r\n"
    "AppName=Velatrix-Tunes 6\r\nAppPath=C:\\Program Files (x86)\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe\r\n";

constexpr const char* kHangGerman =
    "Version=1\r\nEventType=AppHangB1\r\nEventTime=133540100000000000\r\n"
    "Sig[0].Name=Anwendungsname\r\nSig[0].Value=SetUp-Tool.exe\r\n"
    "Sig[1].Name=Anwendungsversion\r\nSig[1].Value=6.2.0.3\r\n"
    "Sig[2].Name=Anwendungszeitstempel\r\nSig[2].Value=5f1c2a3c\r\n"
    "Sig[3].Name=Absturzsignatur\r\nSig[3].Value=7b04\r\n"
    "Sig[4].Name=Absturztyp\r\nSig[4].Value=0\r\n"
    "AppName=SetUp-Tool\r\nAppPath=C:\\Programme\\Velatrix-Tunes 6\\SetUp-Tool.exe\r\n";

// The values the profile shows, in one text: kind | time | program | version | module | module version | exception.
std::string Summary(const std::optional<WerReport>& report) {
    if (!report) return "<none>";
    const WerSignatureLayout layout = SignatureLayoutOf(report->eventType);
    const auto at = [&](int position) {
        if (position < 0 || static_cast<size_t>(position) >= report->signature.size()) return std::string("-");
        return report->signature[static_cast<size_t>(position)].value_or("?");
    };
    return report->eventType + "|" + (report->eventTime ? std::to_string(*report->eventTime) : "-") + "|" +
           ReportProgram(*report) + "|" + at(layout.version) + "|" + at(layout.module) + "|" + at(layout.moduleVersion) +
           "|" + at(layout.exceptionCode);
}

TEST(WerReport, EachKindInEachEncoding) {
    const std::string bex =
        "EventType=BEX\nEventTime=133540200000000000\nSig[0].Value=VTXDiagnostic.exe\nSig[1].Value=1.0.0.0\n"
        "Sig[3].Value=MSVBVM60.DLL\nSig[4].Value=6.0.98.15\nSig[6].Value=0001a2b3\nSig[7].Value=c0000409\n"
        "Sig[8].Value=00000000\nAppPath=C:\\Tools\\VTXDiagnostic.exe\n";
    const std::string other = "EventType=WindowsUpdateFailure3\r\nEventTime=133540300000000000\r\n"
                              "Sig[0].Value=10.0.19041\r\nAppName=Windows Update\r\n";
    const std::string ansiPath = "EventType=APPCRASH\r\nSig[0].Value=Velatrix-Tunes 6.exe\r\n"
                                 "AppPath=C:\\M\xFCller\\Velatrix-Tunes 6.exe\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::string summary;
    } cases[] = {
        {"crash, UTF-16 LE with its mark", "\xFF\xFE" + Utf16Bytes(kCrashEnglish),
         "APPCRASH|133540000000000000|Velatrix-Tunes 6.exe|6.2.0.15|ntdll.dll|6.1.7601.17514|c0000005"},
        {"crash, ANSI", kCrashEnglish,
         "APPCRASH|133540000000000000|Velatrix-Tunes 6.exe|6.2.0.15|ntdll.dll|6.1.7601.17514|c0000005"},
        {"crash, UTF-16 BE with its mark", "\xFE\xFF" + Utf16Bytes(kCrashEnglish, true),
         "APPCRASH|133540000000000000|Velatrix-Tunes 6.exe|6.2.0.15|ntdll.dll|6.1.7601.17514|c0000005"},
        {"crash, UTF-16 LE without a mark", Utf16Bytes(kCrashEnglish),
         "APPCRASH|133540000000000000|Velatrix-Tunes 6.exe|6.2.0.15|ntdll.dll|6.1.7601.17514|c0000005"},
        {"crash, UTF-8 with its mark", std::string("\xEF\xBB\xBF") + kCrashEnglish,
         "APPCRASH|133540000000000000|Velatrix-Tunes 6.exe|6.2.0.15|ntdll.dll|6.1.7601.17514|c0000005"},
        {"hang, German names", "\xFF\xFE" + Utf16Bytes(kHangGerman), "AppHangB1|133540100000000000|SetUp-Tool.exe|6.2.0.3|-|-|-"},
        // The exception code of an overrun is at 7 (6 is its offset); LF alone ends lines too.
        {"overrun", bex, "BEX|133540200000000000|VTXDiagnostic.exe|1.0.0.0|MSVBVM60.DLL|6.0.98.15|c0000409"},
        {"another kind: no positions, the program from AppName", other, "WindowsUpdateFailure3|133540300000000000|Windows Update|-|-|-|-"},
        {"ANSI path, no time", ansiPath, "APPCRASH|-|Velatrix-Tunes 6.exe|-|-|-|-"},
    };
    for (const Case& c : cases) EXPECT_EQ(Summary(ParseWerReport(c.bytes, FromCp1252)), c.summary) << c.name;

    const auto ansi = ParseWerReport(ansiPath, FromCp1252);
    ASSERT_TRUE(ansi);
    EXPECT_EQ(ansi->appPath, "C:\\Müller\\Velatrix-Tunes 6.exe");
    const auto german = ParseWerReport("\xFF\xFE" + Utf16Bytes("EventType=APPCRASH\r\nAppPath=C:\\Müller\\€\\x.exe\r\n"), nullptr);
    ASSERT_TRUE(german);
    EXPECT_EQ(german->appPath, "C:\\Müller\\€\\x.exe");
    EXPECT_EQ(ReportProgram(*german), "x.exe");  // no Sig[0]: the file of AppPath
}

TEST(WerReport, DamagedReportsGiveNothingOrLeaveOutWhatIsUnreadable) {
    const std::string crash = "\xFF\xFE" + Utf16Bytes(kCrashEnglish);
    // No record at all.
    for (const std::string& bytes : {std::string(), std::string("\xFF\xFE"), std::string("\0\0\0\0", 4),
                                     std::string("garbage \x01\x02\x03 without lines"), std::string(5000, '\xFF'),
                                     std::string("EventType=\r\nSig[0].Value=Velatrix-Tunes 6.exe\r\n"),
                                     std::string("EventType=   \r\n"), crash.substr(0, 30)})
        EXPECT_EQ(ParseWerReport(bytes, FromCp1252), std::nullopt) << bytes.substr(0, 40);

    // Cut in the middle of a character and of a line: what is complete stays.
    const std::string cut = crash.substr(0, crash.find(Utf16Bytes("Sig[3]")) + 7);
    EXPECT_EQ(Summary(ParseWerReport(cut, FromCp1252)), "APPCRASH|133540000000000000|Velatrix-Tunes 6.exe|6.2.0.15|-|-|-");

    // A time out of range or not a number is no time; a position beyond 31 is not kept.
    for (const char* time : {"0", "-5", "12abc", "9223372036854775808", "99999999999999999999999", ""}) {
        const auto report = ParseWerReport(std::string("EventType=APPCRASH\nEventTime=") + time + "\nSig[0].Value=a.exe\n", FromCp1252);
        ASSERT_TRUE(report) << time;
        EXPECT_EQ(report->eventTime, std::nullopt) << time;
    }
    const auto far = ParseWerReport("EventType=APPCRASH\nSig[4000000000].Value=x\nSig[31].Value=y\nSig[x].Value=z\n", FromCp1252);
    ASSERT_TRUE(far);
    ASSERT_EQ(far->signature.size(), 32u);
    EXPECT_EQ(far->signature[31], "y");
    EXPECT_EQ(ReportProgram(*far), "");

    // Control characters in a value do not reach the profile's lines.
    const auto controls = ParseWerReport(std::string("EventType=APP\x01" "CRASH\nAppPath=C:\\a\tb\0c.exe\n", 41), FromCp1252);
    ASSERT_TRUE(controls);
    EXPECT_EQ(controls->eventType, "APP CRASH");
    EXPECT_EQ(controls->appPath, "C:\\a b c.exe");

    // Only the first MiB is read: what lies beyond is not seen.
    std::string huge = "EventType=APPCRASH\r\n" + std::string(kWerReportReadLimit, 'x') + "\r\nSig[0].Value=late.exe\r\n";
    const auto bounded = ParseWerReport(huge, FromCp1252);
    ASSERT_TRUE(bounded);
    EXPECT_TRUE(bounded->signature.empty());
}

}  // namespace
}  // namespace vtx
