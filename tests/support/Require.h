#pragma once

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

// What a test needs from the machine (a service, root for a mount): the test fails without it
// under CI, where a skip would hide an untested fault, and is skipped elsewhere.
#define OSTRIVAN_REQUIRE(condition, what)                                                          \
    if (!(condition)) {                                                                            \
        if (std::getenv("CI") != nullptr && std::string(std::getenv("CI")) == "true") {            \
            FAIL() << "needed under CI: " << what;                                                 \
        }                                                                                          \
        GTEST_SKIP() << "needs " << what;                                                          \
    }
