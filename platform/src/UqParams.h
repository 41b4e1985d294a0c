#pragma once
// The framework's parameter manager and parameters-module base.
//
// The manager holds the program's current parameter values by name
// ("UQUP_AnfId", "UQUP_DwgId"), each in a group ("UQUC_Params"); names
// compare without regard to case. GetParams gives a parameter's value, Null
// when it is not set. A check-value handler vets a value chosen in an
// editor (the parameter dialog asks CheckValue before it takes it). Values
// can be kept in a file of our own (LoadFromFile/SaveToFile: one INI
// section per group, "name=Kind:text" lines; IniFile.h).
#include "Value.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class TUqParamManager : public QObject {
    Q_OBJECT
public:
    explicit TUqParamManager(QObject *parent = nullptr);

    // The value, or Null when the parameter is not set.
    platform::Value GetParams(const QString &name) const;
    // The value as an integer; `defaultValue` when it is not set.
    int GetParamsInt(const QString &name, int defaultValue = 0) const;
    // Sets the value (Null or Unassigned removes it). The group is kept
    // when not given.
    void SetParams(const QString &name, const platform::Value &value, const QString &group = {});
    bool HasParam(const QString &name) const;
    QString Group(const QString &name) const;
    QStringList ParamNames() const;
    void Clear();

    // "WUN=1.0", "VEK=1.0", "UQ=1.0": the applications whose parameters
    // this manager serves.
    QStringList ApplCodeList;

    // Vets the value an editor holds for a parameter; sets `valid` to false
    // to refuse it.
    using CheckValueHandler = std::function<void(QObject *sender, const QString &param, bool &valid)>;
    CheckValueHandler OnCheckValue;
    // True when there is no handler or the handler accepts.
    bool CheckValue(QObject *sender, const QString &param) const;

    // The program's parameter manager, for code that names none: the one
    // the program's main window holds (the window library's main window
    // gives it here), nullptr when there is none.
    static TUqParamManager *ProgramManager();
    using ProgramManagerSource = std::function<TUqParamManager *()>;
    static void SetProgramManagerSource(ProgramManagerSource source);

    // EUqError naming the file when it cannot be read or written, or when
    // a name or a value could not be read back (a line break, blanks
    // around it). A missing file loads nothing; a save writes the file anew.
    void LoadFromFile(const QString &fileName);
    void SaveToFile(const QString &fileName) const;

signals:
    void ParamChanged(const QString &name);

private:
    struct Entry {
        QString name;
        QString group;
        platform::Value value;
    };
    QMap<QString, Entry> m_params; // key: upper-cased name
};

// The framework's parameters-module base: owns the parameter manager.
class TdmUquParams : public QObject {
    Q_OBJECT
public:
    explicit TdmUquParams(QObject *parent = nullptr);

    TUqParamManager *xpmUquParams;

    // Display switches of the framework's parameter view.
    void SetShowAggregate(bool on) { m_showAggregate = on; }
    void SetOnlyAggregate(bool on) { m_onlyAggregate = on; }
    bool ShowAggregate() const { return m_showAggregate; }
    bool OnlyAggregate() const { return m_onlyAggregate; }

private:
    bool m_showAggregate = false;
    bool m_onlyAggregate = false;
};
