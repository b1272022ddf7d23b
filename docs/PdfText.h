// Reads back the text of a PDF that Qt's PDF writer made: objects through the
// cross-reference table, Flate streams, fonts' ToUnicode maps, and the text
// operators of each page's content. Enough for Qt's own output, no more.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

class PdfText {
public:
    // Parses `pdf`; error() is empty when that worked.
    explicit PdfText(QByteArray pdf);

    const QString& error() const { return error_; }
    // One text per page, in page order; lines end with '\n'.
    const QStringList& pages() const { return pages_; }
    // The page's /MediaBox numbers, e.g. "0 0 595 842", of page `index`.
    QList<double> mediaBox(int index) const { return mediaBoxes_.value(index); }
    // The document information's "Title", "Creator" or "Producer".
    QString info(const char* key) const { return info_.value(key); }

private:
    struct Object {
        QByteArray dict;   // the text between "obj" and "stream"/"endobj"
        QByteArray stream; // decoded stream data, if any
    };

    bool ReadXref();
    const Object* Get(int number);
    bool LoadObject(int number);
    void ReadPages(int number, int depth);
    QString PageText(const Object& page);
    QHash<QByteArray, QHash<uint, QString>> FontMaps(const QByteArray& resources);
    static QHash<uint, QString> ParseCMap(const QByteArray& cmap);

    QByteArray pdf_;
    QString error_;
    QHash<int, qsizetype> offsets_;
    QHash<int, Object> objects_;
    QStringList pages_;
    QList<QList<double>> mediaBoxes_;
    QHash<QByteArray, QString> info_;
};
