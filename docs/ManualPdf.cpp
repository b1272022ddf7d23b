#include "ManualPdf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
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

} // namespace

bool WriteManualPdf(const QString& markdown, const QString& baseFolder, const QString& pdfFile, QString* error) {
    QTextDocument doc;
    // Relative picture paths in the Markdown are relative to the manual's folder.
    doc.setBaseUrl(QUrl::fromLocalFile(baseFolder.endsWith('/') ? baseFolder : baseFolder + '/'));
    QFont font("DejaVu Sans");
    font.setPointSizeF(10);
    doc.setDefaultFont(font);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    AnchorPictures(doc, baseFolder);
    if (doc.isEmpty()) {
        if (error) *error = "the manual is empty";
        return false;
    }

    QFile::remove(pdfFile);
    {
        QPdfWriter writer(pdfFile);
        writer.setTitle("Orvane manual");
        writer.setCreator("Orvane");
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
    return true;
}
