#include "tests/support/ReportFixture.h"

std::vector<std::string> ReportFixture::LogTexts() const {
    std::vector<std::string> texts;
    const std::string log = ReadFileBytes(logFile);
    std::size_t start = 0;
    for (std::size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
        texts.push_back(log.substr(start + 28, end - start - 28));
    }
    return texts;
}
