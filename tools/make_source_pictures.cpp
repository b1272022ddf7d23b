// Draws the source dialog's pictures into app/pictures/: the serial
// receiver circuit, data and clock wiring to a sound card, and an encoder's
// output to a sound card. Run by hand when a drawing changes.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

QImage Canvas(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

void Box(QPainter& p, QRect r, const QString& label) {
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(0xEE, 0xF2, 0xF8));
    p.drawRect(r);
    p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, label);
}

void Wire(QPainter& p, QPoint a, QPoint b, const QString& label = {}) {
    p.setPen(QPen(Qt::darkBlue, 2));
    p.drawLine(a, b);
    if (!label.isEmpty()) {
        p.setPen(Qt::black);
        p.drawText(QPoint((a.x() + b.x()) / 2 - 18, (a.y() + b.y()) / 2 - 4), label);
    }
}

void Transistor(QPainter& p, QPoint c, const QString& name) {
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 14, 14);
    p.drawLine(c + QPoint(-6, -8), c + QPoint(-6, 8));           // base bar
    p.drawLine(c + QPoint(-14, 0), c + QPoint(-6, 0));           // base
    p.drawLine(c + QPoint(-6, -4), c + QPoint(6, -12));          // collector
    p.drawLine(c + QPoint(-6, 4), c + QPoint(6, 12));            // emitter
    p.drawText(c + QPoint(-20, 30), name);
}

void Resistor(QPainter& p, QPoint a, const QString& value) {
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    p.drawRect(QRect(a, QSize(10, 26)));
    p.drawText(a + QPoint(14, 18), value);
}

QImage Receiver() {
    QImage img = Canvas(360, 190);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(QFont("DejaVu Sans", 8));
    Box(p, {20, 40, 70, 60}, "555\n(CMOS)");
    Transistor(p, {150, 55}, "BC547");
    Transistor(p, {150, 115}, "BC547");
    Resistor(p, {105, 20}, "10k");
    Resistor(p, {200, 130}, "22k");
    Box(p, {250, 40, 90, 80}, "DSUB9F\nto COM port");
    Wire(p, {90, 60}, {136, 55}, "");
    Wire(p, {90, 85}, {136, 115}, "");
    Wire(p, {164, 45}, {250, 60}, "DCD");
    Wire(p, {164, 105}, {250, 100}, "CTS");
    Wire(p, {5, 55}, {20, 55}, "");
    Wire(p, {5, 90}, {20, 90}, "");
    p.setPen(Qt::black);
    p.drawText(QRect(0, 2, 360, 16), Qt::AlignCenter, "RDS demodulator: DATA and CLOCK in, serial port out");
    p.drawText(QRect(0, 170, 360, 16), Qt::AlignCenter, "100n ceramic and 2x 10n plastic across the supply and timing");
    return img;
}

// A source on the left wired to the sound card's line input on the right.
QImage ToSoundCard(const QString& source, const std::vector<std::pair<int, QString>>& wires, const QString& note) {
    QImage img = Canvas(360, 120);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(QFont("DejaVu Sans", 8));
    Box(p, {15, 25, 110, 70}, source);
    Box(p, {235, 25, 110, 70}, "Sound card\nline input");
    for (const auto& [y, label] : wires) Wire(p, {125, y}, {235, y}, label);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 100, 360, 16), Qt::AlignCenter, note);
    return img;
}

QImage DataAndClock() {
    return ToSoundCard("Receiver's RDS\ndemodulator", {{45, "DATA -> L"}, {75, "CLOCK -> R"}},
                       "Stereo input: data on the left, clock on the right");
}

QImage Encoder() {
    return ToSoundCard("RDS encoder\nRDS output", {{60, "RDS -> L"}}, "One channel; set the threshold levels below");
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_source_pictures <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
    const bool ok = Receiver().save(folder + "receiver.png") && DataAndClock().save(folder + "dataclock.png") &&
                    Encoder().save(folder + "encoder.png");
    return ok ? 0 : 1;
}
