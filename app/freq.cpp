#include "freq.h"

#include "Named.h"
#include "Unit1.h"
#include "WindowFit.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace orvane {

TDFREQ::TDFREQ(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName("DFREQ");
    setWindowTitle("Saving Report");
    // Only the system menu: no minimise, maximise or help buttons.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    GroupBox1 = Named<QGroupBox>("GroupBox1", "Enter frequency", this);
    auto* inner = new QVBoxLayout(GroupBox1);
    CBFREQ = Named<QComboBox>("CBFREQ", GroupBox1);
    LimitDropDown(CBFREQ, 16);
    inner->addWidget(CBFREQ);
    layout->addWidget(GroupBox1);
    Button1 = Named<QPushButton>("Button1", "Save", this);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    CarryTitleBarWidth(GroupBox1);
    FormCreate();
}

void TDFREQ::FormCreate() {
    CBFREQ->addItem("not specified");
    for (int i = 0; i <= 205; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%d.%d MHz", (875 + i) / 10, (875 + i) % 10);
        CBFREQ->addItem(QString::fromLatin1(text));
    }
    CBFREQ->setCurrentIndex(0);
}

std::string TDFREQ::FrequencyText() const { return CBFREQ->currentText().toStdString(); }

} // namespace orvane
