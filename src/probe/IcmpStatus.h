#pragma once

#include <QString>

namespace tarvo {

// The status codes that the program gives to the outcomes of an echo request. They keep the numbering
// of the classic ICMP echo service, whose texts the program shows.
namespace IcmpStatus {
inline constexpr int Success = 0;
inline constexpr int StatusBase = 11000;
inline constexpr int BufferTooSmall = 11001;
inline constexpr int DestinationNetUnreachable = 11002;
inline constexpr int DestinationHostUnreachable = 11003;
inline constexpr int DestinationProtocolUnreachable = 11004;
inline constexpr int DestinationPortUnreachable = 11005;
inline constexpr int NoResources = 11006;
inline constexpr int BadOption = 11007;
inline constexpr int HardwareError = 11008;
inline constexpr int PacketTooBig = 11009;
inline constexpr int RequestTimedOut = 11010;
inline constexpr int BadRequest = 11011;
inline constexpr int BadRoute = 11012;
inline constexpr int TtlExpiredTransit = 11013;
inline constexpr int TtlExpiredReassembly = 11014;
inline constexpr int ParameterProblem = 11015;
inline constexpr int SourceQuench = 11016;
inline constexpr int OptionTooBig = 11017;
inline constexpr int BadDestination = 11018;
inline constexpr int GeneralFailure = 11050;
} // namespace IcmpStatus

// The text of a status code; "Unindentified" for a code that has none.
QString IcmpStatusText(int status);

// The status of an ICMP error message (type and code) that answers an echo request; -1 when the message
// is no error for an echo request (an echo reply, a redirect, ...).
int statusOfIcmpError(int type, int code);

// The status of a socket error (errno) met while sending or reported by the kernel for the request.
int statusOfSocketError(int error);

// The failure sentence of an echo: "Faild to ping : ''" + target + "'' error code : " + text when no
// answer came in time, "... error description : " + text for every other status.
QString pingFailureMessage(const QString& targetText, int status);

// The beginning of every failure sentence for a target: "Faild to ping : ''" + target + "''".
QString pingFailurePrefix(const QString& targetText);

} // namespace tarvo
