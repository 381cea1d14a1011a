// main() of every GL test binary: one context for all of its tests.
#include "gl_test_environment.h"

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GlTestEnvironment);
    return RUN_ALL_TESTS();
}
