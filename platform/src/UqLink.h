#pragma once
// The framework's link component: keeps the values of a parameter manager
// in an area of their own, so that a choice made in one run (the employer
// group, the financial year) is there in the next.
//
// Binding a manager (SetParamManager, again after a rebind) loads the
// area's values into it, those the area lacks staying as they are; from
// then on every change of the manager is written back to the area at once.
// The areas are files of the installation: "personal" is
// <main folder>/usr/wun/UqParametriPersonali.ini, "shared"
// <main folder>/etc/wun/UqParametri.ini (the parameter manager's file form),
// each folder found whatever the case of its letters (platform::findPath),
// for reading and writing alike.
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>

#include "UqParams.h"

class TUqLink : public QObject {
    Q_OBJECT
public:
    enum class AreaType { Personal, Shared };

    explicit TUqLink(QObject *parent = nullptr, AreaType area = AreaType::Personal);

    AreaType Area() const { return m_area; }
    // The area's file; SetFileName puts it elsewhere (tests).
    QString FileName() const;
    void SetFileName(const QString &fileName) { m_fileName = fileName; }

    // Binds the manager (nullptr unbinds): loads the area into it and
    // follows its changes. A file that cannot be read raises EUqError
    // naming it; a change that cannot be written is shown to the user.
    void SetParamManager(TUqParamManager *manager);
    TUqParamManager *ParamManager() const { return m_manager; }

    // Writes the manager's values to the area now (EUqError when it cannot).
    void Save() const;

private:
    AreaType m_area;
    QString m_fileName;
    QPointer<TUqParamManager> m_manager;
    QMetaObject::Connection m_changed;
    bool m_loading = false;
};
