// Test runner for the plug-in tests: the host lives on the main thread for the whole run.
#include "devhost/instruments/instruments.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    hostStart();
    attachInstruments();
    return RUN_ALL_TESTS();
}
