#include "maintenance/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace tarvo {

namespace {

const QString DefaultValueName = QStringLiteral("(Default)");

// The prefixes that mark a stored value's kind; plain text is REG_SZ.
struct KindPrefix
{
    int type;
    QLatin1String prefix;
};
const KindPrefix KindPrefixes[] = {
    {REG_SZ, QLatin1String("sz:")},       {REG_EXPAND_SZ, QLatin1String("expand:")},
    {REG_DWORD, QLatin1String("dword:")}, {REG_DWORD_BIG_ENDIAN, QLatin1String("dword_be:")},
    {REG_BINARY, QLatin1String("hex:")},  {0, QLatin1String("hex(")}, // other kinds an exported file may hold
};

QString rootGroup(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case RegistryRoot::CurrentUser:
        return QStringLiteral("HKEY_CURRENT_USER");
    }
    return {};
}

// The QSettings key of a value: root, key path and value name, "/" between them.
QString settingsKey(const Registry::Key& key, const QString& valueName)
{
    QString group = rootGroup(key.root);
    const QString path = QString(key.path).replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        group += QLatin1Char('/') + part;
    return group + QLatin1Char('/') + (valueName.isEmpty() ? DefaultValueName : valueName);
}

QString encode(int type, const QVariant& value)
{
    switch (type) {
    case REG_SZ: {
        const QString text = value.toString();
        for (const KindPrefix& kind : KindPrefixes) {
            if (text.startsWith(kind.prefix, Qt::CaseInsensitive))
                return QStringLiteral("sz:") + text;
        }
        return text;
    }
    case REG_EXPAND_SZ:
        return QStringLiteral("expand:") + value.toString();
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
        const auto number = static_cast<quint32>(value.toLongLong());
        return (type == REG_DWORD ? QStringLiteral("dword:") : QStringLiteral("dword_be:")) +
               QStringLiteral("%1").arg(number, 8, 16, QLatin1Char('0'));
    }
    default:
        return {};
    }
}

// The value and kind of a stored text; type 0 for a kind that is not handled.
QVariant decode(const QString& stored, int& type)
{
    for (const KindPrefix& kind : KindPrefixes) {
        if (!stored.startsWith(kind.prefix, Qt::CaseInsensitive))
            continue;
        type = kind.type;
        const QString data = stored.mid(kind.prefix.size());
        if (type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN) {
            bool ok = false;
            const quint32 number = data.toUInt(&ok, 16);
            if (!ok || data.size() > 8) {
                type = 0;
                return {};
            }
            return static_cast<qint32>(number);
        }
        if (type == REG_BINARY) {
            QStringList pairs;
            for (const QString& byte : data.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                bool ok = false;
                const uint value = byte.trimmed().toUInt(&ok, 16);
                if (!ok || value > 0xff) {
                    type = 0;
                    return {};
                }
                pairs << QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
            }
            return pairs.join(QLatin1Char(' '));
        }
        return type == 0 ? QVariant() : QVariant(data);
    }
    type = REG_SZ;
    return stored;
}

} // namespace

QString BuildKeyPath(const QString& base, const QString& application, const QString& section,
                     const QString& fourth)
{
    QString path = base;
    for (const QString& part : {application, section, fourth}) {
        if (part.isEmpty())
            continue;
        if (!path.isEmpty())
            path += QLatin1Char('\\');
        path += part;
    }
    while (path.contains(QLatin1String("\\\\")))
        path.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return path;
}

Registry::Registry(QString filePath) : m_filePath(std::move(filePath)) {}

Registry Registry::forCurrentUser()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return Registry(config + QStringLiteral("/Tarvo/Registry.ini"));
}

QVariant Registry::RegReadValue(const QString& application, const QString& section, const QString& valueName,
                                const QString& defaultValue, RegistryRoot root, const QString& base) const
{
    QVariant result;
    int type = 0;
    if (RegQueryValueByType({root, BuildKeyPath(base, application, section)}, valueName, result, type) != 0)
        return defaultValue;
    if (!result.isValid() || (result.typeId() == QMetaType::QString && result.toString().isEmpty()))
        return defaultValue;
    return result;
}

bool Registry::RegWriteValue(const QString& application, const QString& section, const QString& valueName,
                             const QString& value, RegistryRoot root, const QString& base) const
{
    return RegSetValueByType({root, BuildKeyPath(base, application, section)}, valueName, REG_SZ, value) == 0;
}

long Registry::RegSetValueByType(const Key& key, const QString& valueName, int type,
                                 const QVariant& value) const
{
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_DWORD && type != REG_DWORD_BIG_ENDIAN)
        return 0;
    if (rootGroup(key.root).isEmpty())
        return -1;
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSettings settings(m_filePath, QSettings::IniFormat);
    settings.setValue(settingsKey(key, valueName), encode(type, value));
    settings.sync();
    return settings.status() == QSettings::NoError ? 0 : -1;
}

long Registry::RegQueryValueByType(const Key& key, const QString& valueName, QVariant& result,
                                   int& type) const
{
    result = QString();
    type = 0;
    if (rootGroup(key.root).isEmpty())
        return 2;
    const QSettings settings(m_filePath, QSettings::IniFormat);
    const QVariant stored = settings.value(settingsKey(key, valueName));
    if (!stored.isValid())
        return 2;
    // An unquoted value with commas, as a hand-edited file may hold, reads as a list.
    const QString text = stored.typeId() == QMetaType::QStringList
                             ? stored.toStringList().join(QLatin1Char(','))
                             : stored.toString();
    QVariant value = decode(text, type);
    if (type == 0)
        return -1;
    result = value;
    return 0;
}

} // namespace tarvo
