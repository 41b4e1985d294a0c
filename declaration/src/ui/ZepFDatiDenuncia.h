#pragma once
// The base of the MDI windows of the declaration tables: the base data
// window holding one frame of a declaration table. When first shown it loads
// the whole table of the working period into the frame's dataset (FormShow);
// when it closes, after the base window's save-or-cancel of pending edits
// and a last save of rows a failed save left unsaved, it closes the dataset
// (FormClose). Its post-all opens the frame's post
// guard around the base's, and closes it whatever happens.
#include "UqFChildDBDA.h"

#include "ZepCTabellaDenuncia.h"

#include <memory>

class TfrZepDatiDenuncia;

class TfmZepDatiDenuncia : public TfmUqChildDBDA {
    Q_OBJECT
public:
    // The table `tabella` of the store of the owner's main window;
    // `annuale`: kept under month 0 of the store's year.
    TfmZepDatiDenuncia(QWidget *owner, const QString &tabella, bool annuale = false);
    ~TfmZepDatiDenuncia() override;

    TZepTabellaDenuncia &Tabella() { return *m_tabella; }
    TfrZepDatiDenuncia *Frame() const { return m_frame; }

    void PostData() override;

protected:
    // The subclass's constructor places its frame.
    void SetFrame(TfrZepDatiDenuncia *frame);
    // Loads the table and prepares the frame; a subclass sets its index and
    // position after calling it.
    void FormShow() override;
    // Saves what a failed save left unsaved; false keeps the window open.
    bool FormCloseQuery() override;
    void FormClose() override;

private:
    std::unique_ptr<TZepTabellaDenuncia> m_tabella;
    TfrZepDatiDenuncia *m_frame = nullptr;
};
