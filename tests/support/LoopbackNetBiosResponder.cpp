#include "LoopbackNetBiosResponder.h"

#include "probe/ByteReader.h"

#include <QNetworkDatagram>

namespace tarvo::test {

NodeStatus workstationNameTable()
{
    constexpr quint16 unique = 0x0400; // active
    constexpr quint16 group = 0x8400;
    NodeStatus table;
    table.names = {{QStringLiteral("PC0123"), 0x00, unique},
                   {QStringLiteral("KEWANGAN"), 0x00, group},
                   {QStringLiteral("PC0123"), 0x20, unique},
                   {QStringLiteral("KEWANGAN"), 0x1E, group},
                   {QStringLiteral("PC0123"), 0x03, unique},
                   {QStringLiteral("AHMAD"), 0x03, unique},
                   {QStringLiteral("\x01\x02__MSBROWSE__\x02"), 0x01, group}};
    table.unitId = QByteArray::fromHex("001a2b3c4d5e");
    return table;
}

LoopbackNetBiosResponder::LoopbackNetBiosResponder(QObject* parent) : QObject(parent)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &LoopbackNetBiosResponder::onReadyRead);
}

QByteArray LoopbackNetBiosResponder::response(quint16 transactionId, const NodeStatus& table,
                                              bool compressedName)
{
    QByteArray bytes;
    appendWord(bytes, transactionId);
    appendWord(bytes, 0x8400); // response, authoritative answer
    appendWord(bytes, 0);
    appendWord(bytes, 1);
    appendWord(bytes, 0);
    appendWord(bytes, 0);
    if (compressedName) {
        appendWord(bytes, 0xC00C);
    } else {
        QByteArray wildcard(16, '\0');
        wildcard[0] = '*';
        bytes.append(char(32));
        bytes.append(encodeNetBiosName(wildcard));
        bytes.append('\0');
    }
    appendWord(bytes, 0x0021);
    appendWord(bytes, 0x0001);
    bytes.append(QByteArray(4, '\0'));

    QByteArray data;
    data.append(static_cast<char>(table.names.size()));
    for (const NetBiosName& name : table.names) {
        data.append(name.name.toLatin1().leftJustified(15, ' ', true));
        data.append(static_cast<char>(name.suffix));
        appendWord(data, name.flags);
    }
    data.append(table.unitId);
    data.append(QByteArray(40, '\0')); // the rest of the statistics
    appendWord(bytes, static_cast<quint16>(data.size()));
    bytes.append(data);
    return bytes;
}

void LoopbackNetBiosResponder::onReadyRead()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram request = m_socket.receiveDatagram();
        m_requests.append(request.data());
        if (m_answerFrom == 0 || m_requests.size() < m_answerFrom || request.data().size() < 2)
            continue;
        const quint16 id = static_cast<quint16>((static_cast<quint8>(request.data().at(0)) << 8) |
                                                static_cast<quint8>(request.data().at(1)));
        const QByteArray answer = response(id, m_table);
        for (int pair = 0; pair < m_decoys; ++pair) {
            m_socket.writeDatagram(response(static_cast<quint16>(id + 1), m_table), request.senderAddress(),
                                   static_cast<quint16>(request.senderPort()));
            m_socket.writeDatagram(answer.left(answer.size() / 2), request.senderAddress(),
                                   static_cast<quint16>(request.senderPort()));
        }
        m_socket.writeDatagram(answer, request.senderAddress(), static_cast<quint16>(request.senderPort()));
    }
}

} // namespace tarvo::test
