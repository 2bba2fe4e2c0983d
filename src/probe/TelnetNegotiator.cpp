#include "probe/TelnetNegotiator.h"

namespace tarvo {

namespace {

constexpr quint8 IAC = 255;
constexpr quint8 DONT = 254;
constexpr quint8 DO = 253;
constexpr quint8 WONT = 252;
constexpr quint8 WILL = 251;
constexpr quint8 SB = 250;
constexpr quint8 SE = 240;
constexpr quint8 TerminalType = 24;

QByteArray command(quint8 verb, quint8 option)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(IAC));
    bytes.append(static_cast<char>(verb));
    bytes.append(static_cast<char>(option));
    return bytes;
}

QByteArray answerTo(quint8 verb, quint8 option)
{
    const bool accepted = option == 0 || option == 1 || option == TerminalType;
    if (verb == DO)
        return command(accepted ? WILL : WONT, option);
    return command(accepted ? DO : DONT, option);
}

} // namespace

QByteArray TelnetNegotiator::terminalTypeReply()
{
    QByteArray bytes;
    bytes.append(static_cast<char>(IAC));
    bytes.append(static_cast<char>(SB));
    bytes.append(static_cast<char>(TerminalType));
    bytes.append('\0'); // IS
    bytes.append("TTY");
    bytes.append(static_cast<char>(IAC));
    bytes.append(static_cast<char>(SE));
    return bytes;
}

TelnetNegotiator::Output TelnetNegotiator::feed(const QByteArray& bytes)
{
    Output out;
    for (const char c : bytes) {
        const auto b = static_cast<quint8>(c);
        switch (m_state) {
        case State::Data:
            if (b == IAC)
                m_state = State::Command;
            else
                out.text.append(c);
            break;
        case State::Command:
            m_state = State::Data;
            if (b == IAC) {
                out.text.append(c);
            } else if (b == SB) {
                m_state = State::SubOption;
            } else if (b >= WILL) {
                m_command = b;
                m_state = State::Option;
            }
            break; // SE, and any other command, needs nothing
        case State::Option:
            out.replies.append(answerTo(m_command, b));
            m_state = State::Data;
            break;
        case State::SubOption:
            if (b == TerminalType)
                out.replies.append(terminalTypeReply());
            m_state = State::SubData;
            break;
        case State::SubData:
            if (b == IAC)
                m_state = State::SubDataIac;
            break;
        case State::SubDataIac:
            if (b == IAC) {
                m_state = State::SubData; // an escaped 255 inside the subnegotiation
            } else if (b == SE) {
                m_state = State::Data;
            } else {
                // A command without the closing SE: the subnegotiation ended; read it as a command.
                m_state = State::Command;
                const Output rest = feed(QByteArray(1, c));
                out.text += rest.text;
                out.replies += rest.replies;
            }
            break;
        }
    }
    return out;
}

QString bannerText(const QByteArray& data)
{
    QString text = QString::fromLatin1(data);
    text.remove(QLatin1Char('\0'));
    text.remove(QStringLiteral("Username :"));
    text.remove(QStringLiteral("Login :"));
    text.remove(QStringLiteral("Password :"));
    return text;
}

} // namespace tarvo
