#pragma once

#include <QString>
#include <QStringList>

namespace tarvo {

// A profile (INI) file with the Windows profile-file rules: section and key names match in any letter
// case, values are read trimmed and without one pair of surrounding quotes, a missing key reads as an
// empty text, and a write keeps every other line (comments included) and replaces the file
// atomically. The file is read afresh on every call, so a value written by one window is seen at once
// by the next read.
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
    struct Contents
    {
        QStringList lines;
        bool crlf = false;
        bool latin1 = false;
    };
    bool load(Contents& contents, QString* error) const;

    QString m_path;
};

} // namespace tarvo
