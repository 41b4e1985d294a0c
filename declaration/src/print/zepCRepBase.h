#pragma once
// The rules of the print dialogs "Scelta dipendenti" and "Scelta
// collaboratori" (zepFRepBase.h), without any display: the rows of a
// declaration table for every month of the working year, the choice list of
// one row per person, the persons to print (those chosen, or every one) and
// the print of their rows, all months or one ("Mese:"); a person without
// rows in the chosen month is left out of it.
//
// A person's rows are found by comparing fields (RigaDellaPersona), never by
// a filter text built from the data, so that any character of a name or a
// code is just data.
//
// The earlier programs print the same lists of their E-Mens rows: the
// employee's rows show the pay variations of earlier months where the
// current program's show the contribution, and the amounts and totals are
// in whole euros, as the E-Mens file declares them.
#include "DataSet.h"
#include "ZepUMainState.h"
#include "zepCStampa.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class ITovDBCds;

class TzepRepBase {
public:
    // "Tutti", "Gennaio" ... "Dicembre": the choices of "Mese:".
    static const QStringList &MesiFiltro();

    virtual ~TzepRepBase();

    // The settings of each dialog.
    const QString Tabella;            // "TEMD_DIPENDENTI"
    const QString CampoCodiceFiscale; // "CFLavoratore"
    const QString Titolo;             // the print's title
    const TZepDenuncia Denuncia;      // the program's declaration

    // Loads the details (the table of every month of the store's year,
    // ordered by AnnoMeseDenuncia) and builds the choice list.
    virtual void Carica();
    // Whether the current detail row's person is in the choice list already:
    // one with the same key (Chiave).
    bool GiaElencato() const;
    // Whether the current detail row belongs to the current row of the
    // persons to print.
    virtual bool RigaDellaPersona();
    // Whether the current detail row is of the chosen month (always, with
    // "Tutti").
    bool RigaDelMese() const;

    // The persons to print: the chosen rows of the choice list, every row
    // when none is chosen.
    void Scegli(const QList<platform::Bookmark> &scelti);
    // Loads the declarant of the year and builds the print of the persons to
    // print.
    TZepStampa Stampa();

    // 0: "Tutti"; 1 to 12 a month of the working year.
    int Mese = 0;

    platform::DataSet cdsDettagli;
    platform::DataSet cdsScelta;
    platform::DataSet cdsDaStampare;
    platform::DataSet cdsDichiarante;

protected:
    // The person of the current detail row, as each dialog tells persons
    // apart.
    virtual QString Chiave() const = 0;
    TzepRepBase(ITovDBCds &store, TZepDenuncia denuncia, const QString &tabella, const QString &campoCodiceFiscale,
                const QString &titolo);

    // The block of the current person to print: a table of its rows
    // `righe` (RighePersona), with their totals.
    virtual TZepStampaBlocco Persona(const QList<platform::Bookmark> &righe) = 0;
    // The block of every person with rows of the chosen months, in the
    // print's order.
    virtual void Blocchi(TZepStampa &stampa);
    // The details' rows of the current person to print and month.
    QList<platform::Bookmark> RighePersona();
    // "COGNOME NOME - CODICE FISCALE" of the current person to print.
    QString TitoloPersona() const;
    QString Testo(const QString &campo) const;
    // An amount of the current detail row as the program's declaration
    // declares it (ZepImportoDichiarato); zero without the field.
    platform::Currency ImportoDichiarato(const QString &campo) const;

    ITovDBCds &m_store;

private:
    QSet<QString> m_elencati;
};

// "Scelta dipendenti": a person is one fiscal code under one INPS company
// number; the print groups the persons by company number, in the order the
// numbers first appear in the details.
class TzepRepDip : public TzepRepBase {
public:
    TzepRepDip(ITovDBCds &store, TZepDenuncia denuncia);

    void Carica() override;
    bool RigaDellaPersona() override;

    // The distinct company numbers of the details.
    platform::DataSet cdsMatricole;

protected:
    QString Chiave() const override;
    TZepStampaBlocco Persona(const QList<platform::Bookmark> &righe) override;
    void Blocchi(TZepStampa &stampa) override;
};

// "Scelta collaboratori": a person is one fiscal code.
class TzepRepColl : public TzepRepBase {
public:
    TzepRepColl(ITovDBCds &store, TZepDenuncia denuncia);

protected:
    QString Chiave() const override;
    TZepStampaBlocco Persona(const QList<platform::Bookmark> &righe) override;
};
