#pragma once

#include "probe/NetBiosNodeStatus.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QUdpSocket>

namespace tarvo::test {

// The name table of a workstation with a signed-on user (PC0123, work group KEWANGAN, user AHMAD, MAC
// 00-1A-2B-3C-4D-5E), in the order such a node lists it.
NodeStatus workstationNameTable();

// A NetBIOS node that answers node status requests on a free UDP port of 127.0.0.1 with the workstation's
// name table, for the tests of the NetBIOS client. It can stay silent, answer late, answer first with a
// foreign transaction id or a cut-short datagram, and name its record with a compressed pointer.
class LoopbackNetBiosResponder : public QObject
{
    Q_OBJECT
public:
    explicit LoopbackNetBiosResponder(QObject* parent = nullptr);

    bool start() { return m_socket.bind(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_socket.localPort(); }

    // Before the real answer, send this many pairs of one with another transaction id and one cut short.
    void setDecoys(int pairs) { m_decoys = pairs; }
    // Answer only from the given request on (1 = the first); earlier requests go unanswered. 0: never.
    void setAnswerFromRequest(int request) { m_answerFrom = request; }

    const QList<QByteArray>& requests() const { return m_requests; }

    // A node status response as a NetBIOS node sends it (RFC 1002, 4.2.18). With compressedName the
    // record name is a pointer to offset 12.
    static QByteArray response(quint16 transactionId, const NodeStatus& table, bool compressedName = false);

private:
    void onReadyRead();

    QUdpSocket m_socket;
    NodeStatus m_table = workstationNameTable();
    QList<QByteArray> m_requests;
    int m_decoys = 0;
    int m_answerFrom = 1;
};

} // namespace tarvo::test
