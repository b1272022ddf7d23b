#include "opt.h"

#include "DialogButton.h"
#include "CheckListBox.h"
#include "FileName.h"
#include "Named.h"
#include "RadioGroup.h"
#include "SpinEdit.h"
#include "Unit1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>
#include <utility>

namespace orvane {

namespace {

QCheckBox* Check(QWidget* page, QLayout* layout, const char* name, const char* caption, bool ticked) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), page);
    box->setObjectName(name);
    box->setChecked(ticked);
    layout->addWidget(box);
    return box;
}

QLineEdit* Edit(QWidget* page, const char* name, int maxLength, const QString& text) {
    auto* edit = new QLineEdit(text, page);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    return edit;
}

QStringList GroupNames() {
    QStringList names;
    for (int type = 0; type < 16; ++type) names << QString("%1A").arg(type) << QString("%1B").arg(type);
    names << "----";
    return names;
}

// The options' check boxes and the settings they stand for.
std::array<std::pair<bool OptionSettings::*, QCheckBox*>, 12> Switches(const TDOPT& d) {
    return {{{&OptionSettings::autoSave, d.CBAUSA},
             {&OptionSettings::piReset, d.CBREPI},
             {&OptionSettings::timeoutReset, d.CBRETO},
             {&OptionSettings::badAsCorrect, d.CBBBAC},
             {&OptionSettings::piStop, d.CBSTPI},
             {&OptionSettings::showTotal, d.CBTC},
             {&OptionSettings::socketSync, d.CBSS},
             {&OptionSettings::timeoutStop, d.CBSTTO},
             {&OptionSettings::addDateTime, d.CBADDT},
             {&OptionSettings::timeMachine, d.CBTMEN},
             {&OptionSettings::confirmFrequency, d.CBCF},
             {&OptionSettings::autosaveReports, d.CBSRA}}};
}

} // namespace

TDOPT::TDOPT(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName("DOPT");
    setWindowTitle("Options");
    fileTypes_ = main_.Env().fileTypes;
    if (!fileTypes_) {
        ownFileTypes_ = std::make_unique<XdgFileTypes>(XdgFileTypes::ForCurrentUser(main_.Env().programPath));
        fileTypes_ = ownFileTypes_.get();
    }

    auto* layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    layout->addWidget(PageControl1);
    BuildGeneral();
    BuildPlayback();
    BuildRecording();
    BuildReports();
    auto* note = new QLabel("* Requires saving and restart", this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(note);
    bottom->addStretch();
    ColorBitBtn1 = DialogButton("ColorBitBtn1", "Close", controls::bkClose, true, this);
    bottom->addWidget(ColorBitBtn1);
    layout->addLayout(bottom);

    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 1) TabSheet2Show();
        if (page == 2) TabSheet3Show();
    });

    // Creating the options dialog completes the program's start-up; from now
    // on the options are this dialog's controls.
    main_.AttachOptionsDialog(*this);
    main_.CompleteStartup();
}

TDOPT::~TDOPT() = default;

void TDOPT::BuildGeneral() {
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    auto* l = new QVBoxLayout(TabSheet1);
    CBREPI = Check(TabSheet1, l, "CBREPI", "Reset RDS data on PI change", true);
    CBRETO = Check(TabSheet1, l, "CBRETO", "Reset RDS data on signal timeout", false);
    auto* timeout = new QHBoxLayout;
    timeout->addWidget(new QLabel("Signal timeout [s]:", TabSheet1));
    SETMOUT = Named<TSpinEdit>("SETMOUT", kSignalTimeoutMin, kSignalTimeoutMax, 30, TabSheet1);
    timeout->addWidget(SETMOUT);
    timeout->addStretch();
    l->addLayout(timeout);
    CBHIPRI = Check(TabSheet1, l, "CBHIPRI", "High priority *", false);
    CBONTOP = Check(TabSheet1, l, "CBONTOP", "Always on Top *", false);
    CBAUSA = Check(TabSheet1, l, "CBAUSA", "Save workspace on Exit *", true);
    CBBBAC = Check(TabSheet1, l, "CBBBAC", "Consider bad blocks as correct (not recommended)", false);
    CBBBAC->setEnabled(false);
    CBFLCD = Check(TabSheet1, l, "CBFLCD", "Flat LCD (saves a bit of CPU time on slow machines) *", false);
    CBSPI = Check(TabSheet1, l, "CBSPI", "Enable Super PI Detector", false);
    auto* buffer = new QHBoxLayout;
    buffer->addWidget(new QLabel("Sound card buffer size: *", TabSheet1));
    CBBUFLEN = new QComboBox(TabSheet1);
    CBBUFLEN->setObjectName("CBBUFLEN");
    CBBUFLEN->addItems({"16 kB", "32 kB (default)", "64 kB", "128 kB"});
    CBBUFLEN->setCurrentIndex(1);
    buffer->addWidget(CBBUFLEN);
    buffer->addStretch();
    l->addLayout(buffer);
    CB441 = Check(TabSheet1, l, "CB441", "Always use 44.1 kHz sample rate *", true);
    l->addStretch();
    PageControl1->addTab(TabSheet1, "General");
    connect(SETMOUT, &TSpinEdit::Exit, this, &TDOPT::SETMOUTExit);
}

void TDOPT::BuildPlayback() {
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName("TabSheet2");
    auto* l = new QVBoxLayout(TabSheet2);
    CBTC = Check(TabSheet2, l, "CBTC", "Enable seeking and showing total group count", true);
    CBSS = Check(TabSheet2, l, "CBSS", "Socket streams: synchronize with the stream group rate", true);
    CLBFT = new TCheckListBox({"*.orv", "*.smp"}, false, TabSheet2);
    CLBFT->setObjectName("CLBFT");
    l->addWidget(CLBFT);
    Button1 = Named<QPushButton>("Button1", "Associate", TabSheet2);
    l->addWidget(Button1);
    l->addStretch();
    PageControl1->addTab(TabSheet2, "Playback");
    connect(Button1, &QPushButton::clicked, this, &TDOPT::Button1Click);
}

void TDOPT::BuildRecording() {
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName("TabSheet3");
    auto* l = new QVBoxLayout(TabSheet3);
    l->addWidget(new QLabel("Default path and filename:", TabSheet3));
    EDEFFN = Edit(TabSheet3, "EDEFFN", 1023, kDefaultRecordingName);
    l->addWidget(EDEFFN);
    CBSTPI = Check(TabSheet3, l, "CBSTPI", "Detect PI change event", true);
    RGRECEV = new TRadioGroup("On PI change", {"Stop recording", "Start recording of another file"}, 0, TabSheet3);
    RGRECEV->setObjectName("RGRECEV");
    l->addWidget(RGRECEV);
    CBSTTO = Check(TabSheet3, l, "CBSTTO", "Stop recording on signal timeout", false);
    auto* before = new QHBoxLayout;
    before->addWidget(new QLabel("Start recording ", TabSheet3));
    SEBUFLEN = Named<TSpinEdit>("SEBUFLEN", kBufferLengthMin, kBufferLengthMax, 10, TabSheet3);
    before->addWidget(SEBUFLEN);
    before->addWidget(new QLabel("seconds before clicking the REC button. *", TabSheet3));
    before->addStretch();
    l->addLayout(before);
    CBTMEN = Check(TabSheet3, l, "CBTMEN", "Enable Time machine", true);
    CBADDT = Check(TabSheet3, l, "CBADDT", "Add date and time to each group (doubles the file size)", true);
    auto* names = new QFormLayout;
    ENAME = Edit(TabSheet3, "ENAME", 20, {});
    ELOC = Edit(TabSheet3, "ELOC", 20, {});
    ENOTES = Edit(TabSheet3, "ENOTES", 64, {});
    names->addRow("Your Name:", ENAME);
    names->addRow("Your Location:", ELOC);
    names->addRow("Notes:", ENOTES);
    l->addLayout(names);
    l->addWidget(new QLabel("RDS Groups to Record", TabSheet3));
    CLBGREC = new TCheckListBox(GroupNames(), true, TabSheet3);
    CLBGREC->setObjectName("CLBGREC");
    CLBGREC->setFlow(QListView::TopToBottom);
    CLBGREC->setWrapping(true);
    l->addWidget(CLBGREC);
    auto* select = new QHBoxLayout;
    Button4 = Named<QPushButton>("Button4", "Select All", TabSheet3);
    Button5 = Named<QPushButton>("Button5", "Select None", TabSheet3);
    select->addWidget(Button4);
    select->addWidget(Button5);
    select->addStretch();
    l->addLayout(select);
    PageControl1->addTab(TabSheet3, "Recording");
    connect(EDEFFN, &QLineEdit::editingFinished, this, &TDOPT::EDEFFNExit);
    connect(SEBUFLEN, &TSpinEdit::Exit, this, &TDOPT::SETMOUTExit);
    connect(CBSTPI, &QCheckBox::clicked, this, &TDOPT::CBSTPIClick);
    connect(Button4, &QPushButton::clicked, this, &TDOPT::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TDOPT::Button5Click);
}

void TDOPT::BuildReports() {
    TabSheet4 = new QWidget;
    TabSheet4->setObjectName("TabSheet4");
    auto* l = new QVBoxLayout(TabSheet4);
    l->addWidget(new QLabel("Default path and filename:", TabSheet4));
    EREPFN = Edit(TabSheet4, "EREPFN", 1023, kDefaultReportName);
    l->addWidget(EREPFN);
    CBSRA = Check(TabSheet4, l, "CBSRA", "Save Reports automatically (\"Meteor Scatter\" mode)", false);
    auto* templ = new QHBoxLayout;
    templ->addWidget(new QLabel("Template:", TabSheet4));
    EOTP = Edit(TabSheet4, "EOTP", 1023, "orvane.otp");
    templ->addWidget(EOTP);
    Button2 = Named<QPushButton>("Button2", "Find...", TabSheet4);
    Button3 = Named<QPushButton>("Button3", "Edit...", TabSheet4);
    templ->addWidget(Button2);
    templ->addWidget(Button3);
    l->addLayout(templ);
    CBCF = Check(TabSheet4, l, "CBCF", "Always confirm frequency", false);
    l->addStretch();
    PageControl1->addTab(TabSheet4, "Reports");
    connect(EREPFN, &QLineEdit::editingFinished, this, &TDOPT::EREPFNExit);
    connect(Button2, &QPushButton::clicked, this, &TDOPT::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TDOPT::Button3Click);
}

// IOptions ----------------------------------------------------------------------

bool TDOPT::ResetOnPIChange() const { return CBREPI->isChecked(); }
bool TDOPT::ResetOnSignalTimeout() const { return CBRETO->isChecked(); }
int TDOPT::SignalTimeoutSeconds() const { return SETMOUT->value(); }
bool TDOPT::SaveWorkspaceOnExit() const { return CBAUSA->isChecked(); }
bool TDOPT::ConsiderBadBlocksAsCorrect() const { return CBBBAC->isChecked(); }
bool TDOPT::SuperPIDetector() const { return CBSPI->isChecked(); }
int TDOPT::SoundCardBufferItem() const { return CBBUFLEN->currentIndex(); }
bool TDOPT::Always441() const { return CB441->isChecked(); }
bool TDOPT::SeekingEnabled() const { return CBTC->isChecked(); }
bool TDOPT::SyncWithStreamRate() const { return CBSS->isChecked(); }
bool TDOPT::DetectPIChange() const { return CBSTPI->isChecked(); }
int TDOPT::OnPIChangeItem() const { return RGRECEV->ItemIndex(); }
bool TDOPT::StopRecordingOnSignalTimeout() const { return CBSTTO->isChecked(); }
bool TDOPT::AddDateTime() const { return CBADDT->isChecked(); }
int TDOPT::RecBufferSeconds() const { return SEBUFLEN->value(); }
bool TDOPT::TimeMachineEnabled() const { return CBTMEN->isChecked(); }
bool TDOPT::RecordGroupType(int index) const {
    return index >= 0 && index < kRecordGroupItems && CLBGREC->Checked(index);
}
std::string TDOPT::DefaultFileName() const { return EDEFFN->text().toStdString(); }
std::string TDOPT::RecorderName() const { return ENAME->text().toStdString(); }
std::string TDOPT::RecorderLocation() const { return ELOC->text().toStdString(); }
std::string TDOPT::RecorderNotes() const { return ENOTES->text().toStdString(); }
std::string TDOPT::ReportFileName() const { return EREPFN->text().toStdString(); }
std::string TDOPT::ReportTemplate() const { return EOTP->text().toStdString(); }
bool TDOPT::SaveReportsAutomatically() const { return CBSRA->isChecked(); }
bool TDOPT::AlwaysConfirmFrequency() const { return CBCF->isChecked(); }

// Settings ------------------------------------------------------------------------

ConfigSettings TDOPT::Config() const {
    ConfigSettings s;
    s.highPriority = CBHIPRI->isChecked();
    s.onTop = CBONTOP->isChecked();
    s.superPI = CBSPI->isChecked();
    s.flatLCD = CBFLCD->isChecked();
    s.force441 = CB441->isChecked();
    s.bufferLength = SEBUFLEN->value();
    s.soundCardBuffer = CBBUFLEN->currentIndex();
    return s;
}

void TDOPT::SetConfig(const ConfigSettings& s) {
    CBHIPRI->setChecked(s.highPriority);
    CBONTOP->setChecked(s.onTop);
    CBSPI->setChecked(s.superPI);
    CBFLCD->setChecked(s.flatLCD);
    CB441->setChecked(s.force441);
    SEBUFLEN->setValue(s.bufferLength);
    CBBUFLEN->setCurrentIndex(s.soundCardBuffer);
}

OptionSettings TDOPT::WorkspaceOptions() const {
    OptionSettings o;
    for (const auto& [member, box] : Switches(*this)) o.*member = box->isChecked();
    o.startNew = RGRECEV->ItemIndex();
    o.fileTypeOrv = CLBFT->Checked(0);
    o.fileTypeSmp = CLBFT->Checked(1);
    o.signalTimeout = SETMOUT->value();
    o.defaultFilename = EDEFFN->text().toStdString();
    o.reportFilename = EREPFN->text().toStdString();
    o.reportTemplate = EOTP->text().toStdString();
    o.templateDialogDir = templateDialogDir_;
    o.name = ENAME->text().toStdString();
    o.location = ELOC->text().toStdString();
    o.notes = ENOTES->text().toStdString();
    for (int i = 0; i < kRecordGroupItems; ++i) o.recordGroups[static_cast<size_t>(i)] = CLBGREC->Checked(i);
    return o;
}

void TDOPT::SetWorkspaceOptions(const OptionSettings& o) {
    for (const auto& [member, box] : Switches(*this)) box->setChecked(o.*member);
    RGRECEV->SetItemIndex(o.startNew);
    CLBFT->SetChecked(0, o.fileTypeOrv);
    CLBFT->SetChecked(1, o.fileTypeSmp);
    SETMOUT->setValue(o.signalTimeout);
    EDEFFN->setText(QString::fromStdString(o.defaultFilename));
    EREPFN->setText(QString::fromStdString(o.reportFilename));
    EOTP->setText(QString::fromStdString(o.reportTemplate));
    templateDialogDir_ = o.templateDialogDir;
    ENAME->setText(QString::fromStdString(o.name));
    ELOC->setText(QString::fromStdString(o.location));
    ENOTES->setText(QString::fromStdString(o.notes));
    for (int i = 0; i < kRecordGroupItems; ++i) CLBGREC->SetChecked(i, o.recordGroups[static_cast<size_t>(i)]);
}

// Handlers --------------------------------------------------------------------------

void TDOPT::keyPressEvent(QKeyEvent* e) {
    // Escape closes like "Close", with the result OK.
    if (e->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TDOPT::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormShow();
    // The page the dialog opens on is shown as much as one picked later.
    if (PageControl1->currentIndex() == 1) TabSheet2Show();
    if (PageControl1->currentIndex() == 2) TabSheet3Show();
}

void TDOPT::FormShow() {
    const bool device = main_.SourceNumber() == TForm1::kSourceDevice;
    CBBBAC->setEnabled(!device);
    CBSPI->setEnabled(!device);
}

void TDOPT::EDEFFNExit() {
    if (EDEFFN->text().isEmpty())
        EDEFFN->setText(QString::fromStdString(main_.DocumentsFolder() + kDefaultRecordingName));
}

void TDOPT::EREPFNExit() {
    if (EREPFN->text().isEmpty())
        EREPFN->setText(QString::fromStdString(main_.DocumentsFolder() + kDefaultReportName));
}

void TDOPT::SETMOUTExit(TSpinEdit* edit) {
    if (edit && edit->TextEmpty()) edit->setValue(10);
}

void TDOPT::CBSTPIClick() { RGRECEV->setEnabled(CBSTPI->isChecked()); }

void TDOPT::TabSheet3Show() { CBSTPIClick(); }

void TDOPT::TabSheet2Show() {
    for (int i = 0; i < 2; ++i) CLBFT->SetChecked(i, fileTypes_->Registered(static_cast<size_t>(i)));
}

void TDOPT::Button1Click() {
    const AssociationResult result = fileTypes_->Associate({CLBFT->Checked(0), CLBFT->Checked(1)});
    // A write failure goes to the status line; what the desktop tools need is
    // too long for it and is said over this dialog, where Associate was pressed.
    if (!result.written) main_.Show(result.Message());
    else if (!result.Done()) main_.Env().modal->Message(this, result.Message());
    TabSheet2Show();
}

void TDOPT::Button2Click() {
    int filter = 0;
    const std::string file = main_.AskOpenFile("Orvane Report Template (*.otp)", templateDialogDir_, filter);
    if (file.empty()) return;
    EOTP->setText(QString::fromStdString(file));
    templateDialogDir_ = FolderOf(file);
}

std::string TDOPT::TemplateFile() const {
    // A name without a folder, or in the root folder only, lies in the
    // program folder, where the default template is installed.
    const std::string text = EOTP->text().toStdString();
    const size_t slash = text.rfind('/');
    if (slash == std::string::npos) return main_.ProgramFolder() + text;
    if (slash == 0) return main_.ProgramFolder() + text.substr(1);
    return text;
}

void TDOPT::Button3Click() {
    const std::string file = TemplateFile();
    main_.Env().shell->Edit(file, this, [this, file] {
        main_.Env().modal->Message(this, "Can't start a text editor for " + file +
                                             ". \rOpen the template with an editor of your choice.");
    });
}

void TDOPT::Button4Click() { CLBGREC->SetAll(true); }
void TDOPT::Button5Click() { CLBGREC->SetAll(false); }

} // namespace orvane
