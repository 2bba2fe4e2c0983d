#include "probe/EchoTarget.h"

#include "probe/IcmpStatus.h"

#include <QStringList>
#include <QtEndian>

namespace tarvo {

namespace {

// The number at the start of a text, as the old numeric conversion read it: blanks skipped, an
// optional sign, the digits that follow; 0 when there are none.
qint64 leadingNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed.at(i) == QLatin1Char('-') || trimmed.at(i) == QLatin1Char('+'))) {
        negative = trimmed.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < trimmed.size() && trimmed.at(i).isDigit() && trimmed.at(i).unicode() < 128; ++i)
        value = (value * 10 + (trimmed.at(i).unicode() - '0')) & 0xFFFFFFFF;
    return negative ? -value : value;
}

} // namespace

void EchoTarget::SetPingTarget(const QString& addressText)
{
    const QStringList parts = addressText.split(QLatin1Char('.'));
    if (parts.size() != 4) {
        m_address = 0;
        return;
    }
    uchar bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uchar>(leadingNumber(parts.at(i)) & 0xFF);
    // The bytes in memory are the octets in order: network byte order.
    m_address = qFromUnaligned<quint32>(bytes);
    m_text = addressText;
}

QString EchoTarget::targetAddressText() const
{
    uchar bytes[4];
    qToUnaligned(m_address, bytes);
    return QStringLiteral("%1.%2.%3.%4").arg(bytes[0]).arg(bytes[1]).arg(bytes[2]).arg(bytes[3]);
}

void EchoTarget::PingTarget(Pinger& pinger, int ttl, int timeoutMs, QObject* context,
                            std::function<void(const PingResult&)> done) const
{
    const QString sent = targetAddressText();
    const QString shown = m_text;
    pinger.ping(sent, ttl, timeoutMs, DefaultPingPayload, context,
                [sent, shown, done = std::move(done)](PingResult result) {
                    // The pinger names the address it was given; the sentence names the text as typed.
                    const QString prefix = pingFailurePrefix(sent);
                    if (result.Failed && result.Message.startsWith(prefix))
                        result.Message = pingFailurePrefix(shown) + result.Message.mid(prefix.size());
                    if (done)
                        done(result);
                });
}

} // namespace tarvo
