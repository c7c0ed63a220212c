// Any bytes as the settings file: every value is read as the settings module reads it, then a
// setting is written; everything that could be read before reads the same after.

#include "settings/registry_mdl.h"
#include "tests/fuzz/FuzzFolder.h"

#include <cstdlib>
#include <fstream>

namespace {

std::string ReadBack(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr std::string_view OurKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan";

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = FuzzFolder() / "Ostrivan.reg";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    Registry registry(file);
    registry_mdl settings(registry);
    for (const char* name : {"Farm Name", "PIC ID", "File Path", "Log File", "Mode"}) {
        settings.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name);
        settings.IsRegistrySettingPresent(HKEY_LOCAL_MACHINE, SettingsKey, name);
    }
    const auto before = RegistryDocument::Parse(bytes);
    settings.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "Farm Name", "fuzz", REG_SZ);

    const auto after = RegistryDocument::Parse(ReadBack(file));
    for (const auto& [key, name] : before.ValueNames()) {
        if (SameName(key, OurKey) && SameName(name, "Farm Name")) {
            continue;
        }
        if (before.FindValue(key, name) != after.FindValue(key, name)) {
            std::abort(); // a value that was there changed or went
        }
    }
    if (SettingText(settings.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "Farm Name")) !=
        "fuzz") {
        std::abort();
    }
    return 0;
}
