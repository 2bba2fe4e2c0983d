#pragma once

#include <QString>
#include <QVariant>

namespace tarvo {

// The roots of the settings tree, with their customary numbers.
enum class RegistryRoot : quint32
{
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
};

// The kinds of value the settings store handles; any other kind is neither read nor written.
enum RegistryValueType : int
{
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
};

// Joins up to four key parts with "\": empty parts are skipped, doubled separators become one and "/"
// becomes "\". "SOFTWARE", "Tarvo", "Settings" give SOFTWARE\Tarvo\Settings.
QString BuildKeyPath(const QString& base, const QString& application, const QString& section,
                     const QString& fourth = {});

// A settings tree of keys and named values kept in one INI file per user (QSettings in INI format).
// Each root is a top section of the file and a key path its group below it; the value of an empty
// name is the key's default value. Text values are stored as they are; the other kinds carry a prefix
// in the manner of exported registry files ("dword:0000000a", "hex:01,02"), and a text that would look
// like one is stored behind "sz:".
class Registry
{
public:
    explicit Registry(QString filePath);

    // The user's own file: ${XDG_CONFIG_HOME:-~/.config}/Tarvo/Registry.ini.
    static Registry forCurrentUser();
    const QString& filePath() const { return m_filePath; }

    // The value at root\BuildKeyPath(base, application, section), or defaultValue when it is missing,
    // empty or of a kind that is not handled. A number kind reads as a number, the others as text.
    QVariant RegReadValue(const QString& application, const QString& section, const QString& valueName,
                          const QString& defaultValue, RegistryRoot root, const QString& base) const;

    // Writes value as text, creating the key when needed; false when the file could not be written.
    bool RegWriteValue(const QString& application, const QString& section, const QString& valueName,
                       const QString& value, RegistryRoot root, const QString& base) const;

    // An open key: the root and the key path.
    struct Key
    {
        RegistryRoot root;
        QString path;
    };

    // Writes a value of a kind; 0 on success, -1 when the file could not be written. Kinds that are not
    // handled write nothing and give 0.
    long RegSetValueByType(const Key& key, const QString& valueName, int type, const QVariant& value) const;

    // Reads a value and its kind: 0 on success, 2 when the value is missing (result empty), -1 for a
    // kind that is not handled. Text kinds give text, number kinds a 32-bit number, binary data its
    // bytes as upper-case hexadecimal pairs separated by blanks.
    long RegQueryValueByType(const Key& key, const QString& valueName, QVariant& result, int& type) const;

private:
    QString m_filePath;
};

} // namespace tarvo
