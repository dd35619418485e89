// The registry module against Wine's real registry. Every key is written in the
// 32-bit view of HKEY_CLASSES_ROOT, where the jukebox's components register, and
// removed again by the test. Wine 8 does not merge HKCU\Software\Classes into
// HKEY_CLASSES_ROOT, so the keys go through HKEY_CLASSES_ROOT itself (Wine keeps
// them in HKLM\Software\Classes\Wow6432Node).
#include "report/registry_win.h"

#include <objbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/windows_world_win.h"

namespace vtx {
namespace {

using vtx::testing::TempFolder;
using vtx::testing::WindowsIs64Bit;
using vtx::testing::WriteFileBytes;

// Keys below HKEY_CLASSES_ROOT, written in one registry view and deleted with
// everything below them when the object goes away.
class ClassKeys {
public:
    explicit ClassKeys(REGSAM view = KEY_WOW64_32KEY) : view_(view) {}
    ClassKeys(const ClassKeys&) = delete;
    ClassKeys& operator=(const ClassKeys&) = delete;
    ~ClassKeys() {
        for (const std::string& top : tops_) {
            RegKey key;
            if (RegOpenKeyExW(HKEY_CLASSES_ROOT, Widen(top).c_str(), 0, KEY_ALL_ACCESS | view_, key.put()) !=
                ERROR_SUCCESS)
                continue;
            RegDeleteTreeW(key.get(), nullptr);
            key.reset();
            RegDeleteKeyExW(HKEY_CLASSES_ROOT, Widen(top).c_str(), view_, 0);
        }
    }

    // A ProgID no other test or program uses.
    static std::string UniqueProgId(const std::string& label) {
        static std::atomic<unsigned> counter{0};
        return "VtxTest." + label + "." + std::to_string(GetCurrentProcessId()) + "." +
               std::to_string(GetTickCount()) + "." + std::to_string(counter++);
    }
    static std::string NewClsid() {
        GUID guid;
        EXPECT_EQ(CoCreateGuid(&guid), S_OK);
        wchar_t text[64] = {};
        StringFromGUID2(guid, text, 64);
        return Narrow(text);
    }

    // Creates `path` with the class string `className`.
    void Create(const std::string& path, const std::string& className = "") {
        Track(path);
        RegKey key;
        std::wstring wideClass = Widen(className);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, Widen(path).c_str(), 0,
                                  className.empty() ? nullptr : wideClass.data(), 0, KEY_ALL_ACCESS | view_, nullptr,
                                  key.put(), nullptr),
                  ERROR_SUCCESS)
            << path;
    }
    // Sets a value of `path` to raw data (the key is created when missing).
    void SetRaw(const std::string& path, const std::string& name, DWORD type, const void* data, DWORD bytes) {
        Track(path);
        RegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, Widen(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_,
                                  nullptr, key.put(), nullptr),
                  ERROR_SUCCESS)
            << path;
        ASSERT_EQ(RegSetValueExW(key.get(), name.empty() ? nullptr : Widen(name).c_str(), 0, type,
                                 static_cast<const BYTE*>(data), bytes),
                  ERROR_SUCCESS)
            << path << " " << name;
    }
    // A REG_SZ value with its terminator.
    void SetText(const std::string& path, const std::string& name, const std::string& text) {
        const std::wstring wide = Widen(text);
        SetRaw(path, name, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    }
    void SetNumber(const std::string& path, const std::string& name, DWORD number) {
        SetRaw(path, name, REG_DWORD, &number, sizeof(number));
    }

    // ProgID -> CLSID -> InprocServer32 = serverPath, as a registration writes it.
    void Register(const std::string& progId, const std::string& clsid, const std::string& serverPath) {
        SetText(progId + "\\CLSID", "", clsid);
        SetText("CLSID\\" + clsid + "\\InprocServer32", "", serverPath);
    }

private:
    // Remembers the key to delete: the ProgID, or CLSID\{...}.
    void Track(const std::string& path) {
        size_t end = path.find('\\');
        if (path.rfind("CLSID\\", 0) == 0) end = path.find('\\', end + 1);
        tops_.insert(path.substr(0, end));
    }

    REGSAM view_;
    std::set<std::string> tops_;
};

// Records the registration commands instead of starting them, and optionally acts
// like a registration that has finished by the time the lookup runs.
class RecordedLaunches {
public:
    explicit RecordedLaunches(std::function<void()> effect = {}) : effect_(std::move(effect)) {
        previous_ = SetRegistrationLauncher([this](const std::string& command) {
            commands.push_back(command);
            if (effect_) effect_();
        });
    }
    ~RecordedLaunches() { SetRegistrationLauncher(std::move(previous_)); }
    RecordedLaunches(const RecordedLaunches&) = delete;
    RecordedLaunches& operator=(const RecordedLaunches&) = delete;

    std::vector<std::string> commands;

private:
    std::function<void()> effect_;
    RegistrationLauncher previous_;
};

TEST(IsClassRegistered, FollowsProgIdToAnExistingServerFile) {
    TempFolder temp("reg");
    // Outside the ANSI code page: the path must survive the trip through the registry.
    const std::string server = temp / "Ελληνικά Komponente.ocx";
    ASSERT_TRUE(WriteFileBytes(server, "MZ"));

    enum class Server { Existing, Missing, Folder, None };
    struct Case {
        const char* label;
        bool withClsid;
        Server server;
        bool registered;
    };
    const Case cases[] = {
        {"existing", true, Server::Existing, true},
        {"missing", true, Server::Missing, false},
        {"folder", true, Server::Folder, false},
        // A class served only out of process has no InprocServer32 entry.
        {"outofproc", true, Server::None, false},
        {"noclsid", false, Server::Existing, false},
    };
    for (const Case& c : cases) {
        ClassKeys keys;
        RecordedLaunches launches;
        const std::string progId = ClassKeys::UniqueProgId(c.label);
        const std::string clsid = ClassKeys::NewClsid();
        keys.Create(progId);
        keys.SetText(progId, "", "Test component");
        if (c.withClsid) keys.SetText(progId + "\\CLSID", "", clsid);
        switch (c.server) {
            case Server::Existing: keys.SetText("CLSID\\" + clsid + "\\InprocServer32", "", server); break;
            case Server::Missing: keys.SetText("CLSID\\" + clsid + "\\InprocServer32", "", temp / "gone.ocx"); break;
            case Server::Folder: keys.SetText("CLSID\\" + clsid + "\\InprocServer32", "", temp.path()); break;
            case Server::None: keys.SetText("CLSID\\" + clsid + "\\LocalServer32", "", server); break;
        }
        EXPECT_EQ(IsClassRegistered(progId, ""), c.registered) << c.label;
        EXPECT_THAT(launches.commands, ::testing::IsEmpty()) << c.label;
    }
}

TEST(IsClassRegistered, LooksInTheJukeboxsRegistryView) {
    // A registration made in one view, and whether the jukebox (a 32-bit program)
    // sees it. 64-bit Windows has two views; 32-bit Windows has one, and asks for
    // a view are ignored there. Without a view, a program sees its own bitness's.
    const bool twoViews = WindowsIs64Bit();
    const bool plainIs32 = sizeof(void*) == 4 || !twoViews;
    const struct {
        const char* label;
        REGSAM view;
        bool seen;
    } cases[] = {
        {"64-bit view", KEY_WOW64_64KEY, !twoViews},
        {"32-bit view", KEY_WOW64_32KEY, true},
        {"the program's own view", 0, plainIs32},
    };
    TempFolder temp("regview");
    const std::string server = temp / "comp.ocx";
    ASSERT_TRUE(WriteFileBytes(server, "MZ"));
    for (const auto& c : cases) {
        const std::string progId = ClassKeys::UniqueProgId("view");
        ClassKeys keys(c.view);
        keys.Register(progId, ClassKeys::NewClsid(), server);
        EXPECT_EQ(IsClassRegistered(progId, ""), c.seen) << c.label;
    }
}

TEST(IsClassRegistered, NeverLaunchesWithoutAFileName) {
    RecordedLaunches launches;
    EXPECT_FALSE(IsClassRegistered(ClassKeys::UniqueProgId("absent"), ""));
    EXPECT_THAT(launches.commands, ::testing::IsEmpty());
}

TEST(IsClassRegistered, RegistersAgainWhenTheServerPathDiffers) {
    TempFolder temp("rereg");
    const std::string server = temp / "Comp.ocx";
    ASSERT_TRUE(WriteFileBytes(server, "MZ"));
    std::string upper = server;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char ch) { return static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch); });
    ASSERT_NE(upper, server);

    ClassKeys keys;
    const std::string progId = ClassKeys::UniqueProgId("rereg");
    keys.Register(progId, ClassKeys::NewClsid(), server);

    {  // The registered path is the expected one: nothing to do.
        RecordedLaunches launches;
        EXPECT_TRUE(IsClassRegistered(progId, server));
        EXPECT_THAT(launches.commands, ::testing::IsEmpty());
    }
    {  // Paths compare exactly: another letter case starts the registration, and a
       // registration that has not finished at the lookup counts as not done.
        RecordedLaunches launches;
        EXPECT_FALSE(IsClassRegistered(progId, upper));
        EXPECT_THAT(launches.commands, ::testing::ElementsAre("regsvr32 /s \"" + upper + "\""));
    }
}

TEST(IsClassRegistered, DecidesWithTheLookupAfterTheRegistration) {
    TempFolder temp("after");
    const std::string present = temp / "present.ocx";
    ASSERT_TRUE(WriteFileBytes(present, "MZ"));
    const std::string absent = temp / "absent.ocx";

    struct Case {
        const char* label;
        bool registeredBefore;      // the ProgID key exists before the call
        std::string fileName;       // what the caller expects and the registration writes
        bool registrationFinishes;  // the launcher writes the keys before returning
        bool registered;
    };
    const Case cases[] = {
        {"old-now-present", true, present, true, true},
        // With a ProgID key the server file must also exist...
        {"old-now-absent", true, absent, true, false},
        // ...without one the path alone decides.
        {"new-now-absent", false, absent, true, true},
        {"new-unfinished", false, present, false, false},
    };
    for (const Case& c : cases) {
        ClassKeys keys;
        const std::string progId = ClassKeys::UniqueProgId(c.label);
        const std::string clsid = ClassKeys::NewClsid();
        if (c.registeredBefore) keys.Register(progId, clsid, temp / "old.ocx");
        RecordedLaunches launches([&] {
            if (c.registrationFinishes) keys.Register(progId, clsid, c.fileName);
        });
        EXPECT_EQ(IsClassRegistered(progId, c.fileName), c.registered) << c.label;
        EXPECT_THAT(launches.commands, ::testing::ElementsAre("regsvr32 /s \"" + c.fileName + "\"")) << c.label;
    }
}

TEST(RegistrationCommand, QuotesTheFileName) {
    EXPECT_EQ(RegistrationCommand("C:\\Program Files\\VT\\comp.ocx"),
              "regsvr32 /s \"C:\\Program Files\\VT\\comp.ocx\"");
}

TEST(RegReadValue, ReadsDefaultTextNamedTextAndNumbers) {
    ClassKeys keys;
    const std::string key = ClassKeys::UniqueProgId("values");
    const std::string text = "C:\\Programme\\Ελληνικά\\comp.ocx";
    keys.SetText(key, "", text);
    keys.SetText(key, "Name", text);
    keys.SetText(key, "Empty", "");
    keys.SetNumber(key, "Number", 0xFFFFFFFEu);
    const std::wstring unterminated = L"no end";
    keys.SetRaw(key, "Unterminated", REG_SZ, unterminated.data(), static_cast<DWORD>(unterminated.size() * 2));
    const BYTE binary[] = {1, 2, 3, 4};
    keys.SetRaw(key, "Binary", REG_BINARY, binary, sizeof(binary));
    keys.SetText(key + "\\NoDefault", "Other", "x");
    keys.SetRaw(key + "\\EmptyDefault", "", REG_SZ, L"", 0);
    keys.SetNumber(key + "\\NumberDefault", "", 5);

    const RegValue unset = std::int32_t{1234};  // what the caller had before
    struct Case {
        std::string subkey;
        std::string name;
        LONG result;
        RegValue value;
    };
    const Case cases[] = {
        {key, "", ERROR_SUCCESS, text},
        {key, "Name", ERROR_SUCCESS, text},
        {key, "Empty", ERROR_SUCCESS, std::string()},
        {key, "Number", ERROR_SUCCESS, std::int32_t{-2}},
        {key, "Unterminated", ERROR_SUCCESS, std::string("no end")},
        {key, "Binary", ERROR_SUCCESS, unset},
        {key, "Missing", ERROR_FILE_NOT_FOUND, unset},
        {key + "\\NoDefault", "", ERROR_SUCCESS, std::string()},
        {key + "\\EmptyDefault", "", ERROR_SUCCESS, std::string()},
        {key + "\\NumberDefault", "", ERROR_SUCCESS, unset},
        {key + "\\NoSuchKey", "", ERROR_FILE_NOT_FOUND, unset},
        {key + "\\NoSuchKey", "Name", ERROR_FILE_NOT_FOUND, unset},
    };
    for (const Case& c : cases) {
        RegValue value = unset;
        EXPECT_EQ(RegReadValue(HKEY_CLASSES_ROOT, c.subkey, c.name, value), c.result) << c.subkey << " " << c.name;
        EXPECT_EQ(value, c.value) << c.subkey << " " << c.name;
    }
}

TEST(RegReadValue, DefaultTextMustBeShorterThan512Characters) {
    ClassKeys keys;
    const std::string key = ClassKeys::UniqueProgId("long");
    const std::string fits(511, 'a');
    keys.SetText(key + "\\Fits", "", fits);
    keys.SetText(key + "\\TooLong", "", std::string(512, 'b'));
    const std::wstring unterminated(512, L'c');
    keys.SetRaw(key + "\\TooLongUnterminated", "", REG_SZ, unterminated.data(), 1024);
    keys.SetText(key, "Named", std::string(2000, 'd'));  // named values have no limit

    RegValue value;
    EXPECT_EQ(RegReadValue(HKEY_CLASSES_ROOT, key + "\\Fits", "", value), ERROR_SUCCESS);
    EXPECT_EQ(value, RegValue(fits));
    for (const char* subkey : {"\\TooLong", "\\TooLongUnterminated"}) {
        RegValue untouched;
        EXPECT_EQ(RegReadValue(HKEY_CLASSES_ROOT, key + subkey, "", untouched), ERROR_MORE_DATA) << subkey;
        EXPECT_TRUE(std::holds_alternative<std::monostate>(untouched)) << subkey;
    }
    EXPECT_EQ(RegReadValue(HKEY_CLASSES_ROOT, key, "Named", value), ERROR_SUCCESS);
    EXPECT_EQ(value, RegValue(std::string(2000, 'd')));
}

TEST(RegKeyExists, OpensAndClosesTheKey) {
    ClassKeys keys;
    const std::string key = ClassKeys::UniqueProgId("exists");
    keys.Create(key + "\\Sub");
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, key));
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, key + "\\Sub"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, key + "\\Missing"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ClassKeys::UniqueProgId("absent")));
}

TEST(RegEnumSubkeys, ListsNamesAndClasses) {
    ClassKeys keys;
    const std::string key = ClassKeys::UniqueProgId("enum");
    // The longest name the registry allows must still be listed.
    const std::string longest(255, 'L');
    keys.Create(key + "\\Beta", "Klasse Ä");
    keys.Create(key + "\\Alpha");
    keys.Create(key + "\\" + longest, "c");
    keys.Create(key + "\\Alpha\\Below");  // not a direct subkey

    // A vector holding more than the key has subkeys ends with exactly them.
    std::vector<SubkeyEntry> entries(5, {"old", "old"});
    ASSERT_EQ(RegEnumSubkeys(HKEY_CLASSES_ROOT, key, KEY_READ, entries), 3);
    std::vector<std::pair<std::string, std::string>> listed;
    for (const SubkeyEntry& e : entries) listed.emplace_back(e.Name, e.ClassName);
    EXPECT_THAT(listed, ::testing::UnorderedElementsAre(std::pair<std::string, std::string>{"Alpha", ""},
                                                        std::pair<std::string, std::string>{"Beta", "Klasse Ä"},
                                                        std::pair<std::string, std::string>{longest, "c"}));
}

TEST(RegEnumSubkeys, CountsNothingUnlessTheListingRanToItsEnd) {
    ClassKeys keys;
    const std::string key = ClassKeys::UniqueProgId("enumfail");
    keys.Create(key + "\\Leaf");
    keys.Create(key + "\\Overlong\\A", "short");
    keys.Create(key + "\\Overlong\\B", std::string(300, 'k'));  // class string longer than the buffer

    const std::vector<SubkeyEntry> before(2, {"old", "old"});
    struct Case {
        std::string subkey;
        REGSAM access;
    };
    const Case unchanged[] = {
        {key + "\\Leaf", KEY_READ},      // no subkeys
        {key + "\\Missing", KEY_READ},   // cannot be opened
        {key, KEY_QUERY_VALUE},          // opened without the right to list
    };
    for (const Case& c : unchanged) {
        std::vector<SubkeyEntry> entries = before;
        EXPECT_EQ(RegEnumSubkeys(HKEY_CLASSES_ROOT, c.subkey, c.access, entries), 0) << c.subkey;
        EXPECT_EQ(entries.size(), before.size()) << c.subkey;
        EXPECT_EQ(entries[0].Name, "old") << c.subkey;
    }

    // A listing that stops with an error keeps what it read but counts 0.
    std::vector<SubkeyEntry> entries;
    EXPECT_EQ(RegEnumSubkeys(HKEY_CLASSES_ROOT, key + "\\Overlong", KEY_READ, entries), 0);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Name, "A");
    EXPECT_EQ(entries[0].ClassName, "short");
}

}  // namespace
}  // namespace vtx
