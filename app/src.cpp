#include "src.h"

#include "DialogButton.h"
#include "Named.h"
#include "RadioGroup.h"
#include "SerialPortList.h"
#include "SpinEdit.h"
#include "Unit1.h"
#include "WaveIO.h"
#include "WindowFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

static void InitPictureResources() { Q_INIT_RESOURCE(pictures); }

namespace orvane {

TDSRC::TDSRC(TForm1& main) : QDialog(&main), main_(main) {
    InitPictureResources();
    setObjectName("DSRC");
    setWindowTitle("Select RDS Source");
    auto* layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    FitTabs(PageControl1);
    layout->addWidget(PageControl1);

    auto* serial = new QWidget;
    auto* sl = new QFormLayout(serial);
    SECOM1 = Named<TSpinEdit>("SECOM1", 1, kCom1Max, 1, serial);
    BLIST1 = Named<QPushButton>("BLIST1", "List...", serial);
    auto* com1 = new QHBoxLayout;
    com1->addWidget(SECOM1);
    com1->addWidget(BLIST1);
    sl->addRow("COM Port:", com1);
    auto* notes = new QGroupBox("Application Notes", serial);
    auto* nl = new QVBoxLayout(notes);
    ImageCircuit = new QLabel(notes);
    ImageCircuit->setObjectName("ImageCircuit");
    ImageCircuit->setPixmap(QPixmap(":/pictures/receiver.png"));
    nl->addWidget(ImageCircuit);
    nl->addWidget(new QLabel("1x 555 (CMOS)\n2x BC547\n1x 100n (ceramic)\n2x 10n (plastic)\n6x 10k\n2x 22k\n"
                             "1x Con. DSUB9F",
                             notes));
    sl->addRow(notes);
    PageControl1->addTab(serial, "Serial COM Port");

    auto* sound = new QWidget;
    auto* so = new QVBoxLayout(sound);
    auto* input = new QHBoxLayout;
    CBINPUT = new QComboBox(sound);
    CBINPUT->setObjectName("CBINPUT");
    BMIX = Named<QPushButton>("BMIX", "Mixer...", sound);
    input->addWidget(CBINPUT, 1);
    input->addWidget(BMIX);
    so->addLayout(input);
    CBINV = new QCheckBox("Invert", sound);
    CBINV->setObjectName("CBINV");
    so->addWidget(CBINV);
    RGEDGE = new TRadioGroup("Sound Card Input",
                             {"Data and Clock (rising edge)", "Data and Clock (falling edge)", "RDS Encoder"}, 0,
                             sound);
    RGEDGE->setObjectName("RGEDGE");
    so->addWidget(RGEDGE);
    GBTL = new QGroupBox("Threshold levels", sound);
    GBTL->setObjectName("GBTL");
    auto* tl = new QHBoxLayout(GBTL);
    SETH1 = Named<TSpinEdit>("SETH1", kThreshold1Min, kThreshold1Max, 165, GBTL);
    SETH2 = Named<TSpinEdit>("SETH2", kThreshold2Min, kThreshold2Max, 70, GBTL);
    Button1 = Named<QPushButton>("Button1", "Default", GBTL);
    tl->addWidget(SETH1);
    tl->addWidget(SETH2);
    tl->addWidget(Button1);
    so->addWidget(GBTL);
    Image1 = new QLabel(sound);
    Image1->setObjectName("Image1");
    Image1->setPixmap(QPixmap(":/pictures/dataclock.png"));
    Image1->setToolTip("Data and clock from the receiver's RDS demodulator");
    Image3 = new QLabel(sound);
    Image3->setObjectName("Image3");
    Image3->setPixmap(QPixmap(":/pictures/encoder.png"));
    Image3->setToolTip("The RDS encoder's output, one channel");
    so->addWidget(Image1);
    so->addWidget(Image3);
    PageControl1->addTab(sound, "Sound Card");

    auto* device = new QWidget;
    auto* dl = new QFormLayout(device);
    RGCONTYPE = new TRadioGroup("Connection Type", {"RS232/USB", "TCP/IP"}, 0, device);
    RGCONTYPE->setObjectName("RGCONTYPE");
    dl->addRow(RGCONTYPE);
    SECOM2 = Named<TSpinEdit>("SECOM2", 1, kCom2Max, 1, device);
    BLIST2 = Named<QPushButton>("BLIST2", "List...", device);
    auto* com2 = new QHBoxLayout;
    com2->addWidget(SECOM2);
    com2->addWidget(BLIST2);
    dl->addRow("COM Port:", com2);
    EHOST = new QLineEdit("localhost", device);
    EHOST->setObjectName("EHOST");
    EHOST->setMaxLength(kHostMaxLength);
    dl->addRow("TCP/IP Host", EHOST);
    EPORT = new QLineEdit("23", device);
    EPORT->setObjectName("EPORT");
    EPORT->setMaxLength(kPortMaxLength);
    dl->addRow("TCP/IP Port", EPORT);
    RGDEVTYPE = new TRadioGroup("Device Type", {"FM Analyzer or compatible (default)", "RDS Encoder"}, 0, device);
    RGDEVTYPE->setObjectName("RGDEVTYPE");
    dl->addRow(RGDEVTYPE);
    PageControl1->addTab(device, "ASCII G Protocol");

    auto* none = new QWidget;
    auto* nol = new QVBoxLayout(none);
    nol->addWidget(new QLabel("Use menu option File/Play File... ", none));
    nol->addStretch();
    PageControl1->addTab(none, "(No Source)");
    PageControl1->setCurrentIndex(TForm1::kSourceNone);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BBOK = DialogButton("BBOK", "OK", controls::bkOK, true, this);
    ColorBitBtn2 = DialogButton("ColorBitBtn2", "Cancel", controls::bkCancel, false, this);
    buttons->addWidget(BBOK);
    buttons->addWidget(ColorBitBtn2);
    layout->addLayout(buttons);

    connect(RGEDGE, &TRadioGroup::Click, this, &TDSRC::RGEDGEClick);
    connect(Button1, &QPushButton::clicked, this, &TDSRC::Button1Click);
    connect(BLIST1, &QPushButton::clicked, this, &TDSRC::BLIST2Click);
    connect(BLIST2, &QPushButton::clicked, this, &TDSRC::BLIST2Click);
    connect(BMIX, &QPushButton::clicked, this, &TDSRC::BMIXClick);
    for (TSpinEdit* s : {SECOM1, SETH1, SETH2, SECOM2}) connect(s, &TSpinEdit::Exit, this, &TDSRC::SECOM1Exit);
    RGEDGEClick();
    // FormCreate: the capture devices; a failing list stays as far as it got.
    try {
        SetInputDevices(WaveInDeviceNames());
    } catch (...) {
    }
}

void TDSRC::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormShow();
}

void TDSRC::FormShow() { RGEDGEClick(); }

void TDSRC::RGEDGEClick() {
    const bool encoder = RGEDGE->ItemIndex() == 2;
    Image3->setVisible(encoder);
    GBTL->setVisible(encoder);
    Image1->setVisible(!encoder);
}

void TDSRC::Button1Click() {
    SETH1->setValue(165);
    SETH2->setValue(70);
}

void TDSRC::SECOM1Exit(TSpinEdit* edit) {
    // "1" for every edit bound here; the spin edit clamps it to its own
    // range, so SETH1 gets its minimum rather than a value it cannot hold.
    if (edit && edit->TextEmpty()) edit->setValue(1);
}

void TDSRC::BLIST2Click() {
    const std::string folder = main_.DataFolder();
    main_.Env().modal->Message(this, SerialPortMessage(ListSerialPorts("/dev", folder, TerminalAnswers), folder));
}

void TDSRC::BMIXClick() {
    IShell& shell = *main_.Env().shell;
    // PulseAudio's volume control where it runs, else ALSA's mixer in a terminal.
    if (shell.StartDetached("pavucontrol", {"--tab=4"})) return;
    if (shell.StartDetached("x-terminal-emulator", {"-e", "alsamixer", "-V", "capture"})) return;
    // Name what is missing: with alsamixer installed, the lack is a terminal.
    // The advice names only what the user can still run.
    const bool alsamixer = shell.Installed("alsamixer");
    std::string text = "Can't start pavucontrol or alsamixer. ";
    if (!alsamixer)
        text = "Can't find pavucontrol or alsamixer. ";
    else if (!shell.Installed("x-terminal-emulator"))
        text = "Can't find pavucontrol, or a terminal (x-terminal-emulator) to run alsamixer in. ";
    text += "\rSet the recording level in the desktop's sound settings";
    text += alsamixer ? ", or run alsamixer in a terminal." : ".";
    main_.Env().modal->Message(this, text);
}

void TDSRC::FillFrom(const SourceSettings& s) {
    PageControl1->setCurrentIndex(s.srcNum);
    SECOM1->setValue(s.comPort1);
    SECOM2->setValue(s.comPort2);
    RGCONTYPE->SetItemIndex(s.connectionType);
    RGDEVTYPE->SetItemIndex(s.deviceType);
    EHOST->setText(QString::fromStdString(s.host));
    EPORT->setText(QString::fromStdString(s.port));
    CBINPUT->setCurrentIndex(s.audioInDevice < CBINPUT->count() ? s.audioInDevice : -1);
    CBINV->setChecked(s.invert);
    SETH1->setValue(ThresholdPercent(s.threshold1));
    SETH2->setValue(ThresholdPercent(s.threshold2));
    RGEDGE->SetItemIndex(s.rdsEnc ? 2 : s.edge ? 1 : 0);
}

SourceSettings TDSRC::Taken() const {
    SourceSettings s;
    s.srcNum = PageControl1->currentIndex();
    s.comPort1 = SECOM1->value();
    s.comPort2 = SECOM2->value();
    s.connectionType = RGCONTYPE->ItemIndex();
    s.deviceType = RGDEVTYPE->ItemIndex();
    s.host = EHOST->text().toStdString();
    s.port = EPORT->text().toStdString();
    s.audioInDevice = CBINPUT->currentIndex();
    s.invert = CBINV->isChecked();
    s.threshold1 = static_cast<float>(SETH1->value()) / 100.0f;
    s.threshold2 = static_cast<float>(SETH2->value()) / 100.0f;
    s.edge = RGEDGE->ItemIndex() == 1;
    s.rdsEnc = RGEDGE->ItemIndex() == 2;
    return s;
}

std::vector<std::string> TDSRC::InputDevices() const {
    std::vector<std::string> items;
    for (int i = 0; i < CBINPUT->count(); ++i) items.push_back(CBINPUT->itemText(i).toStdString());
    return items;
}

void TDSRC::SetInputDevices(const std::vector<std::string>& devices) {
    CBINPUT->clear();
    for (const auto& d : devices) CBINPUT->addItem(QString::fromStdString(d));
}

} // namespace orvane
