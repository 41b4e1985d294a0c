#pragma once
// Where a declaration file's writer puts its log lines (the file window's
// memo); shared by the UniEmens and the E-Mens writers.
#include <QString>

class IZepLogFile {
public:
    virtual ~IZepLogFile();
    virtual void Log(const QString &riga) = 0;
};
