#include "ManualPdf.h"
#include "PdfText.h"

#include <orvane/version.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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

// The texts in double quotes of the Markdown source as a reader should see
// them: backslash escapes undone outside code blocks and code spans. Quotes
// pair within a paragraph, list item, table row or code block.
QStringList QuotedTexts(const QString& markdown) {
    struct Block {
        QString text;
        bool code = false;
    };
    QList<Block> blocks;
    Block block;
    bool blank = true;
    const auto end = [&] {
        if (!block.text.isEmpty()) blocks.append(block);
        block = Block{};
    };
    static const QRegularExpression itemStart("^(\\s*[-*] |\\s*\\d+\\. |#|\\|)");
    for (const QString& line : markdown.split('\n')) {
        if (line.trimmed().isEmpty()) {
            end();
            blank = true;
            continue;
        }
        const bool code = line.startsWith("    ") && (blank || block.code);
        if (code != block.code || (!code && itemStart.match(line).hasMatch())) end();
        block.code = code;
        block.text += line + '\n';
        blank = false;
    }
    end();
    static const QRegularExpression quoted("\"([^\"]*)\"");
    static const QRegularExpression escape("\\\\([!-/:-@\\[-`{-~])");
    QStringList texts;
    for (const Block& b : blocks) {
        QString shown = b.text;
        if (!b.code) {
            QStringList parts = b.text.split('`');
            for (qsizetype i = 0; i < parts.size(); i += 2) parts[i].replace(escape, "\\1");
            shown = parts.join(QString());
        }
        for (const auto& m : quoted.globalMatch(shown)) texts.append(m.captured(1));
    }
    return texts;
}

// White space left out: the layout breaks lines at blanks and also after a
// "/" or "-" where the source has none.
QString Dense(const QString& text) {
    QString out = text.normalized(QString::NormalizationForm_KC);
    out.remove(QRegularExpression("\\s+"));
    return out;
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
    EXPECT_EQ(pdf.info("Title"), "Orvane " ORVANE_VERSION " user manual");
    EXPECT_EQ(pdf.info("Creator"), "Orvane " ORVANE_VERSION);
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
    // The project's one version, in the text and in the document information.
    EXPECT_TRUE(Flat(pdf).contains("Orvane " ORVANE_VERSION ", an RDS decoder")) << Flat(pdf).left(200).toStdString();
    EXPECT_FALSE(Flat(pdf).contains("@ORVANE_VERSION@"));
    EXPECT_EQ(pdf.info("Creator"), "Orvane " ORVANE_VERSION);
    EXPECT_EQ(pdf.info("Title"), "Orvane " ORVANE_VERSION " user manual");
}

// A reader who writes a device server or a report template copies what the
// manual quotes: every quoted text stands in the built PDF as written, not
// taken for emphasis or markup.
TEST(ManualPdf, EveryQuotedTextStandsInThePdfAsWritten) {
    const QString markdown = QString::fromUtf8(ReadAll(ORVANE_MANUAL_MD));
    const QStringList quoted = QuotedTexts(markdown);
    ASSERT_GT(quoted.size(), 100);
    // The extraction itself: escapes undone, code left as it stands.
    EXPECT_EQ(QuotedTexts("a \"\\*.orv\" b `\"\\*\"`\n\n    x=\"\\<\"\n"), (QStringList{"*.orv", "\\*", "\\<"}));
    const PdfText pdf(ReadAll(QDir(qEnvironmentVariable("ORVANE_PROGRAM_DIR")).filePath("orvane.pdf")));
    ASSERT_EQ(pdf.error().toStdString(), "");
    const QString text = Dense(pdf.pages().join('\n'));
    for (const QString& q : quoted) EXPECT_TRUE(text.contains(Dense(q))) << "\"" << q.toStdString() << "\"";
    // One without blanks is one piece to type: no line breaks inside it.
    // Blanks between the pieces of a line are the reader's; line ends stay.
    QString lines = pdf.pages().join('\n').normalized(QString::NormalizationForm_KC);
    lines.remove(QRegularExpression("[^\\S\\n]+"));
    for (const QString& q : quoted) {
        if (!q.contains(QRegularExpression("\\s"))) {
            EXPECT_TRUE(lines.contains(Dense(q))) << "\"" << q.toStdString() << "\" is broken across lines";
        }
    }
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

// A manual whose headings are not text, or with no text at all because
// fontconfig finds no font, is refused rather than written as a manual.
TEST(ManualPdf, AManualWithoutItsTitlesAsTextFails) {
    QTemporaryDir dir;
    const QString picture = QFileInfo(ORVANE_MANUAL_MD).absolutePath() + "/../app/pictures/receiver.png";
    ASSERT_TRUE(QFileInfo::exists(picture));
    QString error;
    EXPECT_FALSE(WriteManualPdf("# ![](" + picture + ")\n\nSome text.\n", dir.path(), dir.filePath("m.pdf"), &error));
    EXPECT_NE(error.indexOf("chapter title"), -1) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("m.pdf")));
}

TEST(ManualPdf, MakemanualFailsWhereNoFontIsFound) {
    QTemporaryDir dir;
    QFile config(dir.filePath("fonts.conf"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig><cachedir>" +
                 dir.filePath("cache").toUtf8() + "</cachedir></fontconfig>\n");
    config.close();
    const QString pdf = dir.filePath("orvane.pdf");
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FONTCONFIG_FILE", config.fileName());
    tool.setProcessEnvironment(env);
    tool.start(ORVANE_MAKEMANUAL, {ORVANE_MANUAL_MD, pdf});
    ASSERT_TRUE(tool.waitForFinished(120000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(tool.exitCode(), 0);
    const QString stderrText = QString::fromLocal8Bit(tool.readAllStandardError());
    EXPECT_NE(stderrText.indexOf("makemanual: the laid-out manual has no text"), -1) << stderrText.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf));

    // The same tool with the system's fonts writes the manual.
    tool.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    tool.start(ORVANE_MAKEMANUAL, {ORVANE_MANUAL_MD, pdf});
    ASSERT_TRUE(tool.waitForFinished(120000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
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
