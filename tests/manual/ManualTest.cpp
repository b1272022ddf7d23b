#include "ManualPdf.h"
#include "PdfText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Page texts joined, every run of white space made one blank, so a title
// matches however the lines were broken around it; the typesetter's
// ligatures ("fi" as one glyph) are spelled out again.
QString Flat(const PdfText& pdf) {
    return pdf.pages().join('\n').normalized(QString::NormalizationForm_KC).simplified();
}

QString Render(const QString& markdown, const QString& file) {
    QString error;
    EXPECT_TRUE(WriteManualPdf(markdown, QFileInfo(ORVANE_MANUAL_MD).absolutePath(), file, &error)) << error.toStdString();
    return error;
}

} // namespace

// The reader is checked against text whose every character is known, the
// non-ASCII ones included, before it judges the manual.
TEST(PdfText, ReadsBackWhatQtWrote) {
    QTemporaryDir dir;
    const QString file = dir.filePath("small.pdf");
    Render("# Größe\n\nPI 0xD3C2, “1187.5 Hz” µs\n\n## Second page's title\n", file);
    const PdfText pdf(ReadAll(file));
    ASSERT_EQ(pdf.error().toStdString(), "");
    ASSERT_EQ(pdf.pages().size(), 1);
    const QStringList lines = pdf.pages()[0].split('\n', Qt::SkipEmptyParts);
    // Qt prints the page number below the text.
    EXPECT_EQ(lines, (QStringList{"Größe", "PI 0xD3C2, “1187.5 Hz” µs", "Second page's title", "1"}));
    EXPECT_EQ(pdf.title(), "Orvane manual");
}

TEST(PdfText, RefusesWhatIsNoPdf) {
    EXPECT_FALSE(PdfText("hello").error().isEmpty());
    EXPECT_FALSE(PdfText("%PDF-1.4\n1 0 obj\n<< >>\nendobj\n").error().isEmpty());
}

TEST(ManualPdf, TheProgramFolderHoldsTheManual) {
    const QString dir = qEnvironmentVariable("ORVANE_PROGRAM_DIR");
    ASSERT_FALSE(dir.isEmpty());
    const QByteArray data = ReadAll(QDir(dir).filePath("orvane.pdf"));
    ASSERT_TRUE(data.startsWith("%PDF-")) << "no orvane.pdf in " << dir.toStdString();
    EXPECT_TRUE(data.trimmed().endsWith("%%EOF"));
    const PdfText pdf(data);
    ASSERT_EQ(pdf.error().toStdString(), "");
    EXPECT_GT(pdf.pages().size(), 10);
    // The built file is the manual of this source tree, not a stale or empty one.
    QString markdown = QString::fromUtf8(ReadAll(ORVANE_MANUAL_MD));
    const QString lastTitle = markdown.split('\n').filter(QRegularExpression("^## ")).last().mid(3);
    EXPECT_TRUE(Flat(pdf).contains(lastTitle)) << lastTitle.toStdString();
}

// Every chapter of the manual, in this order, as text a reader can search and
// copy, on A4 pages, without Markdown marks left in it.
TEST(ManualPdf, ChaptersAreTextInTheirOrder) {
    const QString markdown = QString::fromUtf8(ReadAll(ORVANE_MANUAL_MD));
    ASSERT_FALSE(markdown.isEmpty());
    QTemporaryDir dir;
    const QString file = dir.filePath("manual.pdf");
    Render(markdown, file);
    const PdfText pdf(ReadAll(file));
    ASSERT_EQ(pdf.error().toStdString(), "");
    const QString text = Flat(pdf);

    // What a user must find in the manual.
    const QStringList required = {
        "What Orvane is for", "Getting started", "Sources", "Serial receiver", "Sound card", "Device link",
        "Socket streams", "Playing files", "Recording", "Settings and workspaces", "Reports", "Group analyser",
        "Status information", "Decoder data", "Options", "File types", "Command line", "Files and folders"};
    QStringList titles;
    for (const QString& line : markdown.split('\n')) {
        if (line.startsWith("## ") || line.startsWith("### ")) titles.append(line.mid(line.indexOf(' ') + 1).trimmed());
    }
    for (const QString& r : required)
        EXPECT_FALSE(titles.filter(r).isEmpty()) << "the manual has no chapter on " << r.toStdString();

    qsizetype at = 0;
    for (const QString& title : titles) {
        const qsizetype found = text.indexOf(title, at);
        EXPECT_GE(found, 0) << "\"" << title.toStdString() << "\" is not text in the PDF, or out of order";
        if (found >= 0) at = found + title.size();
    }
    for (const char* mark : {"## ", "**", "](", "|---"})
        EXPECT_FALSE(text.contains(mark)) << "Markdown left in the PDF: " << mark;

    ASSERT_FALSE(pdf.pages().isEmpty());
    for (int i = 0; i < pdf.pages().size(); ++i) {
        const QList<double> box = pdf.mediaBox(i);
        ASSERT_EQ(box.size(), 4);
        EXPECT_NEAR(box[2] - box[0], 595, 1); // A4 in points
        EXPECT_NEAR(box[3] - box[1], 842, 1);
    }
}

TEST(ManualPdf, AnEmptyManualOrAnUnwritableFileFails) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(WriteManualPdf("", dir.path(), dir.filePath("empty.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(WriteManualPdf("# Title\n", dir.path(), dir.filePath("no/such/folder/m.pdf"), &error));
    EXPECT_NE(error.indexOf("cannot write"), -1);
}

// The wiring pictures are found beside the manual wherever the build runs,
// not only from the manual's own folder.
TEST(ManualPdf, PicturesAreDrawnFromAnyWorkingFolder) {
    const QString markdown = QString::fromUtf8(ReadAll(ORVANE_MANUAL_MD));
    const qsizetype pictures = markdown.count(QRegularExpression("!\\[[^\\]]*\\]\\("));
    ASSERT_GT(pictures, 0);
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    Render(markdown, dir.filePath("manual.pdf"));
    QDir::setCurrent(before);
    const QByteArray data = ReadAll(dir.filePath("manual.pdf"));
    EXPECT_EQ(data.count("/Subtype /Image"), pictures);
    const QByteArray built = ReadAll(QDir(qEnvironmentVariable("ORVANE_PROGRAM_DIR")).filePath("orvane.pdf"));
    EXPECT_EQ(built.count("/Subtype /Image"), pictures);
}
