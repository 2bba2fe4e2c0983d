#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tarvo {

// The telnet side of the banner probe (RFC 854, RFC 1091): separates the text a service sends from its
// commands and gives the answers that make it talk. Options 0 (binary), 1 (echo) and 24 (terminal
// type) are accepted: DO is answered WILL, WILL, WONT and DONT are answered DO; for every other option
// DO is answered WONT and the rest DONT. A terminal-type subnegotiation is answered IS "TTY". A
// command cut between two reads is completed by the next read; subnegotiation data is never text.
class TelnetNegotiator
{
public:
    struct Output
    {
        QByteArray text;           // the data bytes of this read (an escaped 255 included)
        QList<QByteArray> replies; // the answers to send, one piece each, in order
    };

    Output feed(const QByteArray& bytes);

    // IAC SB TERMINAL-TYPE IS "TTY" IAC SE.
    static QByteArray terminalTypeReply();

private:
    enum class State
    {
        Data,
        Command,    // after IAC
        Option,     // after IAC WILL/WONT/DO/DONT
        SubOption,  // after IAC SB
        SubData,    // inside a subnegotiation
        SubDataIac, // IAC inside a subnegotiation
    };
    State m_state = State::Data;
    quint8 m_command = 0;
};

// The text that the probe shows for the data of one read: the bytes as characters of the 8-bit code
// page (NUL bytes left out), with every "Username :", then "Login :", then "Password :" removed.
QString bannerText(const QByteArray& data);

} // namespace tarvo
