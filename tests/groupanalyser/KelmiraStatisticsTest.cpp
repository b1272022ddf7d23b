// The plug-in's group-type and ODA AID statistics and its group detector,
// through its exports, with the published values read from the host's table.
#include "KelmiraHost.h"

#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include <set>

namespace {

using namespace kelmira_host;

const char* const kNames[32] = {"0A", "0B", "1A", "1B", "2A",  "2B",  "3A",  "3B",  "4A",  "4B",  "5A",
                                "5B", "6A", "6B", "7A", "7B",  "8A",  "8B",  "9A",  "9B",  "10A", "10B",
                                "11A", "11B", "12A", "12B", "13A", "13B", "14A", "14B", "15A", "15B"};

// A 3A group announcing an AID for an application group type index.
TRDSGroupRec Announce(uint16_t aid, int appGroup, int n = 0) {
    return Rec(n / 3600 % 24, n / 60 % 60, n % 60, 0xD3C2, 0x3000 | appGroup, 0, aid);
}

class KelmiraStatisticsTest : public KelmiraTest {
protected:
    QString Cell(const char* grid, int row, int col) const { return Child<QTableWidget>(grid)->item(row, col)->text(); }
    // Grid row of a group type: SGA for A, SGB for B.
    QString Share(int type) const { return Cell(type & 1 ? "SGB" : "SGA", type / 2 + 1, 1); }
    QString Rate(int type) const { return Cell(type & 1 ? "SGB" : "SGA", type / 2 + 1, 2); }
    void SendMany(int type, int count) {
        for (int i = 0; i < count; ++i) Send(OfType(type, i));
    }
    bool HasKey(const std::string& key) const {
        for (int i = 0; i < orvane::ValueCount(*table_); ++i)
            if (orvane::KeyAt(*table_, i) == key) return true;
        return false;
    }
    std::string Aid(int n, const char* field) const {
        return Value(("AIDStatistics." + std::to_string(n) + "." + field).c_str());
    }
    // The published rows always say what the table shows.
    void ExpectAidKeysMatchTheGrid() const {
        for (int n = 1; n <= 16; ++n) {
            EXPECT_EQ(Aid(n, "AID"), Cell("SGAID", n, 0).toStdString()) << "row " << n;
            EXPECT_EQ(Aid(n, "Proportion"), Cell("SGAID", n, 1).toStdString()) << "row " << n;
            EXPECT_EQ(Aid(n, "AppGroup"), Cell("SGAID", n, 3).toStdString()) << "row " << n;
        }
    }
    void Tick() { ASSERT_TRUE(QMetaObject::invokeMethod(form_, "TimerGDTimer", Qt::DirectConnection)); }
    std::set<std::string> Detected() const {
        std::set<std::string> out;
        auto* list = Child<QListWidget>("CLBGD");
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked) out.insert(list->item(i)->text().toStdString());
        return out;
    }
};

TEST_F(KelmiraStatisticsTest, SharesOnTheGridsAndInTheHostsTable) {
    // 132 groups: the 12th refresh sees all of them.
    SendMany(0, 33);
    SendMany(2, 11);
    SendMany(4, 88);
    struct Row {
        int type;
        const char* share;
        const char* rate;
    } rows[] = {
        {0, "25.0 %  (1/4.0)", "2.85"}, {2, "8.3 %  (1/12)", "0.95"}, {4, "66.7 %  (1/1.5)", "7.61"},
        {1, "0.0 %", "0.00"},           {31, "0.0 %", "0.00"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Share(r.type), r.share) << kNames[r.type];
        EXPECT_EQ(Rate(r.type), r.rate) << kNames[r.type];
        EXPECT_EQ(Value(("GroupStatistics." + std::string(kNames[r.type]) + ".Proportion").c_str()), r.share);
    }
    // The 32 keys came first, in the order 0A, 0B, 1A ...
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(orvane::KeyAt(*table_, i), "GroupStatistics." + std::string(kNames[i]) + ".Proportion");

    // A tie: 12.5 groups apart shows as 12.
    Cmd("RESETDATA");
    SendMany(0, 22);
    SendMany(31, 253);
    EXPECT_EQ(Share(0), "8.0 %  (1/12)");
    EXPECT_EQ(Rate(0), "0.91");
    EXPECT_EQ(Share(31), "92.0 %  (1/1.1)");
    EXPECT_EQ(Rate(31), "10.50");
    EXPECT_EQ(Value("GroupStatistics.0A.Proportion"), "8.0 %  (1/12)");

    // "Clear" empties the grids and counters but not the host's values.
    Child<QPushButton>("Button14")->click();
    EXPECT_TRUE(Share(0).isEmpty());
    EXPECT_TRUE(Rate(31).isEmpty());
    EXPECT_EQ(Cell("SGA", 1, 0), "0A");
    EXPECT_EQ(Value("GroupStatistics.0A.Proportion"), "8.0 %  (1/12)");
    SendMany(2, 11);
    EXPECT_EQ(Share(2), "100.0 %  (1/1.0)");
    EXPECT_EQ(Share(0), "0.0 %");
}

TEST_F(KelmiraStatisticsTest, RefreshEvery11thOr57thGroup) {
    auto* pages = Child<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->currentIndex(), 0);
    SendMany(0, 10);
    EXPECT_TRUE(Share(0).isEmpty()); // nothing yet
    EXPECT_FALSE(HasKey("GroupStatistics.0A.Proportion"));
    Send(MissingB());
    EXPECT_TRUE(Share(0).isEmpty()); // not counted
    Send(OfType(0));
    EXPECT_EQ(Share(0), "100.0 %  (1/1.0)");
    EXPECT_EQ(Rate(0), "11.42");

    // A refresh that changes no text touches no cell.
    int changes = 0;
    for (const char* g : {"SGA", "SGB"})
        QObject::connect(Child<QTableWidget>(g)->model(), &QAbstractItemModel::dataChanged, [&] { ++changes; });
    SendMany(0, 11);
    EXPECT_EQ(changes, 0);

    // Behind another page every 57th group.
    pages->setCurrentIndex(1);
    SendMany(2, 56);
    EXPECT_EQ(Share(0), "100.0 %  (1/1.0)");
    Send(OfType(2));
    EXPECT_EQ(Share(0), "27.8 %  (1/3.6)"); // 22 of 79
    EXPECT_EQ(Share(2), "72.2 %  (1/1.4)");
    EXPECT_EQ(Value("GroupStatistics.1A.Proportion"), "72.2 %  (1/1.4)");
    EXPECT_GT(changes, 0);

    // 30 behind the page, then the page: the next group refreshes.
    SendMany(0, 30);
    EXPECT_EQ(Share(0), "27.8 %  (1/3.6)");
    pages->setCurrentIndex(0);
    Send(OfType(0));
    EXPECT_EQ(Share(0), "48.2 %  (1/2.1)"); // 53 of 110

    // A reset keeps the cadence: 5 before it and 6 after it refresh.
    SendMany(0, 5);
    Cmd("RESETDATA");
    SendMany(4, 5);
    EXPECT_TRUE(Share(4).isEmpty());
    Send(OfType(4));
    EXPECT_EQ(Share(4), "100.0 %  (1/1.0)");
}

TEST_F(KelmiraStatisticsTest, HalvingAt4095EmptiesAnAidRow) {
    Send(Announce(0x4BD7, 8)); // 4A
    EXPECT_EQ(Cell("SGAID", 1, 0), "4BD7");
    EXPECT_EQ(Cell("SGAID", 1, 3), "4A");
    EXPECT_EQ(Cell("SGAID", 1, 1), "100.0 %  (1/1.0)");
    EXPECT_EQ(Cell("SGAID", 1, 2), "11.42");
    ExpectAidKeysMatchTheGrid();

    SendMany(0, 4094);
    Send(Announce(0x4BD7, 8)); // still counted: 2 of 4096
    EXPECT_EQ(Cell("SGAID", 1, 1), "0.0 %");
    SendMany(0, 1); // 0A reaches 4095: every counter halves, the AID's to 1
    Send(Announce(0xCD46, 24));
    EXPECT_EQ(Cell("SGAID", 1, 0), "4BD7");
    EXPECT_EQ(Cell("SGAID", 2, 0), "CD46");
    SendMany(0, 4095 - 2047); // halves again: the AID 4BD7 falls to 0
    Send(Announce(0xCD46, 24)); // removes it
    EXPECT_EQ(Cell("SGAID", 1, 0), "CD46");
    EXPECT_EQ(Cell("SGAID", 1, 3), "12A");
    EXPECT_TRUE(Cell("SGAID", 2, 0).isEmpty());
    ExpectAidKeysMatchTheGrid();
    EXPECT_EQ(Aid(1, "AID"), "CD46");
    EXPECT_EQ(Aid(2, "AID"), "");
}

TEST_F(KelmiraStatisticsTest, AidHalvingAt511AndNothingLeftToShareIn) {
    Send(Announce(0x0001, 1)); // 0B
    for (int n = 0; n < 510; ++n) Send(Announce(0xCD46, 24, n));
    EXPECT_EQ(Cell("SGAID", 2, 0), "CD46");
    // Group counters cleared, AID counters kept; the next 3A group halves
    // every counter and leaves a total of 0.
    Child<QPushButton>("Button14")->click();
    Send(Announce(0xCD46, 24));
    for (int n = 1; n <= 2; ++n) {
        EXPECT_EQ(Cell("SGAID", n, 1), "0.0 %") << n;
        EXPECT_EQ(Cell("SGAID", n, 2), "0.00") << n;
    }
    EXPECT_EQ(Aid(2, "Proportion"), "0.0 %");
    // The first AID fell to 0 by the halving and goes with the next group.
    Send(Announce(0xCD46, 24));
    EXPECT_EQ(Cell("SGAID", 1, 0), "CD46");
    EXPECT_TRUE(Cell("SGAID", 2, 0).isEmpty());
    ExpectAidKeysMatchTheGrid();
}

TEST_F(KelmiraStatisticsTest, SixteenAidRowsAndRemovalKeepTheKeysInStep) {
    for (int n = 0; n < 16; ++n) Send(Announce(static_cast<uint16_t>(0x100 + n), n + 1, n));
    Send(Announce(0x0200, 5)); // a 17th: neither shown nor counted
    EXPECT_EQ(Cell("SGAID", 16, 0), "010F");
    EXPECT_EQ(Cell("SGAID", 16, 3), "8A");
    EXPECT_FALSE(HasKey("AIDStatistics.17.AID"));
    ExpectAidKeysMatchTheGrid();

    // Qualifying rules: none of these touch the table.
    Send(Announce(0x0300, 0));
    Send(Announce(0x0300, 31));
    Send(Rec(0, 0, 0, 0xD3C2, 0x3018, 0, -1));
    Send(Rec(0, 0, 0, 0xD3C2, 0x3018, 0, 0));
    EXPECT_EQ(Cell("SGAID", 1, 0), "0100");
    EXPECT_EQ(Lines("RichEdit3").size(), 21u); // every 3A group still has its line
    ExpectAidKeysMatchTheGrid();

    // 0x100 to its 511th count: every other AID halves to 0.
    for (int n = 0; n < 510; ++n) Send(Announce(0x0100, 1, n));
    // Each qualifying group then removes the first empty row.
    for (int removed = 1; removed <= 3; ++removed) {
        Send(Announce(0x0100, 1));
        EXPECT_EQ(Cell("SGAID", 1, 0), "0100");
        EXPECT_EQ(Cell("SGAID", 2, 0), QString("%1").arg(0x101 + removed, 4, 16, QChar('0')).toUpper());
        EXPECT_EQ(Cell("SGAID", 2, 3), kNames[removed + 2]);
        EXPECT_TRUE(Cell("SGAID", 17 - removed, 0).isEmpty());
        EXPECT_EQ(Cell("SGAID", 16 - removed, 0), "010F");
        ExpectAidKeysMatchTheGrid();
    }
}

TEST_F(KelmiraStatisticsTest, DetectorTicksTwentyTimerTicks) {
    auto* timer = form_->findChild<QTimer*>("TimerGD");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
    timer->stop(); // the test ticks it

    using S = std::set<std::string>;
    Send(OfType(4)); // 2A
    EXPECT_EQ(Detected(), S{"2A"});
    for (int t = 1; t <= 19; ++t) {
        Tick();
        ASSERT_EQ(Detected(), S{"2A"}) << t;
    }
    Tick(); // the 20th
    EXPECT_TRUE(Detected().empty());

    Send(MissingB());
    Tick();
    EXPECT_TRUE(Detected().empty());

    // Arriving every 2 s keeps it ticked.
    for (int round = 0; round < 5; ++round) {
        Send(OfType(31));
        for (int t = 0; t < 19; ++t) Tick();
        ASSERT_EQ(Detected(), S{"15B"}) << round;
    }

    // The user's ticks are undone.
    auto* list = Child<QListWidget>("CLBGD");
    list->item(0)->setCheckState(Qt::Checked);  // 0A: nothing received
    list->item(31)->setCheckState(Qt::Unchecked); // 15B: live
    EXPECT_EQ(Detected(), S{"15B"});

    // After a reset the next tick unticks everything.
    Send(OfType(1));
    EXPECT_EQ(Detected(), (S{"0B", "15B"}));
    Cmd("RESETDATA");
    EXPECT_EQ(Detected(), (S{"0B", "15B"}));
    Tick();
    EXPECT_TRUE(Detected().empty());
}

} // namespace
