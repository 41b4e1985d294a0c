#pragma once
// The MDI window "DMA Dati iscritto": the public-sector declaration of
// each enrolled person of the working month, the person's row (TD0_ANAG)
// in the person frame with the sections E0, E1 and V1 and their paying
// entities on its pages. Opened by the command "Iscritti (ex DMA)" by its
// class name, one instance at a time.
#include "UqFChildDBDA.h"

#include "ZepCTabellaDenuncia.h"

#include <memory>
#include <vector>

class TfrQuvIscritto;
class TfrZepDatiDenuncia;

class TfmZepDmaIscritto : public TfmUqChildDBDA {
    Q_OBJECT
public:
    explicit TfmZepDmaIscritto(QWidget *owner = nullptr);
    ~TfmZepDmaIscritto() override;

    TfrQuvIscritto *frIscritto;

    // Registers the class by name ("TfmZepDmaIscritto"); UnregisterClass undoes it.
    static void RegisterClass();
    static void UnregisterClass();

    // Posts every pending edit of the six frames, their post guards open.
    void PostData() override;

protected:
    // Loads the six tables of the working period, shows the current
    // person's sections and prepares the frames.
    void FormShow() override;
    // Saves what a failed save left unsaved, frame by frame; false keeps the
    // window open.
    bool FormCloseQuery() override;
    void FormClose() override;

private:
    // Each frame with its table: person, E0, E1, V1, then the paying
    // entities of E0 and V1.
    QList<TfrZepDatiDenuncia *> Frames() const;
    std::vector<std::unique_ptr<TZepTabellaDenuncia>> m_tabelle;
};
