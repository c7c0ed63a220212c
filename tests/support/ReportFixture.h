#pragma once

#include "report/StatusReport.h"
#include "settings/registry_mdl.h"
#include "tests/support/FakeWindow.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tmpfs.h"

#include <gtest/gtest.h>

// A status report over a fake window, a real settings file and a log file in a fresh folder,
// with a clock that stands still unless a test moves it.
class ReportFixture : public testing::Test {
protected:
    TempDir dir;
    Registry registry{dir / "Ostrivan.reg"};
    registry_mdl settings{registry};
    FakeStatusList list;
    FakeMessageBoxes boxes;
    LocalTime now{2004, 3, 15, 14, 7, 9};
    StatusReport report{list, boxes, settings, [this] { return now; }};
    std::filesystem::path logFile = dir / "log.txt";

    ReportFixture() { SetLogFile(logFile.string()); }

    void SetLogFile(const std::string& path) {
        settings.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "Log File", path, REG_SZ);
    }
    std::vector<std::string> LogTexts() const;
};
