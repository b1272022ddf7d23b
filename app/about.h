#pragma once
#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

namespace orvane {

class TForm1;
namespace controls {
class TLinkLabel;
}

// "About": the program's name, version and icon, and links to its folders.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(TForm1& main);

    QWidget* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Copyright = nullptr;
    controls::TLinkLabel* URL1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    controls::TLinkLabel* URL2 = nullptr; // program folder
    controls::TLinkLabel* URL3 = nullptr; // user data folder
    controls::TLinkLabel* URL4 = nullptr; // plug-ins folder
    QPushButton* OKButton = nullptr;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    enum class LinkKind { Folder, Web };

    void FormCreate();
    // The label opens its link through the program's shell and, when
    // nothing opens it, says what failed and what to do instead.
    void OpenThroughShell(controls::TLinkLabel* label, LinkKind kind);

    TForm1& main_;
};

} // namespace orvane
