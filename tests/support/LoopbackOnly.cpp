// Linked into every test executable: the network guard is on from the first line of main(), however
// the test is started (by CTest, which sets the variable too, or by hand). The sample data uses 10.x
// addresses; a test must never reach them.

#include <QByteArray>
#include <QtGlobal>

namespace {
const bool loopbackOnly = [] {
    qputenv("TARVO_LOOPBACK_ONLY", QByteArrayLiteral("1"));
    return true;
}();
} // namespace
