#pragma once
// The real program with the built group analyser, playing a recording to its
// end as fast as it plays.
#include "OrvaneApp.h"
#include "Unit1.h"

#include <QLabel>
#include "SeekTrackBar.h"
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>

namespace orvane::test {

class AnalyserProgram {
public:
    // A program folder in `dir` with the analyser in its "plugins" folder.
    explicit AnalyserProgram(const QTemporaryDir& dir) : folder_(dir.path().toStdString() + "/program/") {
        std::filesystem::create_directories(folder_ + "plugins");
        std::filesystem::copy_file(std::string(BUILT_PLUGIN_DIR) + "/kelmira.so", folder_ + "plugins/kelmira.so");
    }
    const std::string& Folder() const { return folder_; }

    // Starts the program on the file at the highest speed, a group every
    // 10 ms; false when the playback did not end in time.
    bool PlayToEnd(const std::string& file) {
        app_ = std::make_unique<OrvaneApp>(system_.Make(folder_ + "orvane", {file}));
        app_->CreateWindows();
        TForm1& main = Main();
        main.TBSpeed->SetPosition(2);
        main.show();
        return QTest::qWaitFor([&] { return !main.LEND->isHidden(); }, 30000);
    }
    TForm1& Main() { return *app_->Forms().form1; }

private:
    std::string folder_;
    SystemEnv system_;
    std::unique_ptr<OrvaneApp> app_;
};

} // namespace orvane::test
