#include "archive/WriteMode.h"

#include "Exceptions.h"

#include <QDir>
#include <QLibrary>

#include <ibase.h>

namespace payroll {

namespace {

struct Client {
    decltype(&isc_attach_database) attach = nullptr;
    decltype(&isc_detach_database) detach = nullptr;
    decltype(&fb_interpret) interpret = nullptr;
    QString error;

    static Client &instance()
    {
        static Client client;
        return client;
    }

private:
    Client()
    {
        static QLibrary lib;
        for (int version : {2, -1}) {
            lib.setFileNameAndVersion(QStringLiteral("fbclient"), version);
            if (lib.load())
                break;
        }
        if (!lib.isLoaded()) {
            error = lib.errorString();
            return;
        }
        attach = reinterpret_cast<decltype(attach)>(lib.resolve("isc_attach_database"));
        detach = reinterpret_cast<decltype(detach)>(lib.resolve("isc_detach_database"));
        interpret = reinterpret_cast<decltype(interpret)>(lib.resolve("fb_interpret"));
        if (!attach || !detach || !interpret)
            error = QStringLiteral("funzioni mancanti nella libreria fbclient");
    }
};

QString statusText(Client &c, const ISC_STATUS *status)
{
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS *p = status;
    while (c.interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromLocal8Bit(buffer);
    return lines.join(QLatin1Char('\n'));
}

void appendText(QByteArray &dpb, char tag, const QString &text)
{
    const QByteArray bytes = text.toUtf8().left(255);
    dpb.append(tag);
    dpb.append(char(bytes.size()));
    dpb.append(bytes);
}

} // namespace

void setForcedWrites(const platform::ConnectionSettings &settings, bool on)
{
    Client &c = Client::instance();
    const QString name = settings.isRemote() ? settings.database : QDir::toNativeSeparators(settings.database);
    if (!c.error.isEmpty())
        throw platform::EDatabaseError(
            QStringLiteral("Impossibile impostare la scrittura del database \"%1\": libreria client di Firebird non "
                           "disponibile (%2).")
                .arg(name, c.error));
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    appendText(dpb, char(isc_dpb_user_name), settings.user);
    if (!settings.password.isEmpty())
        appendText(dpb, char(isc_dpb_password), settings.password);
    dpb.append(char(isc_dpb_force_write));
    dpb.append(char(1));
    dpb.append(char(on ? 1 : 0));

    const QByteArray path = settings.database.toUtf8();
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    c.attach(status, short(path.size()), path.constData(), &db, short(dpb.size()), dpb.constData());
    if (status[0] == 1 && status[1])
        throw platform::EDatabaseError(QStringLiteral("Impossibile impostare la scrittura del database \"%1\":\n%2")
                                           .arg(name, statusText(c, status)));
    c.detach(status, &db);
    if (status[0] == 1 && status[1])
        throw platform::EDatabaseError(QStringLiteral("Impossibile chiudere il database \"%1\":\n%2")
                                           .arg(name, statusText(c, status)));
}

} // namespace payroll
