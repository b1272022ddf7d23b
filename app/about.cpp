#include "about.h"

#include "LinkLabel.h"
#include "Named.h"
#include "Shell.h"
#include "Unit1.h"

#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <orvane/version.h>

#include <filesystem>

namespace orvane {
namespace {

// A file URL of the folder; Qt encodes what a URL cannot carry ("#", "%",
// blanks), so every folder name opens.
std::string FolderLink(const std::string& folder) {
    return QUrl::fromLocalFile(QString::fromStdString(folder)).toString(QUrl::FullyEncoded).toStdString();
}

} // namespace

TAboutBox::TAboutBox(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    auto* layout = new QVBoxLayout(this);

    Panel1 = Named<QWidget>("Panel1", this);
    auto* panelLayout = new QHBoxLayout(Panel1);
    ProgramIcon = Named<QLabel>("ProgramIcon", Panel1);
    ProgramIcon->setPixmap(QPixmap(QStringLiteral(":/orvane/orvane.png"))
                               .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ProgramIcon->setAlignment(Qt::AlignTop);
    panelLayout->addWidget(ProgramIcon);
    auto* texts = new QVBoxLayout;
    auto label = [&](const char* name, const char* text) {
        auto* l = Named<QLabel>(name, QString::fromUtf8(text), Panel1);
        texts->addWidget(l);
        return l;
    };
    ProductName = label("ProductName", "Orvane");
    QFont bold = ProductName->font();
    bold.setBold(true);
    ProductName->setFont(bold);
    Version = label("Version", "RDS Decoder and Analyser");
    Comments = label("Comments", "Version " ORVANE_VERSION);
    Copyright = label("Copyright", "Decodes RDS from receivers, sound cards, devices and recordings.");
    URL1 = Named<controls::TLinkLabel>("URL1", Panel1);
    URL1->setText("www.orvane.org");
    URL1->SetLink("https://www.orvane.org");
    URL1->SetLinkLook(Qt::blue);
    texts->addWidget(URL1);
    panelLayout->addLayout(texts, 1);
    Panel1->setAutoFillBackground(true);
    layout->addWidget(Panel1);

    GroupBox1 = Named<QGroupBox>("GroupBox1", "Application folders", this);
    auto* folders = new QVBoxLayout(GroupBox1);
    auto link = [&](const char* name) {
        auto* l = Named<controls::TLinkLabel>(name, GroupBox1);
        l->SetLinkLook(); // in the window-text colour
        OpenThroughShell(l, LinkKind::Folder);
        folders->addWidget(l);
        return l;
    };
    URL2 = link("URL2");
    URL3 = link("URL3");
    URL4 = link("URL4");
    OpenThroughShell(URL1, LinkKind::Web);
    layout->addWidget(GroupBox1);

    OKButton = Named<QPushButton>("OKButton", "OK", this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
    FormCreate();
}

void TAboutBox::FormCreate() {
    const std::string& program = main_.ProgramFolder();
    const std::string& data = main_.DataFolder();
    URL2->setText(QString::fromStdString(program));
    URL2->SetLink(FolderLink(program));
    URL3->setText(QString::fromStdString(data));
    URL3->SetLink(FolderLink(data));
    std::error_code ec;
    URL3->setVisible(std::filesystem::is_directory(data, ec) && data != program);
    const std::string plugins = program + "plugins/";
    URL4->setText(QString::fromStdString(plugins));
    URL4->SetLink(FolderLink(plugins));
}

void TAboutBox::OpenThroughShell(controls::TLinkLabel* label, LinkKind kind) {
    label->SetShell(&main_.Shell());
    // Without a desktop that knows a file manager or browser, the click
    // would do nothing at all.
    label->OnOpenFailed = [this, label, kind](QObject*) {
        const std::string text = kind == LinkKind::Folder
                                     ? "Can't start a file manager for " + label->text().toStdString() +
                                           ". \rOpen the folder with a file manager of your choice."
                                     : NoBrowserMessage(label->Link());
        main_.Env().modal->Message(this, text);
    };
}

void TAboutBox::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace orvane
