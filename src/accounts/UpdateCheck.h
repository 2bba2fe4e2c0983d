#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QHostAddress;
class QWidget;

namespace tarvo {

class AppContext;
class Downloader;
class MainWindowAccess;
class Pinger;
struct AccountsNetwork;

// What the update information offers the running version.
enum class UpdateOffer
{
    None,        // the running version is not below the version the update brings
    Update,      // an update applies to the running version
    MajorUpdate, // the running version is too old for the update: the whole program must be installed
};

// The versions of the update information: the oldest version the update applies to and the version it
// brings.
struct UpdateVersions
{
    QString from;
    QString to;
};

// Compares version texts character by character, as the fixed widths of minor number and revision
// allow.
UpdateOffer compareVersions(const QString& running, const UpdateVersions& versions);

// Reads the first item of the update information ("1.29.0500 -> 1.30.0522": up to the first comma or
// line end, leading blanks skipped, a quoted item without its quotes); nothing when it holds no " -> ".
std::optional<UpdateVersions> parseUpdateInformation(const QByteArray& contents);

// The host of the update address: its third "/"-separated part, without user information and port;
// empty when the address has no such part.
QString updateHostOf(const QString& updateUrl);

// The name of the update-information file, in the update folder and in the program folder.
inline const QString UpdateInformationFile = QStringLiteral("TarvoWebPatch");

// Checks for a newer version after a sign-in, without blocking the user interface: pings the host of
// Web/UpdateURL once (32 random bytes, 500 ms), downloads the update information into the program folder,
// compares versions, tells the user about an update and makes the main window's update command
// available when the update applies. The downloaded file is deleted after every check. An unreachable
// host or unreadable information ends the check silently.
class UpdateCheck : public QObject
{
    Q_OBJECT
public:
    UpdateCheck(const AppContext& context, const AccountsNetwork& network, MainWindowAccess& mainWindow,
                QWidget* messageParent, QObject* parent = nullptr);
    ~UpdateCheck() override;

    // The version compared with the update information (the program's own by default).
    void setRunningVersion(const QString& version) { m_runningVersion = version; }

    // Starts the check; finished() follows once, from the event loop.
    void start();

Q_SIGNALS:
    void finished();

private:
    void pingAddress(const QHostAddress& address);
    void download();
    void onDownloaded(bool ok, const QString& filePath);
    void finish();

    const AppContext& m_context;
    Pinger& m_pinger;
    MainWindowAccess& m_mainWindow;
    QPointer<QWidget> m_messageParent;
    Downloader* m_downloader;
    QString m_runningVersion;
    int m_lookupId = -1;
    bool m_running = false;
};

} // namespace tarvo
