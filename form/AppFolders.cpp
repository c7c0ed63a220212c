#include "form/AppFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/";
}

// A base directory from its variable; an unset, empty or relative value is not to be used.
std::filesystem::path BaseFolder(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && std::filesystem::path(value).is_absolute()) {
        return value;
    }
    return HomeFolder() / underHome;
}

} // namespace

AppFolders AppFolders::Standard() {
    return {BaseFolder("XDG_CONFIG_HOME", ".config") / "Trelk" / "Ostrivan.reg",
            BaseFolder("XDG_DATA_HOME", ".local/share") / "Trelk" / "Ostrivan"};
}
