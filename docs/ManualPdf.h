// The user manual as a PDF: Markdown laid out by Qt's text engine on A4 pages.
#pragma once

#include <QString>

// Lays out `markdown` (pictures resolved against `baseFolder`) and writes it
// to `pdfFile`. Needs a QGuiApplication. On failure returns false and sets
// `error` when given.
bool WriteManualPdf(const QString& markdown, const QString& baseFolder, const QString& pdfFile,
                    QString* error = nullptr);
