#include "cli/SettingCommand.h"

#include "base/ControlCharacters.h"
#include "card/CodePage.h"
#include "cli/CodePageText.h"
#include "cli/ExitStatus.h"
#include "settings/registry_mdl.h"

#include <charconv>
#include <iostream>

namespace {

std::optional<std::int32_t> Number(const std::string& text) {
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && !text.empty()
               ? std::optional(number)
               : std::nullopt;
}

// Why the settings file cannot hold the text as a setting's name or value; empty when it can.
// A name is one line of the file and must be there; a value may hold anything the code page
// holds, line breaks too, since the file then keeps it in hexadecimal.
std::string Unfit(const char* what, const std::string& text, bool name) {
    if (name && text.empty()) {
        return "a setting needs a name";
    }
    if (const auto control = FirstControlCharacter(text); name && control) {
        return std::string("the ") + what + " holds the control character " +
               codepage::CharacterCode(static_cast<unsigned char>(text[*control])) +
               ", which a setting's name cannot hold";
    }
    return NotInCodePage(what, text, "the settings file");
}

std::string Reason(std::error_code failure) {
    return failure == std::errc::timed_out ? "another program holds its lock" : failure.message();
}

} // namespace

int SettingCommand(const AppFolders& folders, const std::string& name,
                   const std::optional<std::string>& value, bool number) {
    for (const std::string& unfit :
         {Unfit("name", name, true), value ? Unfit("value", *value, false) : std::string()}) {
        if (!unfit.empty()) {
            Complain(unfit);
            return BadUsageStatus;
        }
    }
    Registry registry(folders.settingsFile);
    registry_mdl settings(registry);
    const std::string valueName = codepage::FromUtf8(name);
    const SettingValue existing =
        settings.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, valueName);
    if (!value) {
        if (const auto* text = std::get_if<std::string>(&existing)) {
            std::cout << codepage::ToUtf8(*text) << '\n';
        } else if (const auto* stored = std::get_if<std::int32_t>(&existing)) {
            std::cout << *stored << '\n';
        }
        return 0;
    }
    if (std::holds_alternative<std::monostate>(existing) &&
        settings.IsRegistrySettingPresent(HKEY_LOCAL_MACHINE, SettingsKey, valueName)) {
        Complain(name + " holds a value that is neither a text nor a number; it is left as it is");
        return BadUsageStatus;
    }
    const bool asNumber = std::holds_alternative<std::monostate>(existing)
                              ? number
                              : std::holds_alternative<std::int32_t>(existing);
    SettingValue newValue = codepage::FromUtf8(*value);
    if (asNumber) {
        const auto parsed = Number(*value);
        if (!parsed) {
            Complain(name + " is a number, and " + *value + " is not");
            return BadUsageStatus;
        }
        newValue = *parsed;
    }
    HKEY key = 0;
    std::int32_t status = registry.CreateKey(HKEY_LOCAL_MACHINE, SettingsKey, key);
    if (status == RegistryResult::Success) {
        status =
            settings.WriteRegistryValue(key, valueName, asNumber ? REG_DWORD : REG_SZ, newValue);
        registry.CloseKey(key);
    }
    if (status != RegistryResult::Success) {
        Complain(name + " could not be written to " + folders.settingsFile.string() + ": " +
                 Reason(registry.LastWriteFailure()));
        return ExitStatus(Outcome::OutputError);
    }
    return 0;
}
