#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "assets/bmp.h"

// The platform seams as Linux has them. Here: with every descriptor taken, the image loader's
// usual line comes first and the system's reason after it.
TEST(Platform, WithEveryDescriptorTakenTheSystemsReasonFollowsTheUsualLine)
{
    const std::string path = (std::filesystem::temp_directory_path() / "platform.bmp").string();
    std::ofstream(path) << "BM";
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    const rlimit low{64, limit.rlim_max};
    setrlimit(RLIMIT_NOFILE, &low);
    testing::internal::CaptureStdout();
    std::vector<int> taken;
    for (int fd = dup(0); fd >= 0; fd = dup(0)) {
        taken.push_back(fd);
    }
    Image image{};
    EXPECT_EQ(loadBMP(path.c_str(), &image), 0);
    for (int fd : taken) {
        close(fd);
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_EQ(printed, "File Not Found : " + path + "\n" + path +
                           " could not be opened: Too many open files\n");
    std::remove(path.c_str());
}
