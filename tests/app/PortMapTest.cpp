// Port numbers and the devices they mean.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

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
    const auto& e = entries;
    EXPECT_EQ(std::make_tuple(e[4].name, e[4].device, e[4].linked, e[4].present, e[4].shown),
              std::make_tuple(std::string("Com5"), (dir / "com5").string(), true, true,
                              fs::canonical(target).string()));  // shown: where the link leads
    EXPECT_EQ(std::make_tuple(e[5].linked, e[5].present, e[6].linked, e[6].device),
              std::make_tuple(true, false, false, std::string("/dev/ttyS6")));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace velkor
