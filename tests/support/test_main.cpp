// Every test binary starts here: an offscreen QApplication, and HOME and the
// XDG folders pointed at a private temporary folder, so no test touches the
// user's own files.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    const std::string h = home.path().toStdString();
    setenv("HOME", h.c_str(), 1);
    setenv("XDG_DATA_HOME", (h + "/.local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (h + "/.config").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (h + "/Documents").c_str(), 1);
    QDir().mkpath(home.path() + "/runtime");
    QFile::setPermissions(home.path() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);
    setenv("XDG_RUNTIME_DIR", (h + "/runtime").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
