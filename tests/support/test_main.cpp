// Every test binary starts here: an offscreen QApplication, and HOME and the
// XDG folders pointed at a private temporary folder, so no test touches the
// user's own files. Fonts come from the DejaVu family alone, whatever else the
// machine has installed: the names our windows ask for ("Arial", "Tahoma",
// "Courier" ...) then resolve the same everywhere, and pictures compared with
// committed references do not change with the machine's font packages. The
// offscreen screen is 1280 x 1024 at 96 dpi, the smallest screen the windows
// must fit whole, unless the binary defines orvane::test::TestScreen. A test
// that needs a real window manager starts the binary again as a child with
// ORVANE_TEST_X_DISPLAY naming the X display it set up.
#include "TestScreen.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    const std::string h = home.path().toStdString();
    QFile screens(home.path() + "/screens.json");
    if (!screens.open(QIODevice::WriteOnly)) return 2;
    const QRect screen = orvane::test::TestScreen ? orvane::test::TestScreen() : QRect(0, 0, 1280, 1024);
    screens.write(QStringLiteral(R"({"screens": [{"name": "Screen1", "x": %1, "y": %2, "width": %3, "height": %4,)"
                                 R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                      .arg(screen.x())
                      .arg(screen.y())
                      .arg(screen.width())
                      .arg(screen.height())
                      .toUtf8());
    screens.close();
    if (const char* display = std::getenv("ORVANE_TEST_X_DISPLAY"); display && *display) {
        setenv("DISPLAY", display, 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + h + "/screens.json").c_str(), 1);
    }
    setenv("HOME", h.c_str(), 1);
    setenv("XDG_DATA_HOME", (h + "/.local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (h + "/.config").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (h + "/Documents").c_str(), 1);
    QDir().mkpath(home.path() + "/runtime");
    QFile::setPermissions(home.path() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);
    setenv("XDG_RUNTIME_DIR", (h + "/runtime").c_str(), 1);
    QFile fonts(home.path() + "/fonts.conf");
    if (!fonts.open(QIODevice::WriteOnly)) return 2;
    fonts.write("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                "  <dir>/usr/share/fonts/truetype/dejavu</dir>\n"
                "  <cachedir>" + QByteArray(h.c_str()) + "/fontcache</cachedir>\n"
                "  <include ignore_missing=\"yes\">/etc/fonts/conf.d</include>\n</fontconfig>\n");
    fonts.close();
    setenv("FONTCONFIG_FILE", (h + "/fonts.conf").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
