#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tarvo {

// A profile (INI) file with the Windows profile-file rules: section and key names match in any letter
// case and without surrounding blanks, values are read trimmed and without one pair of surrounding
// quotes, a missing key reads as an empty text, and a write changes only the line of its key (every
// other line keeps its bytes, comments included) and replaces the file atomically. Each line is read as
// UTF-8 when it is valid UTF-8, otherwise in the single-byte code page of files written on Windows, so
// that a line means what its own bytes say. The file is read afresh on every call, so a value written
// by one window is seen at once by the next read.
class IniFile
{
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }
    bool exists() const;

    // The value of the key, or an empty text when the file, the section or the key is missing.
    QString read(const QString& section, const QString& key) const;

    // Writes the value, creating the file, the section and the key when missing. Returns false (and
    // the reason in *error) when the file cannot be written or a name or value would break the
    // file's structure (a line break, a "]" in a section name, a "=" in a key name).
    bool write(const QString& section, const QString& key, const QString& value,
               QString* error = nullptr) const;

private:
    struct Line
    {
        QByteArray bytes; // as in the file, without the line end
        QByteArray end;   // "\n", "\r\n", or "" for a last line without one
        QString text;     // what the bytes mean
    };
    struct Contents
    {
        QList<Line> lines;
        bool crlf = false;     // the file ends its lines with CR LF
        bool codePage = false; // some line is not UTF-8
    };
    bool load(Contents& contents, QString* error) const;

    QString m_path;
};

} // namespace tarvo
