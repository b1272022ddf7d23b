#include "dd.h"

#include "FileName.h"
#include "Named.h"
#include "Unit1.h"
#include "ValueTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane {

TFDD::TFDD(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName("FDD");
    setWindowTitle("Decoder Data");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    VLEDB = Named<QTableWidget>("VLEDB", 0, 2, this);
    VLEDB->setHorizontalHeaderLabels({"Key", "Value"});
    VLEDB->verticalHeader()->hide();
    VLEDB->verticalHeader()->setDefaultSectionSize(17);
    VLEDB->setColumnWidth(0, 220);
    VLEDB->setColumnWidth(1, 406);
    VLEDB->horizontalHeader()->setStretchLastSection(true);
    VLEDB->setSelectionBehavior(QAbstractItemView::SelectRows);
    VLEDB->setSelectionMode(QAbstractItemView::SingleSelection);
    // The rows show the table; an edit here would reach nothing.
    VLEDB->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(VLEDB);

    Panel1 = Named<QWidget>("Panel1", this);
    auto* bottom = new QHBoxLayout(Panel1);
    auto button = [&](const char* name, const char* caption) {
        auto* b = Named<QPushButton>(name, caption, Panel1);
        b->setAutoDefault(false);
        bottom->addWidget(b);
        return b;
    };
    Button3 = button("Button3", "Refresh");
    Button1 = button("Button1", "Save...");
    Button2 = button("Button2", "Close");
    LTR = Named<QLabel>("LTR", "Total records: 0    ", Panel1);
    LTR->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bottom->addWidget(LTR, 1);
    layout->addWidget(Panel1);
    resize(660, 420);

    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
}

void TFDD::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Button3Click();
}

void TFDD::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TFDD::Button3Click() {
    const int selected = VLEDB->currentRow();
    main_.Plugins().SendCommandToAll("REQUEST", "DECODERDATA");
    TValueTable& table = main_.ValueTable();
    if (table.Count > ORVANE_VALUE_TABLE_SIZE) table.Count = ORVANE_VALUE_TABLE_SIZE;
    // A count a plug-in made negative lists nothing.
    const int count = ValueCount(table);

    VLEDB->setRowCount(0);
    for (int i = 0; i < count; ++i) {
        const std::string_view key = KeyAt(table, i);
        // The reset's empty "COMMAND" entry is the host's, not decoded data.
        if (key.empty() || key == "COMMAND") continue;
        const std::string_view value = ValueAt(table, i);
        const int row = VLEDB->rowCount();
        VLEDB->insertRow(row);
        VLEDB->setItem(row, 0, new QTableWidgetItem(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()))));
        VLEDB->setItem(row, 1,
                       new QTableWidgetItem(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()))));
    }
    if (selected >= 0 && selected < VLEDB->rowCount()) VLEDB->selectRow(selected);
    LTR->setText(QString("Total records: %1    ").arg(VLEDB->rowCount()));
}

void TFDD::Button1Click() {
    const std::string file = main_.AskSaveFile("Text file (*.txt)", saveFolder_);
    if (file.empty()) return;
    saveFolder_ = FolderOf(file);
    main_.SaveValuesToIni(file);
}

} // namespace orvane
