#include "core/IniFile.h"

#include "core/ReplacingFile.h"

#include <QFile>
#include <QFileInfo>
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

// What the bytes of one line mean: UTF-8 when they are valid UTF-8, else the single-byte code page. A
// byte order mark at the start of the file (of its first line) is no part of the text; one at the start
// of any other line is.
QString decodeLine(QByteArrayView bytes, bool firstLine, bool* codePage = nullptr)
{
    // Stateless: a sequence cut off at the end of the line is an error, not the start of the next line.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    const bool single = utf8.hasError();
    if (single)
        text = QString::fromLatin1(bytes);
    else if (firstLine && text.startsWith(QChar(QChar::ByteOrderMark)))
        text.remove(0, 1);
    if (codePage)
        *codePage = single;
    return text;
}

// The bytes of a line that the program writes: in the code page when the file is kept in one and the
// text reads back the same from them, otherwise in UTF-8, which holds every character.
QByteArray encodeLine(const QString& text, bool codePage)
{
    if (codePage && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xff; })) {
        QByteArray bytes = text.toLatin1();
        if (decodeLine(bytes, false) == text)
            return bytes;
    }
    return text.toUtf8();
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
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype next = bytes.indexOf('\n', start);
        Line line;
        if (next < 0) {
            line.bytes = bytes.mid(start);
            next = bytes.size();
        } else {
            const bool cr = next > start && bytes.at(next - 1) == '\r';
            line.bytes = bytes.mid(start, next - start - (cr ? 1 : 0));
            line.end = cr ? QByteArray("\r\n") : QByteArray("\n");
            contents.crlf = contents.crlf || cr;
            ++next;
        }
        bool codePage = false;
        line.text = decodeLine(line.bytes, start == 0, &codePage);
        contents.codePage = contents.codePage || codePage;
        contents.lines.append(std::move(line));
        start = next;
    }
    return true;
}

QString IniFile::read(const QString& section, const QString& key) const
{
    Contents contents;
    if (!load(contents, nullptr))
        return {};
    bool inSection = false;
    for (const Line& line : std::as_const(contents.lines)) {
        if (const auto header = sectionHeader(line.text)) {
            // The first section of that name is the one that counts, as with the Windows reader.
            if (inSection)
                return {};
            inSection = sameName(*header, section.trimmed());
            continue;
        }
        if (!inSection)
            continue;
        const auto name = keyOf(line.text);
        if (name && sameName(*name, key.trimmed()))
            return valueOf(line.text);
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
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (sectionName.isEmpty() || hasLineBreak(section) || section.contains(QLatin1Char(']')))
        return fail(QStringLiteral("Invalid section name \"%1\"").arg(section));
    if (keyName.isEmpty() || hasLineBreak(key) || key.contains(QLatin1Char('=')) ||
        keyName.startsWith(QLatin1Char('[')) || keyName.startsWith(QLatin1Char(';')))
        return fail(QStringLiteral("Invalid key name \"%1\"").arg(key));
    if (hasLineBreak(value))
        return fail(QStringLiteral("A value cannot hold a line break"));

    Contents contents;
    QString loadError;
    if (!load(contents, &loadError))
        return fail(loadError);

    QList<Line>& lines = contents.lines;
    const QByteArray eol = contents.crlf ? QByteArray("\r\n") : QByteArray("\n");
    const auto makeLine = [&](const QString& text, const QByteArray& end) {
        return Line{encodeLine(text, contents.codePage), end, text};
    };
    qsizetype sectionStart = -1; // index of the header line
    qsizetype lastEntry = -1;    // last non-blank line of the section
    bool written = false;
    for (qsizetype i = 0; i < lines.size() && !written; ++i) {
        if (const auto header = sectionHeader(lines[i].text)) {
            if (sectionStart >= 0)
                break;
            if (sameName(*header, sectionName)) {
                sectionStart = i;
                lastEntry = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (!lines[i].text.trimmed().isEmpty())
            lastEntry = i;
        const auto name = keyOf(lines[i].text);
        if (name && sameName(*name, keyName)) {
            lines[i] = makeLine(*name + QLatin1Char('=') + value, lines[i].end);
            written = true;
        }
    }
    if (!written) {
        // A last line without a line end gets one before anything follows it.
        if (!lines.isEmpty() && lines.back().end.isEmpty())
            lines.back().end = eol;
        const Line entry = makeLine(keyName + QLatin1Char('=') + value, eol);
        if (sectionStart >= 0) {
            lines.insert(lastEntry + 1, entry);
        } else {
            if (!lines.isEmpty() && !lines.back().text.trimmed().isEmpty())
                lines.append(makeLine(QString(), eol));
            lines.append(makeLine(QLatin1Char('[') + sectionName + QLatin1Char(']'), eol));
            lines.append(entry);
        }
    }

    ReplacingFile file(m_path);
    if (!file.open())
        return fail(file.errorString());
    for (const Line& line : std::as_const(lines)) {
        if (!file.write(line.bytes) || !file.write(line.end))
            return fail(file.errorString());
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace tarvo
