#include "core/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace tarvo {

namespace {

// The name of the section that a line opens, or nothing when the line is not a section header.
std::optional<QString> sectionHeader(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line, or nothing for blank lines, comments and lines without "=".
std::optional<QString> keyOf(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
        return std::nullopt;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return line.left(eq).trimmed();
}

QString valueOf(const QString& line)
{
    QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            value = value.mid(1, value.size() - 2);
    }
    return value;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

bool IniFile::exists() const
{
    return QFileInfo(m_path).isFile();
}

bool IniFile::load(Contents& contents, QString* error) const
{
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        // Files written on Windows are in a single-byte code page; keep their bytes as they are.
        text = QString::fromLatin1(bytes);
        contents.latin1 = true;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    contents.crlf = text.contains(QLatin1String("\r\n"));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    contents.lines = text.split(QLatin1Char('\n'));
    if (!contents.lines.isEmpty() && contents.lines.back().isEmpty())
        contents.lines.removeLast();
    return true;
}

QString IniFile::read(const QString& section, const QString& key) const
{
    Contents contents;
    if (!load(contents, nullptr))
        return {};
    bool inSection = false;
    for (const QString& line : std::as_const(contents.lines)) {
        if (const auto header = sectionHeader(line)) {
            // The first section of that name is the one that counts, as with the Windows reader.
            if (inSection)
                return {};
            inSection = sameName(*header, section);
            continue;
        }
        if (!inSection)
            continue;
        const auto name = keyOf(line);
        if (name && sameName(*name, key))
            return valueOf(line);
    }
    return {};
}

bool IniFile::write(const QString& section, const QString& key, const QString& value, QString* error) const
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (section.trimmed().isEmpty() || hasLineBreak(section) || section.contains(QLatin1Char(']')))
        return fail(QStringLiteral("Invalid section name \"%1\"").arg(section));
    if (key.trimmed().isEmpty() || hasLineBreak(key) || key.contains(QLatin1Char('=')) ||
        key.trimmed().startsWith(QLatin1Char('[')) || key.trimmed().startsWith(QLatin1Char(';')))
        return fail(QStringLiteral("Invalid key name \"%1\"").arg(key));
    if (hasLineBreak(value))
        return fail(QStringLiteral("A value cannot hold a line break"));

    Contents contents;
    QString loadError;
    if (!load(contents, &loadError))
        return fail(loadError);

    QStringList& lines = contents.lines;
    qsizetype sectionStart = -1; // index of the header line
    qsizetype lastEntry = -1;    // last non-blank line of the section
    bool written = false;
    for (qsizetype i = 0; i < lines.size() && !written; ++i) {
        if (const auto header = sectionHeader(lines[i])) {
            if (sectionStart >= 0)
                break;
            if (sameName(*header, section)) {
                sectionStart = i;
                lastEntry = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (!lines[i].trimmed().isEmpty())
            lastEntry = i;
        const auto name = keyOf(lines[i]);
        if (name && sameName(*name, key)) {
            lines[i] = *name + QLatin1Char('=') + value;
            written = true;
        }
    }
    if (!written) {
        const QString entry = key.trimmed() + QLatin1Char('=') + value;
        if (sectionStart >= 0) {
            lines.insert(lastEntry + 1, entry);
        } else {
            if (!lines.isEmpty() && !lines.back().trimmed().isEmpty())
                lines.append(QString());
            lines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
            lines.append(entry);
        }
    }

    const QString eol = contents.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    const QString text = lines.join(eol) + eol;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // A file kept in a single-byte code page stays in it, unless the new value has a character that
    // the code page lacks: the file is then written in UTF-8, so that no character is lost.
    const bool latin1 = contents.latin1 &&
                        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xff; });
    const QByteArray bytes = latin1 ? text.toLatin1() : text.toUtf8();
    if (file.write(bytes) != bytes.size())
        return fail(file.errorString());
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace tarvo
