#pragma once
// The check-result dialog: checks the fields of one or more datasets for
// missing mandatory values and further rules, lists the findings as lines
// of text and shows them as information or with the question whether to go
// on. The list can be opened in the desktop's text editor.
//
// The checking lives in TTovInfoChecker, which needs no window; the dialog
// puts it on screen. A program derives its own dialog, supplying the field
// labels (LoadFieldLabels) and extra rules (CheckField).
#include "TovCInfoChecker.h"
#include "UqDialog.h"

#include <QList>
#include <QString>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TfmTovInfo : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmTovInfo(QWidget *parent = nullptr);
    ~TfmTovInfo() override;

    QPlainTextEdit *meInfo;
    QLabel *laInfo;            // "Si desidera proseguire?"
    QPushButton *buYes;        // "Si"
    QPushButton *buBloccoNote; // "Blocco note"

    void Clear();
    void SetSectionTitle(const QString &text);
    void AddMessage(const QString &text);
    bool CheckDataSets(const QList<platform::DataSet *> &sets);
    // 0 (nothing shown) when there are no lines, else the dialog's result.
    // With `ask` the question and "Si" are shown and OK becomes "No".
    int ShowInfo(bool ask);
    // Clear, check, ask: true to go on (nothing found, or "Si").
    bool CheckAndAsk(const QList<platform::DataSet *> &sets);
    QString FieldLabel(const QString &fieldName) const;
    void SetFieldLabels(const QStringList &labels);
    const QStringList &Messages() const { return m_checker.Messages(); }

    // Writes the lines into a new uniquely named ".txt" file of the
    // temporary folder and opens it with the desktop; returns its path.
    QString WriteNotepadFile() const;

protected:
    // Fills the field labels; called once, by Init() (base: nothing).
    virtual void LoadFieldLabels() {}
    // A message for the field of `dataSet`, empty when it is fine (base:
    // always empty).
    virtual QString CheckField(const QString &fieldName, platform::DataSet &dataSet);
    // Runs LoadFieldLabels; a subclass constructor calls it once its own
    // members are ready (virtual calls do not reach a subclass from the
    // base constructor).
    void Init();

private:
    void buBloccoNoteClick();
    TTovInfoChecker m_checker;
};
