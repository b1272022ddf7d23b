#include "ManualPdf.h"

#include "PdfText.h"

#include <orvane/version.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>

namespace {

// Printing lays out a copy of the document, which resolves relative picture
// names against the working folder rather than the base URL; absolute names
// hold in both.
void AnchorPictures(QTextDocument& doc, const QString& baseFolder) {
    const QDir base(baseFolder);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QUrl url(image.name());
            if (!url.isRelative()) continue;
            image.setName(QUrl::fromLocalFile(QDir::cleanPath(base.absoluteFilePath(url.path()))).toString());
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

// The titles of the Markdown's headings, in their order; pictures in them
// are no text.
QStringList HeadingTitles(const QTextDocument& doc) {
    QStringList titles;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0)
            titles.append(block.text().remove(QChar::ObjectReplacementCharacter).simplified());
    }
    return titles;
}

// The Markdown's heading lines, outside code blocks.
qsizetype HeadingLines(const QString& markdown) {
    static const QRegularExpression heading("^ {0,3}#{1,6}(\\s|$)");
    static const QRegularExpression fence("^ {0,3}(```|~~~)");
    qsizetype count = 0;
    bool fenced = false, blank = true, indented = false;
    for (const QString& line : markdown.split('\n')) {
        if (fence.match(line).hasMatch()) fenced = !fenced;
        indented = line.startsWith("    ") && (blank || indented);
        blank = line.trimmed().isEmpty();
        if (!fenced && !indented && heading.match(line).hasMatch()) ++count;
    }
    return count;
}

// What the written file lacks to be the manual: text a reader can see and
// search, with every heading in its place. Without a font the PDF writer
// draws boxes and no text, and the file still looks like a manual by its size.
QString MissingFromPdf(const QString& pdfFile, const QStringList& titles) {
    QFile file(pdfFile);
    if (!file.open(QIODevice::ReadOnly)) return "cannot read back " + pdfFile;
    const PdfText pdf(file.readAll());
    if (!pdf.error().isEmpty()) return pdf.error() + " in " + pdfFile;
    const QString text = pdf.pages().join('\n').normalized(QString::NormalizationForm_KC).simplified();
    if (text.isEmpty())
        return "the laid-out manual has no text: no font was found (is fontconfig set up, with fonts-dejavu-core "
               "installed?)";
    qsizetype at = 0;
    for (const QString& title : titles) {
        if (title.isEmpty()) return "the laid-out manual has a chapter title that is no text";
        const qsizetype found = text.indexOf(title, at);
        if (found < 0) return "the laid-out manual lacks its chapter title \"" + title + "\"";
        at = found + title.size();
    }
    return {};
}

} // namespace

QString ManualText(const QString& markdown) {
    QString text = markdown;
    text.replace(QStringLiteral("@ORVANE_VERSION@"), QStringLiteral(ORVANE_VERSION));
    // A quoted text without blanks ("</HTML>", "098500*F") is one piece to
    // type: the layout may not break it after a "/" or "-", which it would
    // do anywhere else. The word joiner that keeps it whole draws nothing.
    // Code keeps its text as it stands, for copying.
    static const QRegularExpression quoted(QStringLiteral("\"([^\"\\s]+)\""));
    QStringList lines = text.split('\n');
    for (QString& line : lines) {
        if (line.startsWith(QLatin1String("    ")) || line.startsWith('\t')) continue;
        QStringList parts = line.split('`');
        for (qsizetype i = 0; i < parts.size(); i += 2) {
            QString& part = parts[i];
            QString out;
            qsizetype at = 0;
            for (const auto& m : quoted.globalMatch(part)) {
                out += part.mid(at, m.capturedStart(1) - at);
                QString inner = m.captured(1);
                for (qsizetype k = inner.size() - 2; k >= 0; --k)
                    if (inner[k] == '/' || inner[k] == '-') inner.insert(k + 1, QChar(0x2060));
                out += inner;
                at = m.capturedEnd(1);
            }
            part = out + part.mid(at);
        }
        line = parts.join('`');
    }
    return lines.join('\n');
}

bool WriteManualPdf(const QString& markdown, const QString& baseFolder, const QString& pdfFile, QString* error) {
    QTextDocument doc;
    // Relative picture paths in the Markdown are relative to the manual's folder.
    doc.setBaseUrl(QUrl::fromLocalFile(baseFolder.endsWith('/') ? baseFolder : baseFolder + '/'));
    QFont font("DejaVu Sans");
    font.setPointSizeF(10);
    doc.setDefaultFont(font);
    const QString text = ManualText(markdown);
    doc.setMarkdown(text, QTextDocument::MarkdownDialectGitHub);
    AnchorPictures(doc, baseFolder);
    if (doc.isEmpty()) {
        if (error) *error = "the manual is empty";
        return false;
    }

    QFile::remove(pdfFile);
    {
        QPdfWriter writer(pdfFile);
        writer.setTitle("Orvane " ORVANE_VERSION " user manual");
        writer.setCreator("Orvane " ORVANE_VERSION);
        writer.setResolution(300);
        // The text engine adds its own 2 cm margin and the page numbers inside
        // the printable area, so the writer keeps a narrow one of its own.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5),
                                         QPageLayout::Millimeter));
        doc.print(&writer);
    }
    // The writer reports no failure of its own: an unwritable file just stays empty.
    if (QFileInfo(pdfFile).size() == 0) {
        if (error) *error = "cannot write " + pdfFile;
        return false;
    }
    // A heading the document lost altogether (one made of a picture alone)
    // is missing as much as one drawn without text.
    const QStringList titles = HeadingTitles(doc);
    const qsizetype headings = HeadingLines(text);
    const QString missing =
        titles.size() < headings
            ? QString("the laid-out manual lacks %1 of its %2 chapter titles").arg(headings - titles.size()).arg(headings)
            : MissingFromPdf(pdfFile, titles);
    if (!missing.isEmpty()) {
        QFile::remove(pdfFile);
        if (error) *error = missing;
        return false;
    }
    return true;
}
