#pragma once

#include "form/AppFolders.h"

#include <optional>
#include <string>

// ostrivan-card setting NAME [VALUE]: prints one value of the window's settings (a text in
// UTF-8, a number in decimal, nothing when it is absent), or sets it under the settings lock.
// A new value is a text, or a number when asked for; an existing one keeps its type. Unlike
// the window, it says when a write cannot be made. Returns the exit status.
int SettingCommand(const AppFolders& folders, const std::string& name,
                   const std::optional<std::string>& value, bool number);
