#include "TovCReport.h"

#include "DataSetFile.h"
#include "Format.h"
#include "SqlQuery.h"
#include "tovCQueryText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using platform::Value;

TTovReport::TTovReport() : platform::DataSet(QStringLiteral("TovReport")) {}

QString TTovReport::ReportFileName()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../etc/wun/wun_Report.xml"));
}

void TTovReport::ImportReports(platform::SqlQuery &query, const QString &fileName, bool flag)
{
    TTovReport report;
    report.Import(query, fileName, flag);
}

void TTovReport::Import(platform::SqlQuery &query, const QString &fileName, bool flag)
{
    if (!QFileInfo::exists(fileName))
        return;
    platform::DataSetFile::loadFromFile(*this, fileName);
    struct CloseAtEnd {
        DataSet &set;
        ~CloseAtEnd() { set.close(); }
    } closeAtEnd{*this};

    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_YRPT"), query, 0, QStringLiteral("EXECUTE"));
    query.setSql(platform::format(query.sql(), platform::ValueList{Value(flag ? QStringLiteral("=") : QString())}));
    first();
    while (!eof()) {
        WriteReport(query);
        next();
    }
}

void TTovReport::WriteReport(platform::SqlQuery &query)
{
    auto assign = [&](const QString &name) {
        platform::Param &param = query.paramByName(name);
        const platform::Field &field = fieldByName(name);
        param.setDataType(field.dataType());
        param.setValue(field.value());
    };
    assign(QStringLiteral("IYRFOID"));
    query.paramByName(QStringLiteral("SYRPTDESC")).setAsString(fieldByName(QStringLiteral("SYRPTDESC")).asString());
    query.paramByName(QStringLiteral("IYRPTVERSION"))
        .setAsInteger(fieldByName(QStringLiteral("IYRPTVERSION")).asInteger());
    query.paramByName(QStringLiteral("SYRPTNOTE")).setAsString(fieldByName(QStringLiteral("SYRPTNOTE")).asString());
    assign(QStringLiteral("BYRPTREPORT"));
    assign(QStringLiteral("BYRPTVAR"));
    query.paramByName(QStringLiteral("IYRPTID")).setAsInteger(fieldByName(QStringLiteral("IYRPTID")).asInteger());
    query.execSQL();
}
