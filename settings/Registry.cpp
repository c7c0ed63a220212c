#include "settings/Registry.h"

#include "base/ControlCharacters.h"
#include "base/Files.h"

#include <algorithm>
#include <cerrno>

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

bool operator==(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

Registry::Registry(std::filesystem::path file, std::chrono::milliseconds lockPatience)
    : file_(std::move(file)), lockPatience_(lockPatience) {}

Registry::Document Registry::Read() {
    struct stat status {};
    if (files::Calls().stat(file_.c_str(), &status) != 0) {
        lastReading_.reset();
        readFailure_ = {errno, std::generic_category()};
        return errno == ENOENT ? std::make_shared<const RegistryDocument>() : nullptr;
    }
    const Identity identity = {status.st_dev, status.st_ino, status.st_size, status.st_mtim,
                               status.st_ctim};
    const Identity& last = lastIdentity_;
    if (lastReading_ && identity.device == last.device && identity.inode == last.inode &&
        identity.size == last.size && identity.modified == last.modified &&
        identity.changed == last.changed) {
        return lastReading_;
    }
    std::string bytes;
    if ((readFailure_ = files::ReadWholeFile(file_, bytes))) {
        lastReading_.reset();
        return nullptr;
    }
    lastIdentity_ = identity;
    lastReading_ = std::make_shared<const RegistryDocument>(RegistryDocument::Parse(bytes));
    return lastReading_;
}

Registry::Document Registry::Change(const std::function<void(RegistryDocument&)>& change) {
    files::File lock;
    if ((lastWriteFailure_ =
             files::LockExclusively(file_.string() + ".lock", lockPatience_, lock))) {
        return nullptr;
    }
    lastReading_.reset(); // read afresh: the change goes into the file as it is now
    const Document current = Read();
    // A file that exists but cannot be read is never replaced: its content would be lost.
    if (!current) {
        lastWriteFailure_ = readFailure_;
        return nullptr;
    }
    auto changed = std::make_shared<RegistryDocument>(*current);
    change(*changed);
    lastReading_.reset(); // what the program writes is read back like any other change
    if ((lastWriteFailure_ = files::ReplaceFile(file_, changed->Serialize()))) {
        return nullptr;
    }
    return changed;
}

const std::optional<RegistryValue>& Registry::FindValue(const KeyView& key, std::string_view name) {
    if (lastLookup_.reading != key.content || lastLookup_.keyPath != key.path ||
        lastLookup_.name != name) {
        lastLookup_ = {key.content, key.path, std::string(name),
                       key.content->FindValue(key.path, name)};
    }
    return lastLookup_.value;
}

HKEY Registry::Remember(std::string keyPath, Document content) {
    const HKEY key = nextHandle_++;
    openKeys_.emplace(key, KeyView{std::move(keyPath), std::move(content)});
    return key;
}

Registry::KeyView* Registry::OpenKeyView(HKEY key) {
    const auto found = openKeys_.find(key);
    return found == openKeys_.end() ? nullptr : &found->second;
}

std::int32_t Registry::CreateKey(HKEY root, std::string_view subKey, HKEY& key) {
    const char* rootName = RootName(root);
    if (rootName == nullptr) {
        return RegistryResult::InvalidHandle;
    }
    std::string keyPath = std::string(rootName) + "\\" + std::string(subKey);
    Document document = Read();
    if (!document) {
        lastWriteFailure_ = readFailure_;
        return RegistryResult::ReadFault;
    }
    if (!document->HasKey(keyPath)) {
        document = Change([&](RegistryDocument& file) { file.AddKey(keyPath); });
        if (!document) {
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
    Document document = Read();
    if (!document || !document->HasKey(keyPath)) {
        return RegistryResult::FileNotFound;
    }
    key = Remember(std::move(keyPath), std::move(document));
    return RegistryResult::Success;
}

std::int32_t Registry::QueryValue(HKEY key, std::string_view name, std::uint32_t& type,
                                  std::span<std::uint8_t> buffer, std::uint32_t& size) {
    const KeyView* open = OpenKeyView(key);
    if (open == nullptr) {
        return RegistryResult::InvalidHandle;
    }
    const auto& value = FindValue(*open, name);
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
    KeyView* open = OpenKeyView(key);
    if (open == nullptr) {
        return RegistryResult::InvalidHandle;
    }
    // A line break in a name would split its line of the file, and the value would be lost.
    if (FirstControlCharacter(name)) {
        lastWriteFailure_ = std::make_error_code(std::errc::invalid_argument);
        return RegistryResult::InvalidParameter;
    }
    Document changed = Change([&](RegistryDocument& file) {
        file.SetValue(open->path, name, RegistryValue{type, {data.begin(), data.end()}});
    });
    if (!changed) {
        return RegistryResult::WriteFault;
    }
    open->content = std::move(changed);
    return RegistryResult::Success;
}

std::int32_t Registry::CloseKey(HKEY key) {
    return openKeys_.erase(key) == 1 ? RegistryResult::Success : RegistryResult::InvalidHandle;
}
