#include "settings/registry_mdl.h"

#include "tests/support/SystemCallSeam.h"
#include "tests/support/TempDir.h"

#include <cerrno>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SettingsStore : public testing::Test {
protected:
    TempDir dir;
    std::filesystem::path file = dir / "Trelk" / "Ostrivan.reg";
    Registry registry{file};
    registry_mdl settings{registry};

    void Save(std::string_view name, const SettingValue& value, std::uint32_t type = REG_SZ) {
        settings.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name, value, type);
    }
    SettingValue Load(std::string_view name) {
        return settings.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name);
    }
    bool Present(std::string_view name) {
        return settings.IsRegistrySettingPresent(HKEY_LOCAL_MACHINE, SettingsKey, name);
    }
    void HandWrite(const std::string& body) {
        std::filesystem::create_directories(file.parent_path());
        WriteFileBytes(file, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]\r\n" +
                                 body);
    }
};

TEST_F(SettingsStore, TextsReadBackUnchanged) {
    const std::string texts[] = {"myfarm",
                                 "",
                                 "say \"hi\" C:\\farm\\",
                                 "tab\there\r\nline",
                                 std::string("\x80\x81\x9D\xC4\xFF", 5),
                                 "=\"x\"=dword:1\\"};
    for (const auto& text : texts) {
        Save("Farm Name", text);
        EXPECT_EQ(Load("Farm Name"), SettingValue(text));
    }
    EXPECT_EQ(Load("Farm Name"), SettingValue(texts[5]));
}

TEST_F(SettingsStore, TextFileShowsPlainTextsAsTextAndOthersAsHex) {
    Save("Farm Name", "my \"farm\"");
    Save("PIC ID", "a\nb");
    Save("Mode", 0, REG_DWORD);
    EXPECT_EQ(ReadFileBytes(file), "REGEDIT4\r\n\r\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]\r\n"
                                   "\"Farm Name\"=\"my \\\"farm\\\"\"\r\n"
                                   "\"PIC ID\"=hex(1):61,0a,62,00\r\n"
                                   "\"Mode\"=dword:00000000\r\n");
}

TEST_F(SettingsStore, NumbersReadBackAsNumbers) {
    for (const std::int32_t number : {0, -1, 2147483647, -2147483647 - 1, 42}) {
        Save("Mode", number, REG_DWORD);
        EXPECT_EQ(Load("Mode"), SettingValue(number));
    }
    Save("Mode", std::string("17"), REG_DWORD);
    EXPECT_EQ(Load("Mode"), SettingValue(17));
}

TEST_F(SettingsStore, OtherTypesAreNeitherWrittenNorRead) {
    Save("Mode", std::string("x"), REG_BINARY);
    EXPECT_FALSE(std::filesystem::exists(file) && Present("Mode"));
    HandWrite("\"Raw\"=hex:01,02\r\n");
    EXPECT_EQ(Load("Raw"), SettingValue());
    EXPECT_TRUE(Present("Raw"));
}

TEST_F(SettingsStore, MissingKeyReadsEmptyAndIsCreatedWithItsParents) {
    EXPECT_EQ(Load("Farm Name"), SettingValue());
    EXPECT_FALSE(std::filesystem::exists(file));
    Save("Log File", "/var/log.txt");
    EXPECT_EQ(Load("Log File"), SettingValue("/var/log.txt"));
    Registry other(file);
    HKEY key = 0;
    EXPECT_EQ(other.OpenKey(HKEY_LOCAL_MACHINE, "software\\TRELK", key), RegistryResult::Success);
}

TEST_F(SettingsStore, NamesCompareWithoutRegardToCase) {
    HandWrite("\"farm name\"=\"abc\"\r\n");
    EXPECT_EQ(Load("FARM NAME"), SettingValue("abc"));
    Save("Farm Name", "def");
    EXPECT_EQ(Load("farm NAME"), SettingValue("def"));
    EXPECT_EQ(ReadFileBytes(file).find("abc"), std::string::npos) << "one line per name";
}

TEST_F(SettingsStore, HandWrittenTextValuesAreTakenAsTheyAreStored) {
    HandWrite("\"NoNul\"=hex(1):61,62,63\r\n"
              "\"Empty\"=hex(1):\r\n"
              "\"Continued\"=hex(1):61,62,\\\r\n  63,00\r\n"
              "\"Short\"=hex(4):07,01\r\n");
    EXPECT_EQ(Load("NoNul"), SettingValue("ab"));
    EXPECT_EQ(Load("Empty"), SettingValue(""));
    EXPECT_EQ(Load("Continued"), SettingValue("abc"));
    EXPECT_EQ(Load("Short"), SettingValue(0x0107));
}

TEST_F(SettingsStore, PresenceTellsMissingFromEmpty) {
    HandWrite("\"Empty\"=\"\"\r\n\"Set\"=\"x\"\r\n");
    EXPECT_TRUE(Present("Empty"));
    EXPECT_TRUE(Present("Set"));
    EXPECT_FALSE(Present("Missing"));
}

TEST_F(SettingsStore, CorruptFileReadsWhatItCanAndKeepsTheRest) {
    const std::string garbage = "\"Broken=\"x\r\n\x01\x02 junk\r\n\"Bad\"=dword:xyz\r\n";
    std::filesystem::create_directories(file.parent_path());
    WriteFileBytes(file,
                   std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"A\"=\"1\"\r\n\r\n"
                               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]\r\n") +
                       garbage + "\"Farm Name\"=\"kept\"\r\n\"Odd\"=hex(7):41,00,00\r\n");
    EXPECT_EQ(Load("Bad"), SettingValue());
    EXPECT_EQ(Load("Farm Name"), SettingValue("kept"));
    Save("PIC ID", "new");
    const std::string after = ReadFileBytes(file);
    EXPECT_NE(after.find(garbage), std::string::npos);
    EXPECT_NE(after.find("[HKEY_CURRENT_USER\\Other]\r\n\"A\"=\"1\"\r\n"), std::string::npos);
    EXPECT_NE(after.find("\"Odd\"=hex(7):41,00,00\r\n"), std::string::npos);
    EXPECT_EQ(Load("PIC ID"), SettingValue("new"));
}

TEST_F(SettingsStore, BinaryGarbageFileReadsEmptyAndSurvivesAWrite) {
    std::filesystem::create_directories(file.parent_path());
    const std::string garbage("\x00\xFF[\n\r\n\"=\x7F", 9);
    WriteFileBytes(file, garbage);
    EXPECT_EQ(Load("Farm Name"), SettingValue());
    Save("Farm Name", "f");
    EXPECT_EQ(Load("Farm Name"), SettingValue("f"));
    EXPECT_NE(ReadFileBytes(file).find(std::string("\x00\xFF[", 3)), std::string::npos);
}

TEST_F(SettingsStore, WriteThatCannotBeMadeIsSilentAndChangesNothing) {
    const std::pair<const char*, std::function<void()>> stores[] = {
        {"its folder is a file", [&] { WriteFileBytes(dir / "Trelk", "not a folder"); }},
        {"a folder in its place", [&] { std::filesystem::create_directories(file); }},
        {"a full disk", [&] { Save("Farm Name", "before"); }},
    };
    for (const auto& [name, arrange] : stores) {
        std::filesystem::remove_all(dir / "Trelk");
        arrange();
        const SettingValue before = Load("Farm Name");
        const auto type = std::filesystem::status(file).type();
        const auto Bytes = [&] {
            return std::filesystem::is_regular_file(file) ? ReadFileBytes(file) : "";
        };
        const std::string bytes = Bytes();
        {
            SystemCallSeam seam;
            seam.calls.write = [](int, const void*, std::size_t) -> ssize_t {
                return errno = ENOSPC, -1;
            };
            Save("Farm Name", std::string(8192, 'x'));
        }
        EXPECT_EQ(Load("Farm Name"), before) << name;
        EXPECT_EQ(std::filesystem::status(file).type(), type) << name;
        EXPECT_EQ(Bytes(), bytes) << name;
    }
}

// Runs the body in a child process; returns its process id.
template <typename Body> pid_t InChild(Body body) {
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    return child;
}

int ExitStatus(pid_t child) {
    int status = -1;
    ::waitpid(child, &status, 0);
    return status;
}

TEST_F(SettingsStore, WritersInTwoProcessesLoseNothing) {
    constexpr int Values = 200;
    std::vector<pid_t> writers;
    for (const std::string writer : {"A", "B"}) {
        writers.push_back(InChild([&] {
            Registry store(file);
            registry_mdl own(store);
            for (int i = 0; i < Values; ++i) {
                own.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, writer + std::to_string(i),
                                        std::to_string(i), REG_SZ);
            }
        }));
    }
    for (const pid_t writer : writers) {
        EXPECT_EQ(ExitStatus(writer), 0);
    }
    int missing = 0;
    for (const std::string writer : {"A", "B"}) {
        for (int i = 0; i < Values; ++i) {
            missing += Load(writer + std::to_string(i)) != SettingValue(std::to_string(i));
        }
    }
    EXPECT_EQ(missing, 0);
}

TEST_F(SettingsStore, LockHeldElsewhereIsWaitedForThenGivenUpAndDiesWithItsHolder) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = InChild([&] {
        files::File lock;
        files::LockExclusively(file.string() + ".lock", std::chrono::seconds(0), lock);
        ::write(ready[1], "!", 1);
        ::pause();
    });
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    Registry impatient(file, std::chrono::milliseconds(100));
    registry_mdl store(impatient);
    store.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "PIC ID", "p1", REG_SZ);
    EXPECT_EQ(Load("PIC ID"), SettingValue()) << "no lock, no write";
    ::kill(holder, SIGKILL);
    ExitStatus(holder);
    store.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "PIC ID", "p2", REG_SZ);
    EXPECT_EQ(Load("PIC ID"), SettingValue("p2"));
    EXPECT_TRUE(std::filesystem::exists(file.string() + ".lock")) << "the lock file stays";
}

TEST_F(SettingsStore, TypeMismatchForANumberIsARunTimeError) {
    EXPECT_THROW(Save("Mode", std::string("many"), REG_DWORD), std::exception);
}

} // namespace
