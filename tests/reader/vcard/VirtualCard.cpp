// A memory card for the virtual reader driver of pcscd: it connects to the driver's port,
// answers with the answer-to-reset of an Extended I2C storage card and serves READ BINARY and
// UPDATE BINARY from a 32768-byte image file, writing updates back to that file. It can leave
// after a number of commands, as a card pulled out in the middle of a read, and come back.
//
// It can also stop the PC/SC daemon itself after a number of commands, as a service that goes
// away in the middle of a read.
//
// ostrivan_vcard --image FILE [--port 35963] [--drop-after N] [--rejoin-ms MS] [--kill-pid PID]

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t CardSize = 32768;

struct Options {
    std::string image;
    int port = 35963;
    long dropAfter = -1;
    long rejoinMs = -1;
    pid_t killPid = 0; // sent SIGTERM when the card drops
};

std::vector<std::uint8_t> Atr() {
    std::vector<std::uint8_t> atr = {0x3B, 0x8F, 0x80, 0x01, 0x80, 0x4F, 0x0C, 0xA0, 0x00, 0x00,
                                     0x03, 0x06, 0x0E, 0xC0, 0xC1, 0x00, 0x00, 0x00, 0x00};
    std::uint8_t check = 0;
    for (std::size_t i = 1; i < atr.size(); ++i) {
        check ^= atr[i];
    }
    atr.push_back(check);
    return atr;
}

bool ReadExactly(int fd, std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        // The driver sends length and payload apart; without a quick ack each waits ~40 ms.
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
        const ssize_t got = ::recv(fd, data, size, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool Send(int fd, const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> frame = {static_cast<std::uint8_t>(payload.size() >> 8),
                                       static_cast<std::uint8_t>(payload.size())};
    frame.insert(frame.end(), payload.begin(), payload.end());
    return ::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(frame.size());
}

class Card {
public:
    explicit Card(const std::string& imageFile) : file_(imageFile), image_(CardSize, 0xFF) {
        const int fd = ::open(file_.c_str(), O_RDONLY);
        if (fd >= 0) {
            const ssize_t got = ::read(fd, image_.data(), image_.size());
            (void)got;
            ::close(fd);
        }
    }

    std::vector<std::uint8_t> Answer(const std::vector<std::uint8_t>& apdu) {
        if (apdu.size() < 5 || apdu[0] != 0xFF) {
            return {0x6E, 0x00};
        }
        const std::size_t address = static_cast<std::size_t>(apdu[2]) << 8 | apdu[3];
        const std::size_t length = apdu[4] == 0 ? 256 : apdu[4];
        switch (apdu[1]) {
        case 0xB0: // READ BINARY
            if (apdu.size() != 5 || address + length > CardSize) {
                return {0x6B, 0x00};
            }
            return WithStatus({image_.begin() + static_cast<std::ptrdiff_t>(address),
                               image_.begin() + static_cast<std::ptrdiff_t>(address + length)});
        case 0xD6: // UPDATE BINARY
        case 0xD0:
            if (apdu.size() != 5u + apdu[4] || address + apdu[4] > CardSize) {
                return {0x6B, 0x00};
            }
            std::copy(apdu.begin() + 5, apdu.end(),
                      image_.begin() + static_cast<std::ptrdiff_t>(address));
            Save();
            return {0x90, 0x00};
        case 0xA4: // select card type
            return {0x90, 0x00};
        default:
            return {0x6D, 0x00};
        }
    }

private:
    std::string file_;
    std::vector<std::uint8_t> image_;

    static std::vector<std::uint8_t> WithStatus(std::vector<std::uint8_t> data) {
        data.push_back(0x90);
        data.push_back(0x00);
        return data;
    }

    void Save() const {
        const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT, 0644);
        if (fd >= 0) {
            const ssize_t written = ::pwrite(fd, image_.data(), image_.size(), 0);
            (void)written;
            ::close(fd);
        }
    }
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

// Serves the driver until it goes away or the card is to drop; true when it dropped.
bool Serve(int fd, Card& card, long& commandsLeft) {
    for (;;) {
        std::uint8_t header[2];
        if (!ReadExactly(fd, header, sizeof header)) {
            return false;
        }
        std::vector<std::uint8_t> payload(static_cast<std::size_t>(header[0] << 8 | header[1]));
        if (!ReadExactly(fd, payload.data(), payload.size())) {
            return false;
        }
        if (payload.size() == 1) {
            if (payload[0] == 0x04 && !Send(fd, Atr())) {
                return false;
            }
            continue; // power off, power on and reset have no answer
        }
        if (commandsLeft == 0) {
            return true;
        }
        if (commandsLeft > 0) {
            --commandsLeft;
        }
        if (!Send(fd, card.Answer(payload))) {
            return false;
        }
    }
}

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--image") {
            options.image = value;
        } else if (name == "--port") {
            options.port = std::atoi(value);
        } else if (name == "--drop-after") {
            options.dropAfter = std::atol(value);
        } else if (name == "--rejoin-ms") {
            options.rejoinMs = std::atol(value);
        } else if (name == "--kill-pid") {
            options.killPid = static_cast<pid_t>(std::atol(value));
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    if (options.image.empty()) {
        std::fprintf(stderr,
                     "usage: %s --image FILE [--port N] [--drop-after N] [--rejoin-ms MS]\n",
                     argv[0]);
        return 2;
    }
    Card card(options.image);
    long commandsLeft = options.dropAfter;
    for (;;) {
        const int fd = ConnectToDriver(options.port);
        bool dropped = Serve(fd, card, commandsLeft);
        if (dropped && options.killPid > 0) {
            // The command stays unanswered while the service goes, taking the reader with it.
            ::kill(options.killPid, SIGTERM);
            std::uint8_t ignored[256];
            while (::recv(fd, ignored, sizeof ignored, 0) > 0) {
            }
        }
        ::close(fd);
        if (dropped && options.rejoinMs < 0) {
            return 0;
        }
        if (dropped) {
            commandsLeft = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(options.rejoinMs));
        }
    }
}
