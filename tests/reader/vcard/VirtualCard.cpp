// A memory card for the virtual reader driver of pcscd: it connects to the driver's port,
// answers with the answer-to-reset of an Extended I2C storage card and serves READ BINARY and
// UPDATE BINARY from a 32768-byte image file, writing updates back to it. It can leave after a
// number of commands, as a card pulled out in the middle of a read, and come back; or stop the
// PC/SC daemon then, as a service that goes away in the middle of a read.
//
// ostrivan_vcard --image FILE [--drop-after N] [--rejoin-ms MS] [--kill-pid PID]

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
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
constexpr int DriverPort = 35963;

// Its last byte is the check byte: all others but the first XORed.
const Bytes Atr = {0x3B, 0x8F, 0x80, 0x01, 0x80, 0x4F, 0x0C, 0xA0, 0x00, 0x00,
                   0x03, 0x06, 0x0E, 0xC0, 0xC1, 0x00, 0x00, 0x00, 0x00, 0x67};

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
    explicit Card(std::string file) : file_(std::move(file)) {
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
        if (apdu[1] == 0xA4) { // select card type
            return {0x90, 0x00};
        }
        if (apdu[1] == 0xB0 && apdu.size() == 5 && address + length <= CardSize) {
            Bytes data(at, at + static_cast<std::ptrdiff_t>(length));
            data.insert(data.end(), {0x90, 0x00});
            return data;
        }
        if ((apdu[1] == 0xD6 || apdu[1] == 0xD0) && apdu.size() == 5u + apdu[4] &&
            address + apdu[4] <= CardSize) {
            std::copy(apdu.begin() + 5, apdu.end(), at);
            std::ofstream(file_, std::ios::binary)
                .write(reinterpret_cast<const char*>(image_.data()), CardSize);
            return {0x90, 0x00};
        }
        return {0x6B, 0x00};
    }

private:
    std::string file_;
    Bytes image_;
};

int ConnectToDriver() {
    for (;;) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(DriverPort);
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

// Serves the driver until it goes away or the card is to drop; true when it dropped.
bool Serve(int fd, Card& card, long& commandsLeft) {
    for (;;) {
        std::uint8_t header[2];
        if (!Receive(fd, header, sizeof header)) {
            return false;
        }
        Bytes payload(static_cast<std::size_t>(header[0] << 8 | header[1]));
        if (!Receive(fd, payload.data(), payload.size())) {
            return false;
        }
        if (payload.size() == 1) { // power off, on and reset have no answer; get ATR has
            if (payload[0] == 0x04 && !Send(fd, Atr)) {
                return false;
            }
            continue;
        }
        if (commandsLeft-- == 0) {
            return true;
        }
        if (!Send(fd, card.Answer(payload))) {
            return false;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> options = {
        {"--drop-after", "-1"}, {"--rejoin-ms", "-1"}, {"--kill-pid", "0"}};
    for (int i = 1; i + 1 < argc; i += 2) {
        options[argv[i]] = argv[i + 1];
    }
    if (!options.contains("--image")) {
        std::fprintf(stderr,
                     "usage: %s --image FILE [--drop-after N] [--rejoin-ms MS] "
                     "[--kill-pid PID]\n",
                     argv[0]);
        return 2;
    }
    Card card(options["--image"]);
    long commandsLeft = std::stol(options["--drop-after"]);
    const long rejoinMs = std::stol(options["--rejoin-ms"]);
    const pid_t killPid = std::stoi(options["--kill-pid"]);
    for (;;) {
        const int fd = ConnectToDriver();
        const bool dropped = Serve(fd, card, commandsLeft);
        if (dropped && killPid > 0) {
            // The command stays unanswered while the service goes, taking the reader with it.
            ::kill(killPid, SIGTERM);
            std::uint8_t ignored[256];
            while (::recv(fd, ignored, sizeof ignored, 0) > 0) {
            }
        }
        ::close(fd);
        if (dropped && rejoinMs < 0) {
            return 0;
        }
        if (dropped) {
            commandsLeft = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(rejoinMs));
        }
    }
}
