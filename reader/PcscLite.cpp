#include "reader/PcscLite.h"

#include <dlfcn.h>
#include <winscard.h>

namespace {

constexpr const char* LibraryName = "libpcsclite.so.1";

std::uint32_t Code(LONG result) {
    return static_cast<std::uint32_t>(result);
}

struct Functions {
    decltype(&SCardEstablishContext) establishContext = nullptr;
    decltype(&SCardReleaseContext) releaseContext = nullptr;
    decltype(&SCardListReaders) listReaders = nullptr;
    decltype(&SCardGetStatusChange) getStatusChange = nullptr;
    decltype(&SCardConnect) connect = nullptr;
    decltype(&SCardStatus) status = nullptr;
    decltype(&SCardTransmit) transmit = nullptr;
    decltype(&SCardDisconnect) disconnect = nullptr;

    bool Load(void* library) {
        return Bind(library, "SCardEstablishContext", establishContext) &&
               Bind(library, "SCardReleaseContext", releaseContext) &&
               Bind(library, "SCardListReaders", listReaders) &&
               Bind(library, "SCardGetStatusChange", getStatusChange) &&
               Bind(library, "SCardConnect", connect) && Bind(library, "SCardStatus", status) &&
               Bind(library, "SCardTransmit", transmit) &&
               Bind(library, "SCardDisconnect", disconnect);
    }

    template <typename Function>
    static bool Bind(void* library, const char* name, Function& function) {
        function = reinterpret_cast<Function>(::dlsym(library, name));
        return function != nullptr;
    }
};

class PcscLite : public PcscTransport {
public:
    ~PcscLite() override {
        ReleaseContext();
        if (library_ != nullptr) {
            ::dlclose(library_);
        }
    }

    std::uint32_t EstablishContext() override {
        if (!Loaded()) {
            return PcscCode::NoService;
        }
        ReleaseContext();
        SCARDCONTEXT context = 0;
        const auto result =
            Code(pcsc_.establishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context));
        if (result == PcscCode::Success) {
            context_ = context;
            hasContext_ = true;
        }
        return result;
    }

    void ReleaseContext() override {
        if (hasContext_) {
            pcsc_.releaseContext(context_);
            hasContext_ = false;
        }
    }

    std::uint32_t ListReaders(std::vector<std::string>& readers) override {
        DWORD size = 0;
        auto result = Code(pcsc_.listReaders(context_, nullptr, nullptr, &size));
        if (result != PcscCode::Success) {
            return result;
        }
        std::string names(size, '\0');
        result = Code(pcsc_.listReaders(context_, nullptr, names.data(), &size));
        if (result != PcscCode::Success) {
            return result;
        }
        names.resize(std::min<std::size_t>(size, names.size()));
        readers.clear();
        for (std::size_t start = 0; start < names.size() && names[start] != '\0';) {
            const std::size_t end = names.find('\0', start);
            readers.push_back(names.substr(start, end - start));
            start = end == std::string::npos ? names.size() : end + 1;
        }
        return result;
    }

    std::uint32_t GetStatusChange(const std::string& reader, std::uint32_t knownState,
                                  std::uint32_t timeoutMs, ReaderState& state) override {
        SCARD_READERSTATE readerState{};
        readerState.szReader = reader.c_str();
        readerState.dwCurrentState = knownState;
        const auto result = Code(pcsc_.getStatusChange(context_, timeoutMs, &readerState, 1));
        state.flags = static_cast<std::uint32_t>(readerState.dwEventState);
        state.atr.assign(readerState.rgbAtr,
                         readerState.rgbAtr + std::min<DWORD>(readerState.cbAtr, MAX_ATR_SIZE));
        return result;
    }

    std::uint32_t Connect(const std::string& reader, PcscCard& card,
                          std::uint32_t& protocol) override {
        SCARDHANDLE handle = 0;
        DWORD active = 0;
        const auto result =
            Code(pcsc_.connect(context_, reader.c_str(), SCARD_SHARE_EXCLUSIVE,
                               SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &handle, &active));
        card = static_cast<PcscCard>(handle);
        protocol = static_cast<std::uint32_t>(active);
        return result;
    }

    std::uint32_t Status(PcscCard card, std::vector<std::uint8_t>& atr) override {
        BYTE buffer[MAX_ATR_SIZE];
        DWORD atrLength = sizeof buffer;
        DWORD state = 0;
        DWORD protocol = 0;
        DWORD nameLength = 0;
        const auto result = Code(pcsc_.status(static_cast<SCARDHANDLE>(card), nullptr, &nameLength,
                                              &state, &protocol, buffer, &atrLength));
        atr.assign(buffer, buffer + std::min<DWORD>(atrLength, sizeof buffer));
        return result;
    }

    std::uint32_t Transmit(PcscCard card, std::uint32_t protocol,
                           std::span<const std::uint8_t> command,
                           std::vector<std::uint8_t>& response) override {
        const SCARD_IO_REQUEST sendPci{protocol, sizeof(SCARD_IO_REQUEST)};
        response.resize(
            MAX_BUFFER_SIZE); // a short response: up to 256 data bytes and a status word
        DWORD length = static_cast<DWORD>(response.size());
        const auto result = Code(pcsc_.transmit(static_cast<SCARDHANDLE>(card), &sendPci,
                                                command.data(), static_cast<DWORD>(command.size()),
                                                nullptr, response.data(), &length));
        response.resize(result == PcscCode::Success ? std::min<std::size_t>(length, response.size())
                                                    : 0);
        return result;
    }

    std::uint32_t Disconnect(PcscCard card) override {
        return Code(pcsc_.disconnect(static_cast<SCARDHANDLE>(card), SCARD_LEAVE_CARD));
    }

private:
    void* library_ = nullptr;
    bool loadTried_ = false;
    bool loaded_ = false;
    Functions pcsc_;
    SCARDCONTEXT context_ = 0;
    bool hasContext_ = false;

    bool Loaded() {
        if (!loadTried_) {
            loadTried_ = true;
            library_ = ::dlopen(LibraryName, RTLD_NOW | RTLD_LOCAL);
            loaded_ = library_ != nullptr && pcsc_.Load(library_);
        }
        return loaded_;
    }
};

} // namespace

std::unique_ptr<PcscTransport> MakePcscLiteTransport() {
    return std::make_unique<PcscLite>();
}
