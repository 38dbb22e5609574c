// The application's keys live in the standard suite: point it at a fresh
// folder before anything touches it, so no test reads or writes the user's
// own settings.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    testsupport::TempDir config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
