// Build-time tool: makemanual <manual.md> <output.pdf>
#include "ManualPdf.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: makemanual <manual.md> <output.pdf>\n");
        return 2;
    }
    // A build machine has no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "makemanual: cannot read %s\n", argv[1]);
        return 1;
    }
    QString error;
    if (!WriteManualPdf(QString::fromUtf8(file.readAll()), QFileInfo(input).absolutePath(), output, &error)) {
        std::fprintf(stderr, "makemanual: %s\n", qPrintable(error));
        QFile::remove(output);
        return 1;
    }
    return 0;
}
