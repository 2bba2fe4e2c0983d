#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace tarvo::test {

// Reads PDF files back with the poppler tools (poppler-utils), a reader independent of the writer.
struct PdfReader
{
    static bool available()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
               !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
    }

    static QString run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // The number of pages, or -1 when the file is no PDF the reader opens.
    static int pageCount(const QString& path)
    {
        const auto match =
            QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
                .match(run(QStringLiteral("pdfinfo"), {path}));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }

    // The size of the first page in points.
    static QSizeF pageSize(const QString& path)
    {
        const auto match = QRegularExpression(QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+)"),
                                              QRegularExpression::MultilineOption)
                               .match(run(QStringLiteral("pdfinfo"), {path}));
        return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble())
                                : QSizeF();
    }

    // The text of one page (counted from 1), in reading order.
    static QString pageText(const QString& path, int page)
    {
        return run(QStringLiteral("pdftotext"),
                   {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
                    QStringLiteral("-layout"), path, QStringLiteral("-")});
    }
};

} // namespace tarvo::test
