// The user manual as a PDF: Markdown laid out by Qt's text engine on A4 pages.
#pragma once

#include <QString>

// The manual's Markdown with the program's version in place of
// "@ORVANE_VERSION@".
QString ManualText(const QString& markdown);

// Lays out `markdown` (pictures resolved against `baseFolder`) and writes it
// to `pdfFile`, then reads the file back: a PDF without text or without any
// of the headings is no manual. Needs a QGuiApplication. On failure removes
// the file, returns false and sets `error` when given.
bool WriteManualPdf(const QString& markdown, const QString& baseFolder, const QString& pdfFile,
                    QString* error = nullptr);
