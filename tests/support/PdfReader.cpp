#include "support/PdfReader.h"

#include <QProcess>
#include <QRegularExpression>

namespace test {

namespace {

// A tool's standard output; empty when it fails or takes longer than a minute.
QString run(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000)) {
        tool.kill();
        tool.waitForFinished(5000);
        return {};
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString pdfInfo(const QString& path, const QString& key)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(key), QRegularExpression::MultilineOption);
    return line.match(run(QStringLiteral("pdfinfo"), {path})).captured(1).trimmed();
}

}  // namespace

QStringList pdfPages(const QString& path)
{
    const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (text.isEmpty())
        return {};
    QStringList pages = text.split(QLatin1Char('\f'));
    if (pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

int pdfPageCount(const QString& path)
{
    bool ok = false;
    const int pages = pdfInfo(path, QStringLiteral("Pages")).toInt(&ok);
    return ok ? pages : -1;
}

QSizeF pdfPageSize(const QString& path)
{
    const QRegularExpression size(QStringLiteral("^([\\d.]+) x ([\\d.]+) pts"));
    const auto match = size.match(pdfInfo(path, QStringLiteral("Page size")));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

}  // namespace test
