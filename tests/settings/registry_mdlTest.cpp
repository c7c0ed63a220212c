#include "settings/registry_mdl.h"

#include "base/Files.h"
#include "tests/support/TestFiles.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What the settings module does where no command reaches: a type it does not support, and a
// lock that another program holds for longer than the module waits.
class SettingsStore : public testing::Test {
protected:
    TempDir dir;
    std::filesystem::path file = dir / "Trelk" / "Ostrivan.reg";
    Registry registry{file, std::chrono::milliseconds(100)};
    registry_mdl settings{registry};

    SettingValue Load(std::string_view name) {
        return settings.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name);
    }
};

TEST_F(SettingsStore, AThirdTypeIsNeitherWrittenNorRead) {
    HKEY key = 0;
    ASSERT_EQ(registry.CreateKey(HKEY_LOCAL_MACHINE, SettingsKey, key), 0);
    EXPECT_EQ(settings.WriteRegistryValue(key, "Raw", REG_BINARY, std::string("x")), 0);
    EXPECT_EQ(registry.SetValue(key, "Raw", REG_BINARY, std::vector<std::uint8_t>{1, 2}), 0);
    SettingValue value = std::string("before");
    EXPECT_EQ(settings.ReadRegistryValue(key, "Raw", value), -1);
    EXPECT_EQ(value, SettingValue("before"));
    EXPECT_TRUE(settings.IsRegistrySettingPresent(HKEY_LOCAL_MACHINE, SettingsKey, "Raw"));
    EXPECT_FALSE(settings.IsRegistrySettingPresent(HKEY_LOCAL_MACHINE, SettingsKey, "Gone"));
}

TEST_F(SettingsStore, AKeyIsClosedOnceAndThenServesNoMore) {
    HKEY key = 0;
    ASSERT_EQ(registry.CreateKey(HKEY_LOCAL_MACHINE, SettingsKey, key), RegistryResult::Success);
    EXPECT_EQ(registry.CloseKey(key), RegistryResult::Success);
    EXPECT_EQ(registry.CloseKey(key), RegistryResult::InvalidHandle);
    EXPECT_EQ(registry.SetValue(key, "PIC ID", REG_SZ, std::vector<std::uint8_t>{'p', 0}),
              RegistryResult::InvalidHandle);
}

TEST_F(SettingsStore, LockHeldElsewhereIsWaitedForThenGivenUpAndDiesWithItsHolder) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        files::File lock;
        files::LockExclusively(file.string() + ".lock", std::chrono::seconds(0), lock);
        (void)!::write(ready[1], "!", 1);
        ::pause();
    }
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    settings.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "PIC ID", "p1", REG_SZ);
    EXPECT_EQ(Load("PIC ID"), SettingValue()) << "no lock, no write";
    EXPECT_EQ(registry.LastWriteFailure(), std::errc::timed_out);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    settings.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "PIC ID", "p2", REG_SZ);
    EXPECT_EQ(Load("PIC ID"), SettingValue("p2"));
}

} // namespace
