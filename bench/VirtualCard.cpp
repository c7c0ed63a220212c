// The benchmark's memory card for the virtual reader driver of pcscd: it connects to the
// driver's port, answers with the answer-to-reset of an Extended I2C storage card and serves
// READ BINARY and UPDATE BINARY from a 32768-byte image file. It answers as fast as the driver
// lets it, or as a real reader would: a delay for every command and one for every data byte on
// the card's bus; and it may refuse reads longer than 64 bytes, as some readers do.
//
// ostrivan_vcard --image FILE [--port 35963] [--command-us US] [--byte-ns NS] [--short-reads]

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t CardSize = 32768;

// Its last byte is the check byte: all others but the first XORed.
const Bytes Atr = {0x3B, 0x8F, 0x80, 0x01, 0x80, 0x4F, 0x0C, 0xA0, 0x00, 0x00,
                   0x03, 0x06, 0x0E, 0xC0, 0xC1, 0x00, 0x00, 0x00, 0x00, 0x67};

// How long a real reader takes: per command (USB and the reader's own work) and per data
// byte on the card's bus.
struct ReaderTime {
    std::chrono::microseconds perCommand{0};
    std::chrono::nanoseconds perByte{0};
    bool shortReadsOnly = false;
};

bool Receive(int fd, std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        // The driver sends length and payload apart; without a quick ack each waits ~40 ms.
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
        const ssize_t got = ::recv(fd, data, size, 0);
        if (got <= 0) {
            return false;
        }
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool Send(int fd, Bytes payload) {
    const auto size = static_cast<std::uint16_t>(payload.size());
    payload.insert(payload.begin(),
                   {static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)});
    return ::send(fd, payload.data(), payload.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(payload.size());
}

class Card {
public:
    Card(std::string file, ReaderTime time) : file_(std::move(file)), time_(time) {
        std::ifstream in(file_, std::ios::binary);
        image_.assign(std::istreambuf_iterator<char>(in), {});
        image_.resize(CardSize, 0xFF);
    }

    Bytes Answer(const Bytes& apdu) {
        if (apdu.size() < 5 || apdu[0] != 0xFF) {
            return {0x6E, 0x00};
        }
        const std::size_t address = static_cast<std::size_t>(apdu[2]) << 8 | apdu[3];
        const std::size_t length = apdu[4] == 0 ? 256 : apdu[4];
        const auto at = image_.begin() + static_cast<std::ptrdiff_t>(address);
        std::this_thread::sleep_for(time_.perCommand + time_.perByte * length);
        if (apdu[1] == 0xB0 && time_.shortReadsOnly && length > 64) {
            return {0x67, 0x00};
        }
        if (apdu[1] == 0xB0 && apdu.size() == 5 && address + length <= CardSize) {
            Bytes data(at, at + static_cast<std::ptrdiff_t>(length));
            data.insert(data.end(), {0x90, 0x00});
            return data;
        }
        if (apdu[1] == 0xD6 && apdu.size() == 5u + apdu[4] && address + apdu[4] <= CardSize) {
            std::copy(apdu.begin() + 5, apdu.end(), at);
            std::ofstream(file_, std::ios::binary)
                .write(reinterpret_cast<const char*>(image_.data()), CardSize);
            return {0x90, 0x00};
        }
        return {0x6B, 0x00};
    }

private:
    std::string file_;
    ReaderTime time_;
    Bytes image_;
};

int ConnectToDriver(int port) {
    for (;;) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            const int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return fd;
        }
        ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// Serves the driver until it goes away.
void Serve(int fd, Card& card) {
    for (;;) {
        std::uint8_t header[2];
        if (!Receive(fd, header, sizeof header)) {
            return;
        }
        Bytes payload(static_cast<std::size_t>(header[0] << 8 | header[1]));
        if (!Receive(fd, payload.data(), payload.size())) {
            return;
        }
        if (payload.size() == 1) { // power off, on and reset have no answer; get ATR has
            if (payload[0] == 0x04 && !Send(fd, Atr)) {
                return;
            }
            continue;
        }
        if (!Send(fd, card.Answer(payload))) {
            return;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> options = {
        {"--port", "35963"}, {"--command-us", "0"}, {"--byte-ns", "0"}};
    bool shortReads = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--short-reads") {
            shortReads = true;
        } else if (i + 1 < argc) {
            options[option] = argv[++i];
        }
    }
    if (!options.contains("--image")) {
        std::fprintf(stderr,
                     "usage: %s --image FILE [--port 35963] [--command-us US] [--byte-ns NS] "
                     "[--short-reads]\n",
                     argv[0]);
        return 2;
    }
    Card card(options["--image"],
              {std::chrono::microseconds(std::stol(options["--command-us"])),
               std::chrono::nanoseconds(std::stol(options["--byte-ns"])), shortReads});
    for (;;) {
        const int fd = ConnectToDriver(std::stoi(options["--port"]));
        Serve(fd, card);
        ::close(fd);
    }
}
