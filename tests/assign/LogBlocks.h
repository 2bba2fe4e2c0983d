#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QStringList>

namespace tarvo::test {

// The addresses of the assignment-log blocks that make up a log, in their order; the blocks are those
// of records without a unit. Fails (the position of the first byte that is not part of a whole block in
// *brokenAt) when anything else is in the log.
inline QStringList loggedAddresses(const QByteArray& log, qsizetype* brokenAt)
{
    static const QRegularExpression block(QStringLiteral(
        "Date Assign : \\d\\d/\\d\\d/\\d{4} \\(\\d\\d:\\d\\d:\\d\\d\\)\\r\\n-{53}\\r\\n"
        "IP Address\\t: ([0-9.]+)\\r\\nHostname\\t: [^\\r\\n]*\\r\\nEquipment\\t: [^\\r\\n]*\\r\\n"
        "Username\\t: [^\\r\\n]*\\r\\n-{53}\\r\\n"));
    const QString text = QString::fromUtf8(log);
    QStringList addresses;
    qsizetype at = 0;
    while (at < text.size()) {
        const QRegularExpressionMatch match = block.match(text, at, QRegularExpression::NormalMatch,
                                                          QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch())
            break;
        addresses << match.captured(1);
        at = match.capturedEnd();
    }
    *brokenAt = at < text.size() ? at : -1;
    return addresses;
}

} // namespace tarvo::test
