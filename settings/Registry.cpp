#include "settings/Registry.h"

#include "base/Files.h"

#include <algorithm>

namespace {

const char* RootName(HKEY root) {
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS:
        return "HKEY_USERS";
    default:
        return nullptr;
    }
}

} // namespace

Registry::Registry(std::filesystem::path file) : file_(std::move(file)) {}

bool Registry::ReadFile(std::string& bytes) const {
    const auto error = files::ReadWholeFile(file_, bytes);
    if (error == std::errc::no_such_file_or_directory) {
        bytes.clear(); // no file yet: an empty store
        return true;
    }
    return !error;
}

HKEY Registry::Remember(std::string keyPath, RegistryDocument content) {
    const HKEY key = nextHandle_++;
    openKeys_.emplace(key, KeyView{std::move(keyPath), std::move(content)});
    return key;
}

Registry::KeyView* Registry::Find(HKEY key) {
    const auto found = openKeys_.find(key);
    return found == openKeys_.end() ? nullptr : &found->second;
}

std::int32_t Registry::CreateKey(HKEY root, std::string_view subKey, HKEY& key) {
    const char* rootName = RootName(root);
    if (rootName == nullptr) {
        return RegistryResult::InvalidHandle;
    }
    std::string keyPath = std::string(rootName) + "\\" + std::string(subKey);
    std::string bytes;
    if (!ReadFile(bytes)) {
        return RegistryResult::ReadFault;
    }
    auto document = RegistryDocument::Parse(bytes);
    if (!document.HasKey(keyPath)) {
        document.AddKey(keyPath);
        if (files::ReplaceFile(file_, document.Serialize())) {
            return RegistryResult::WriteFault;
        }
    }
    key = Remember(std::move(keyPath), std::move(document));
    return RegistryResult::Success;
}

std::int32_t Registry::OpenKey(HKEY root, std::string_view subKey, HKEY& key) {
    const char* rootName = RootName(root);
    if (rootName == nullptr) {
        return RegistryResult::InvalidHandle;
    }
    std::string keyPath = std::string(rootName) + "\\" + std::string(subKey);
    std::string bytes;
    const bool read = ReadFile(bytes);
    auto document = RegistryDocument::Parse(bytes);
    if (!read || !document.HasKey(keyPath)) {
        return RegistryResult::FileNotFound;
    }
    key = Remember(std::move(keyPath), std::move(document));
    return RegistryResult::Success;
}

std::int32_t Registry::QueryValue(HKEY key, std::string_view name, std::uint32_t& type,
                                  std::span<std::uint8_t> buffer, std::uint32_t& size) {
    const KeyView* open = Find(key);
    if (open == nullptr) {
        return RegistryResult::InvalidHandle;
    }
    const auto value = open->content.FindValue(open->path, name);
    if (!value) {
        return RegistryResult::FileNotFound;
    }
    type = value->Type;
    size = static_cast<std::uint32_t>(value->Data.size());
    if (buffer.empty()) {
        return RegistryResult::Success;
    }
    if (buffer.size() < value->Data.size()) {
        return RegistryResult::MoreData;
    }
    std::copy(value->Data.begin(), value->Data.end(), buffer.begin());
    return RegistryResult::Success;
}

std::int32_t Registry::SetValue(HKEY key, std::string_view name, std::uint32_t type,
                                std::span<const std::uint8_t> data) {
    KeyView* open = Find(key);
    if (open == nullptr) {
        return RegistryResult::InvalidHandle;
    }
    // A file that exists but cannot be read is never replaced: its content would be lost.
    std::string bytes;
    if (!ReadFile(bytes)) {
        return RegistryResult::ReadFault;
    }
    auto document = RegistryDocument::Parse(bytes);
    document.SetValue(open->path, name, RegistryValue{type, {data.begin(), data.end()}});
    if (files::ReplaceFile(file_, document.Serialize())) {
        return RegistryResult::WriteFault;
    }
    open->content = std::move(document);
    return RegistryResult::Success;
}

std::int32_t Registry::CloseKey(HKEY key) {
    return openKeys_.erase(key) == 1 ? RegistryResult::Success : RegistryResult::InvalidHandle;
}
