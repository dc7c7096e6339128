#include <gtest/gtest.h>

#include "support/gl_env.h"

// Creates the one GLUT window that every in-process test draws into.
class GlEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ensureGlWindow(); }
};

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // A death test re-runs this binary for its one test: the child gets a fresh window
    // instead of sharing the parent's X connection.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::testing::AddGlobalTestEnvironment(new GlEnvironment);
    return RUN_ALL_TESTS();
}
