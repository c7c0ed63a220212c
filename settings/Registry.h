#pragma once

#include "settings/RegistryDocument.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <system_error>

using HKEY = std::uint32_t;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
constexpr HKEY HKEY_USERS = 0x80000003;

constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;

// Result codes of the registry calls, as the registry itself gives them.
namespace RegistryResult {
constexpr std::int32_t Success = 0;
constexpr std::int32_t FileNotFound = 2;
constexpr std::int32_t InvalidHandle = 6;
constexpr std::int32_t WriteFault = 29;
constexpr std::int32_t ReadFault = 30;
constexpr std::int32_t InvalidParameter = 87;
constexpr std::int32_t MoreData = 234;
} // namespace RegistryResult

// The registry calls the settings module needs, over one REGEDIT4 file. Opening a key looks at
// the file as it stands: it is read again only when its identity (device, inode, size,
// modification and change times) differs from the last reading, so another program's edit is
// seen at the next open while an unchanged file costs one stat. The handle then answers
// queries from that reading, as the settings module opens and closes a key around every value
// it moves. Every change reads the file again and replaces it atomically, so a failed write
// leaves the old file whole; from the reading to the replacing it holds an exclusive lock on
// "NAME.lock" beside the file, so that programs writing at once never lose each other's
// values. A lock not had within the patience given is a write that cannot be made.
class Registry {
public:
    explicit Registry(std::filesystem::path file,
                      std::chrono::milliseconds lockPatience = std::chrono::seconds(5));

    // Opens the key, creating it (and with it its parents) when it does not exist yet.
    std::int32_t CreateKey(HKEY root, std::string_view subKey, HKEY& key);
    std::int32_t OpenKey(HKEY root, std::string_view subKey, HKEY& key);
    // With an empty buffer: the value's type and size. Otherwise its data as well, when the
    // buffer is large enough; size becomes the number of bytes the value holds.
    std::int32_t QueryValue(HKEY key, std::string_view name, std::uint32_t& type,
                            std::span<std::uint8_t> buffer, std::uint32_t& size);
    // A name holding a control character is refused (InvalidParameter): it would break the file.
    std::int32_t SetValue(HKEY key, std::string_view name, std::uint32_t type,
                          std::span<const std::uint8_t> data);
    std::int32_t CloseKey(HKEY key);

    // Why the last change of the file could not be made (timed_out: another program held the
    // lock); nothing after a change that was made.
    std::error_code LastWriteFailure() const { return lastWriteFailure_; }

private:
    using Document = std::shared_ptr<const RegistryDocument>;
    struct KeyView {
        std::string path; // from the root key's name down
        Document content;
    };
    struct Identity {
        dev_t device;
        ino_t inode;
        off_t size;
        timespec modified;
        timespec changed;
    };

    std::filesystem::path file_;
    std::chrono::milliseconds lockPatience_;
    std::map<HKEY, KeyView> openKeys_;
    HKEY nextHandle_ = 0x100;
    Identity lastIdentity_{};
    Document lastReading_;        // none: read the file at the next use
    std::error_code readFailure_; // why the file could not be read, when it could not
    std::error_code lastWriteFailure_;
    // The value last looked up, for as long as its reading is the one in use: a setting is
    // asked for its size and then its data, line after line of a long read.
    struct Lookup {
        Document reading;
        std::string keyPath;
        std::string name;
        std::optional<RegistryValue> value;
    };
    Lookup lastLookup_;

    // The file as it stands: empty when there is none, nothing when it cannot be read.
    Document Read();
    // Reads the file afresh, changes it and replaces it; the new content, or nothing.
    Document Change(const std::function<void(RegistryDocument&)>& change);
    const std::optional<RegistryValue>& FindValue(const KeyView& key, std::string_view name);
    HKEY Remember(std::string keyPath, Document content);
    KeyView* OpenKeyView(HKEY key);
};
