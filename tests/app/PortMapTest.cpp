// Port numbers and the devices they mean.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/PortMap.h"

namespace velkor {
namespace {

namespace fs = std::filesystem;

TEST(PortMap, NumbersMapToTheUsualDevices) {
    EXPECT_EQ(portName(255), "Com255");
    const std::pair<int, const char*> devices[] = {
        {1, "/dev/ttyS0"},    {32, "/dev/ttyS31"},   {33, "/dev/ttyUSB0"}, {64, "/dev/ttyUSB31"},
        {65, "/dev/ttyACM0"}, {96, "/dev/ttyACM31"}, {97, "/dev/ttyS96"},  {255, "/dev/ttyS254"}};
    for (const auto& [number, device] : devices) {
        EXPECT_EQ(portDevice(number, ""), device) << number;
    }
}

TEST(PortMap, APersonalLinkWinsEvenWhenItsTargetIsMissing) {
    const fs::path dir = fs::temp_directory_path() / ("velkor-ports-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path target = dir / "device";
    std::ofstream(target).put('x');
    fs::create_symlink(target, dir / "com5");
    fs::create_symlink(dir / "gone", dir / "com6");

    const auto entries = portEntries(dir.string());
    ASSERT_EQ(entries.size(), 255u);
    EXPECT_EQ(entries[4].name, "Com5");
    EXPECT_EQ(entries[4].device, (dir / "com5").string());
    EXPECT_TRUE(entries[4].linked && entries[4].present);
    EXPECT_EQ(entries[4].shown, fs::canonical(target).string());  // where the link leads
    EXPECT_TRUE(entries[5].linked);
    EXPECT_FALSE(entries[5].present);
    EXPECT_FALSE(entries[6].linked);
    EXPECT_EQ(entries[6].device, "/dev/ttyS6");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace velkor
