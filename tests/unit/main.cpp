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
    ::testing::AddGlobalTestEnvironment(new GlEnvironment);
    return RUN_ALL_TESTS();
}
