#pragma once
// The parameter manager's value dialog: our stand-in for the framework's
// parameter view, for one parameter whose value is chosen from a list
// (the employer group before an import). The list is a drop-down of (text,
// id) items; OK asks the manager's check-value handler, with the drop-down
// as the editor, and keeps the dialog open when the handler refuses.
//
//     const qint64 id = TfmUqParamValue::Execute(manager, "UQUP_DwgId",
//         "Datore di lavoro", "Datore di lavoro:", items, current);  // 0: cancelled
#include "UqDialog.h"

#include "Enumeration.h"

#include <QString>

class QComboBox;
class QLabel;
class TUqParamManager;

class TfmUqParamValue : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmUqParamValue(QWidget *parent = nullptr);

    QLabel *laParametro;
    QComboBox *cbValore;

    // The parameter, its label and the items; the item of `attuale` is
    // chosen (the first when none has it).
    void Imposta(TUqParamManager *manager, const QString &parametro, const QString &etichetta,
                 const platform::EnumItems &voci, qint64 attuale);
    // The id of the item chosen (0 when none).
    qint64 Valore() const;

    // Runs the dialog; the id chosen, 0 when cancelled. The manager's value
    // is not changed here: the caller sets it.
    static qint64 Execute(TUqParamManager &manager, const QString &parametro, const QString &titolo,
                          const QString &etichetta, const platform::EnumItems &voci, qint64 attuale);

protected:
    bool CanClose(int result) override;

private:
    TUqParamManager *m_manager = nullptr;
    QString m_parametro;
};
