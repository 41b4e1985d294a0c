#include "UqLink.h"

#include "Exceptions.h"
#include "Paths.h"
#include "Services.h"
#include "UqMessages.h"
#include "UqParams.h"

#include <QDir>
#include <QFileInfo>

TUqLink::TUqLink(QObject *parent, AreaType area) : QObject(parent), m_area(area) {}

QString TUqLink::FileName() const
{
    if (!m_fileName.isEmpty())
        return m_fileName;
    // Found as the installation's other files are: an installation whose
    // user folder is spelled "USR" keeps the area there, and saving it makes
    // no second "usr" beside it (from which the others would then be read).
    return platform::findPath(platform::Services::instance().mainFolder(),
                              m_area == AreaType::Personal ? QStringLiteral("usr/wun/UqParametriPersonali.ini")
                                                           : QStringLiteral("etc/wun/UqParametri.ini"));
}

void TUqLink::SetParamManager(TUqParamManager *manager)
{
    if (m_changed)
        disconnect(m_changed);
    m_manager = manager;
    if (!manager)
        return;
    m_loading = true;
    try {
        manager->LoadFromFile(FileName());
    } catch (...) {
        m_loading = false;
        throw;
    }
    m_loading = false;
    m_changed = connect(manager, &TUqParamManager::ParamChanged, this, [this] {
        if (m_loading)
            return;
        try {
            Save();
        } catch (const std::exception &e) {
            // Raised from here it would cross the signal; the user is told.
            UqShowException(e);
        }
    });
}

void TUqLink::Save() const
{
    if (!m_manager)
        return;
    const QString file = FileName();
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        throw EUqError(QStringLiteral("Impossibile creare la cartella %1").arg(QDir::toNativeSeparators(folder)));
    m_manager->SaveToFile(file);
}
