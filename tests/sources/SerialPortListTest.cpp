#include "SerialPortList.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace orvane {
namespace {

namespace fs = std::filesystem;

TEST(SerialPortList, PortsFoundWithTheComNumbersThatReachThem) {
    QTemporaryDir tmp;
    const fs::path dev = fs::path(tmp.path().toStdString()) / "dev";
    const fs::path data = fs::path(tmp.path().toStdString()) / "data";
    fs::create_directories(dev);
    fs::create_directories(data / "ports");
    for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyUSB0", "ttyACM3", "tty0", "ttySX", "null"})
        std::ofstream(dev / name) << "";
    fs::create_symlink(dev / "ttyUSB0", data / "ports" / "COM7");
    fs::create_symlink(dev / "ttyS2", data / "ports" / "COM2"); // takes ttyS1's own number
    std::ofstream(data / "ports" / "notes.txt") << "";

    // ttyS0 and ttyS1 answer; ttyS2 has no UART behind it but a link names it.
    const std::set<std::string> answering = {(dev / "ttyS0").string(), (dev / "ttyS1").string()};
    const auto ports = ListSerialPorts(dev.string(), data.string() + "/",
                                       [&](const std::string& d) { return answering.count(d) > 0; });
    ASSERT_EQ(ports.size(), 5u);
    EXPECT_EQ(ports[0].com, 1);
    EXPECT_EQ(ports[0].device, (dev / "ttyS0").string());
    EXPECT_EQ(ports[1].com, 2);
    EXPECT_EQ(ports[1].device, fs::canonical(dev / "ttyS2").string());
    EXPECT_EQ(ports[1].link, "ports/COM2");
    EXPECT_EQ(ports[2].com, 7);
    EXPECT_EQ(ports[2].device, fs::canonical(dev / "ttyUSB0").string());
    // Without a number of their own: a UART whose number a link took, a modem.
    EXPECT_EQ(ports[3].com, 0);
    EXPECT_EQ(ports[3].device, (dev / "ttyACM3").string());
    EXPECT_EQ(ports[4].com, 0);
    EXPECT_EQ(ports[4].device, (dev / "ttyS1").string());

    const std::string text = SerialPortMessage(ports, data.string() + "/");
    EXPECT_NE(text.find("COM1 = " + (dev / "ttyS0").string()), std::string::npos) << text;
    EXPECT_NE(text.find("COM7 = " + fs::canonical(dev / "ttyUSB0").string() + " (ports/COM7)"), std::string::npos);
    EXPECT_NE(text.find((dev / "ttyACM3").string() + ": no COM number"), std::string::npos);
    EXPECT_NE(text.find(data.string() + "/ports/COMn"), std::string::npos);
}

TEST(SerialPortList, NothingFoundSaysSo) {
    QTemporaryDir tmp;
    EXPECT_TRUE(ListSerialPorts(tmp.path().toStdString(), tmp.path().toStdString(), [](const std::string&) {
                    return true;
                }).empty());
    EXPECT_EQ(SerialPortMessage({}, "/x/"), "No serial ports found.");
    // A plain file is no terminal.
    const std::string file = tmp.path().toStdString() + "/plain";
    std::ofstream(file) << "x";
    EXPECT_FALSE(TerminalAnswers(file));
}

} // namespace
} // namespace orvane
