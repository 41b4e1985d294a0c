#include "ZepCDma.h"

#include "ZepCTabellaDenuncia.h"
#include "ZepUDmaUtil.h"
#include "ZepUUtil.h"

#include "TovUCdsUtil.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "ZepULayoutNomi.h"

using platform::DataSet;
using platform::FieldType;

const QString TZepDma::TabellaD0 = layouts::TD0_ANAG::Tabella;
const QString TZepDma::TabellaE0 = layouts::TE0_RETR::Tabella;
const QString TZepDma::TabellaV1 = layouts::TV1_RETR::Tabella;
const QString TZepDma::TabellaE1 = layouts::TE1_FONDIPENSIONE::Tabella;
const QString TZepDma::TabellaEvE0 = layouts::TEV_ENTEVERSANTEE0::Tabella;
const QString TZepDma::TabellaEvV1 = layouts::TEV_ENTEVERSANTEV1::Tabella;

const QString TZepDma::CampoIscritto = layouts::TD0_ANAG::IAFIID;
const QString TZepDma::CampoOrdine = layouts::TE0_RETR::ORDINE;
const QString TZepDma::CampoStato = layouts::TD0_ANAG::ISTATO;
const QString TZepDma::CampoCodiceFiscale = layouts::TD0_ANAG::CF_D0001001_CODFIS;
const QString TZepDma::CampoCognome = layouts::TD0_ANAG::AN_D0001002_COGNOME;
const QString TZepDma::CampoNome = layouts::TD0_ANAG::AN_D0001003_NOME;
const QString TZepDma::CampoContratto = QStringLiteral("Contratto");
const QString TZepDma::IndiceIscritti = QStringLiteral("AN_D0001002_COGNOME;AN_D0001003_NOME");

const QString TZepDma::MsgSenzaAnagrafica = QStringLiteral("Impossibile salvare il quadro %s senza i dati anagrafici.");
const QString TZepDma::MsgTuttiICampi = QStringLiteral("Tutti i campi devono essere impostati.");
const QString TZepDma::MsgAnnoMeseErogazione = QStringLiteral(
    "Anno e mese di erogazione non impostato correttamente (AAAA-MM).");
const QString TZepDma::MsgSalvarePrimaDiCambiarePagina = QStringLiteral("Salvare i dati prima di cambiare pagina.");
const QString TZepDma::MsgCancellaStampato = QStringLiteral(
    "IL MODELLO E' GIA STATO STAMPATO. Confermi la cancellazione?");
const QString TZepDma::MsgCancellaQuadro = QStringLiteral("Confermi la cancellazione del quadro %s ?");
const QString TZepDma::MsgCancellaVersante = QStringLiteral("Confermi la cancellazione del versante ?");
const QString TZepDma::MsgSblocca = QStringLiteral("Il modello è gia stato %s, si desidera modificarlo?");
const QString TZepDma::MsgVersanteSenzaQuadro = QStringLiteral("Salvare il quadro prima di inserire un ente versante.");

namespace {

int g_iscritto = 0;
QString g_codiceFiscale;


bool Decimale(FieldType type)
{
    return type == FieldType::BCD || type == FieldType::Currency || type == FieldType::Float;
}


// Deletes the rows of `filtro` over the whole table, without the table's
// questions (asked once by the caller), leaving filter and order as found.
int CancellaRighe(DataSet &ds, const QString &filtro)
{
    if (!ds.isActive())
        return 0;
    const QString filtroPrima = ds.filter();
    const bool filtrato = ds.filtered();
    const bool soloLettura = ds.isReadOnly();
    const platform::DataSetEvents eventi = ds.events();
    ds.events().beforeDelete = ds.events().afterDelete = nullptr;
    struct Ripristina {
        DataSet &ds;
        const QString &filtro;
        bool filtrato, soloLettura;
        const platform::DataSetEvents &eventi;
        ~Ripristina()
        {
            ds.setFiltered(false);
            ds.setFilter(filtro);
            ds.setFiltered(filtrato);
            ds.setReadOnly(soloLettura);
            ds.events() = eventi;
        }
    } ripristina{ds, filtroPrima, filtrato, soloLettura, eventi};
    ds.setReadOnly(false);
    ds.setFiltered(false);
    ds.setFilter(filtro);
    ds.setFiltered(true);
    int n = 0;
    while (ds.recordCount() > 0) {
        ds.first();
        ds.deleteRecord();
        ++n;
    }
    return n;
}

} // namespace

int TZepDma::IscrittoCorrente()
{
    return g_iscritto;
}

QString TZepDma::CodiceFiscaleCorrente()
{
    return g_codiceFiscale;
}

void TZepDma::SetIscrittoCorrente(int iafiid, const QString &codiceFiscale)
{
    g_iscritto = iafiid;
    g_codiceFiscale = iafiid != 0 ? codiceFiscale : QString();
}

// ---- D0 ----

void TZepDma::NuovoIscritto(DataSet &d0)
{
    for (const QString &campo : {layouts::TD0_ANAG::CB_D0001010_VARRES, layouts::TD0_ANAG::CB_D0001016_SATFRFONDI,
                                 layouts::TD0_ANAG::CB_D0001018_FONDI})
        d0.fieldByName(campo).setAsString(QStringLiteral("0"));
}

void TZepDma::ControllaIscritto(DataSet &d0)
{
    const bool nuovo = d0.state() == platform::DataSetState::Insert;
    if (nuovo && d0.fieldByName(CampoCodiceFiscale).asString().trimmed().isEmpty())
        throw EUqError(QStringLiteral("Codice fiscale obbligatorio"));
    // The code and the texts as the file step will check them: a row it
    // would refuse is refused here, naming the field.
    TZepTabellaDenuncia::ControllaRiga(d0, {CampoCodiceFiscale});
    if (!nuovo)
        return;
    d0.fieldByName(layouts::TD0_ANAG::SD0ANNOFIN).setAsString(AnnoDenuncia);
    d0.fieldByName(layouts::TD0_ANAG::SD0AMESE).setAsString(MeseDenuncia);
}

int TZepDma::Blocco(const DataSet &d0)
{
    if (!d0.isActive() || d0.isEmpty())
        return 0;
    return d0.fieldByName(CampoStato).asInteger();
}

QString TZepDma::DomandaCancellazione(const DataSet &d0)
{
    return Blocco(d0) > 0 ? MsgCancellaStampato : QStringLiteral("Confermi la cancellazione del modello corrente?");
}

QString TZepDma::DomandaSblocco(int blocco)
{
    return platform::format(MsgSblocca, blocco == 1 ? QStringLiteral("stampato") : QStringLiteral("inviato"));
}

QString TZepDma::FiltroIscritto(int iafiid)
{
    return QStringLiteral("IAFIID=%1").arg(iafiid);
}

QList<int> TZepDma::CancellaRigheIscritto(int iafiid, const QList<DataSet *> &tabelle)
{
    QList<int> cancellate;
    for (DataSet *ds : tabelle)
        cancellate << (ds && iafiid != 0 ? CancellaRighe(*ds, FiltroIscritto(iafiid)) : 0);
    return cancellate;
}

// ---- sections ----

void TZepDma::PreparaQuadro(DataSet &quadro, const QString &sezione)
{
    if ((sezione == TDmaUtil::QuadroE0 || sezione == TDmaUtil::QuadroV1) && !quadro.findField(CampoContratto)) {
        // A computed field needs the definitions: load the rows again with it.
        struct Props {
            QString label, displayFormat, editFormat;
            bool visible, readOnly;
        };
        QList<Props> props;
        for (const auto &f : quadro.fields())
            props.append({f->displayLabel(), f->displayFormat(), f->editFormat(), f->isVisible(), f->isReadOnly()});
        platform::FieldDefs defs;
        for (const auto &f : quadro.fields())
            defs << f->def();
        platform::FieldDef contratto;
        contratto.name = CampoContratto;
        contratto.size = 4;
        contratto.kind = platform::FieldKind::Calculated;
        defs << contratto;
        const QList<platform::ValueList> righe = quadro.records();
        const QString settore = TDmaUtil::NomeCampo(layouts::TE0_RETR::AN_E0XXX007_COMPARTO, sezione);
        const QString sottoSettore = TDmaUtil::NomeCampo(layouts::TE0_RETR::AN_E0XXX008_SOTTOCOM, sezione);
        quadro.events().onCalcFields = [settore, sottoSettore](DataSet &ds) {
            ds.fieldByName(CampoContratto)
                .setAsString(ds.fieldByName(settore).asString() + ds.fieldByName(sottoSettore).asString());
        };
        quadro.loadRecords(defs, righe);
        for (int i = 0; i < props.size(); ++i) {
            platform::Field *f = quadro.field(i);
            f->setDisplayLabel(props[i].label);
            f->setDisplayFormat(props[i].displayFormat);
            f->setEditFormat(props[i].editFormat);
            f->setVisible(props[i].visible);
            f->setReadOnly(props[i].readOnly);
        }
    }
    for (const auto &f : quadro.fields())
        if (Decimale(f->dataType())) {
            f->setEditFormat(QStringLiteral("#.00"));
            f->setDisplayFormat(QStringLiteral("#,##0.00"));
        }
}

void TZepDma::ImpostaContratto(DataSet &quadro, const QString &sezione, const QString &contratto)
{
    quadro.fieldByName(TDmaUtil::NomeCampo(layouts::TE0_RETR::AN_E0XXX007_COMPARTO, sezione))
        .setAsString(contratto.mid(0, 2));
    quadro.fieldByName(TDmaUtil::NomeCampo(layouts::TE0_RETR::AN_E0XXX008_SOTTOCOM, sezione))
        .setAsString(contratto.mid(2, 2));
}

int TZepDma::ProssimoOrdine(const DataSet &quadro)
{
    return TTovCds::NextKey(quadro, CampoOrdine);
}

void TZepDma::ControllaQuadro(DataSet &quadro, const QString &sezione, int ordine)
{
    if (sezione != TDmaUtil::QuadroE1)
        TDmaUtil::ImpostaCodiciGestione(sezione, quadro);
    if (IscrittoCorrente() == 0)
        throw EUqError(platform::format(MsgSenzaAnagrafica, sezione));
    if (quadro.state() != platform::DataSetState::Insert)
        return;
    quadro.fieldByName(CampoIscritto).setAsInteger(IscrittoCorrente());
    quadro.fieldByName(TDmaUtil::CampoSezione(sezione, QStringLiteral("ANNOFIN"))).setAsString(AnnoDenuncia);
    quadro.fieldByName(TDmaUtil::CampoSezione(sezione, QStringLiteral("AMESE"))).setAsString(MeseDenuncia);
    quadro.fieldByName(TDmaUtil::CampoSezione(sezione, QStringLiteral("CODFIS"))).setAsString(CodiceFiscaleCorrente());
    if (sezione != TDmaUtil::QuadroE1)
        quadro.fieldByName(CampoOrdine).setAsInteger(ordine);
}

void TZepDma::NuovoE1(DataSet &e1)
{
    e1.fieldByName(layouts::TE1_FONDIPENSIONE::NP_E1XXX001_COD_FONDO).setAsString(QStringLiteral("2145"));
    e1.fieldByName(layouts::TE1_FONDIPENSIONE::CB_E1XXX013_CONGUAGLIO_FISCALE).setAsString(QStringLiteral("0"));
    e1.fieldByName(layouts::TE1_FONDIPENSIONE::ContribVersNonDich).setAsString(QStringLiteral("0"));
}

bool TZepDma::MotivoUtilizzoAttivo(const QString &causale)
{
    return causale == QStringLiteral("7");
}

// ---- paying entities ----

QString TZepDma::FiltroVersanti(int iafiid, int ordine)
{
    return QStringLiteral("IAFIID=%1 AND ORDINE=%2").arg(iafiid).arg(ordine);
}

void TZepDma::ControllaNuovoVersante(int ordine)
{
    if (ordine < 1)
        throw EUqError(MsgVersanteSenzaQuadro);
}

void TZepDma::ControllaVersante(DataSet &versanti, bool v1, int ordine)
{
    if (versanti.state() == platform::DataSetState::Insert) {
        ControllaNuovoVersante(ordine);
        if (IscrittoCorrente() == 0)
            throw EUqError(platform::format(MsgSenzaAnagrafica, v1 ? TDmaUtil::QuadroV1 : TDmaUtil::QuadroE0));
        versanti.fieldByName(CampoIscritto).setAsInteger(IscrittoCorrente());
        versanti.fieldByName(layouts::TEV_ENTEVERSANTEE0::SEVANNOFIN).setAsString(AnnoDenuncia);
        versanti.fieldByName(layouts::TEV_ENTEVERSANTEE0::SEVMESE).setAsString(MeseDenuncia);
        versanti.fieldByName(layouts::TEV_ENTEVERSANTEE0::SEVCODFIS).setAsString(CodiceFiscaleCorrente());
        versanti.fieldByName(CampoOrdine).setAsInteger(ordine);
    }
    bool numero = false;
    const int tipo =
        versanti.fieldByName(layouts::TEV_ENTEVERSANTEE0::TipoContributo).asString().trimmed().toInt(&numero);
    if (!numero || tipo == 0 || versanti.fieldByName(layouts::TEV_ENTEVERSANTEE0::CFAzienda).asString().isEmpty()
        || versanti.fieldByName(layouts::TEV_ENTEVERSANTEE0::Imponibile).asCurrency().raw() == 0
        || versanti.fieldByName(layouts::TEV_ENTEVERSANTEE0::Contributo).asCurrency().raw() == 0
        || (v1 && versanti.fieldByName(layouts::TEV_ENTEVERSANTEV1::Aliquota).asString().isEmpty()))
        throw EUqError(MsgTuttiICampi);
    if (v1) {
        const QString mese = versanti.fieldByName(layouts::TEV_ENTEVERSANTEV1::AnnoMeseErogazione).asString();
        if (!mese.isEmpty() && !PeriodoValido(mese))
            throw EUqError(MsgAnnoMeseErogazione);
    }
}

QString TZepDma::AnnoMeseErogazionePredefinito(const QDate &inizioV1)
{
    const QDate data = inizioV1.isValid() ? inizioV1.addMonths(-1) : DataGiornoMeseDenuncia(1).addMonths(-2);
    return data.toString(QStringLiteral("yyyy-MM"));
}

int TZepDma::CancellaVersanti(DataSet &versanti, int iafiid, int ordine)
{
    return ordine < 1 ? 0 : CancellaRighe(versanti, FiltroVersanti(iafiid, ordine));
}
