#include <gtest/gtest.h>

#include "support/gl_env.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // A death test re-runs this binary for its one test: the child gets a fresh window
    // instead of sharing the parent's X connection.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ensureGlWindow();  // the one GLUT window every in-process test draws into
    return RUN_ALL_TESTS();
}
