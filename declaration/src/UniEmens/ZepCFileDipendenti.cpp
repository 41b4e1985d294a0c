// The employees' individual declarations: pay data, days, additional
// causes, family allowance.
#include "ZepCFileInterno.h"

using namespace zepfile;

void TZepFile::ScriviDipendenti(IXMLDenunciaIndividualeList denunce, const QString &matricola)
{
    // The fields are found again at each call: a reload of the table makes
    // new ones.
    m_dip = std::make_unique<CampiDipendente>(cdsDip);
    const CampiDipendente &c = *m_dip;
    for (cdsDip.first(); !cdsDip.eof(); cdsDip.next()) {
        if (c.matricola->asString() != matricola)
            continue;
        const QString qualifica2 = c.qualifica2->asString();
        IniziaPersona(c, QStringLiteral("---- Dipendente "), qualifica2);
        if (c.matricola->asString().isEmpty())
            throw EUqError(MsgMatricolaNonImpostata);

        IXMLDenunciaIndividuale denuncia = denunce.Add();
        ScriviTesta(denuncia, c);
        const int orario = c.orarioContrattuale->asInteger();
        if (orario > 0)
            denuncia.SetOrarioContrattuale(orario);
        const int partTime = c.percPartTime->asInteger();
        if (partTime > 0) {
            denuncia.SetPercPartTime(partTime);
            if (qualifica2 == QStringLiteral("V") || qualifica2 == QStringLiteral("M"))
                denuncia.SetPercPartTimeMese(partTime);
        }
        const int mensilita = c.numMensilita->asInteger();
        if (mensilita > 0)
            denuncia.SetNumMensilita(mensilita);
        ScriviAssunzioneCessazione(denuncia, c);

        IXMLDatiRetributivi dati = denuncia.GetDatiRetributivi().Add();
        const QString tipoLavoratore = c.tipoLavoratore->asString();
        if (tipoLavoratore != QStringLiteral("0"))
            dati.SetTipoLavoratore(tipoLavoratore);
        const QString tipoLavStat = c.tipoLavStat->asString();
        if (!tipoLavStat.isEmpty())
            dati.SetTipoLavStat(tipoLavStat);
        dati.SetImponibile(Importo(c.imponibile->asCurrency()));
        const Currency contributo = c.contributo->asCurrency();
        if (!contributo.isZero())
            dati.SetContributo(Importo(contributo));
        dati.SetRetribTeorica(QString::number(c.retribTeorica->asInteger()));
        for (int i = 0; i < 6; ++i) {
            if (c.tipoCopertura[i]->asString() == QStringLiteral("X")) {
                IXMLSettimana settimana = dati.GetSettimana().Add();
                settimana.SetIdSettimana(c.idSettimana[i]->asInteger());
                settimana.SetTipoCopertura(QStringLiteral("X"));
            }
        }
        const QString giorni = c.giorni->asString();
        if (!giorni.trimmed().isEmpty())
            ScriviGiorniDip(dati, giorni);
        dati.SetGiorniRetribuiti(c.giorniRetribuiti->asInteger());
        if (qualifica2 == QStringLiteral("F"))
            dati.SetGiorniContribuiti(c.giorniContribuiti->asInteger());
        else
            dati.SetOreContribuite(c.oreContribuite->asInteger());
        ScriviRispettoMinimale(dati, c);
        const int settimaneUtili = c.settimaneUtili->asInteger();
        if (settimaneUtili > 0)
            dati.SetSettimaneUtili(settimaneUtili);
        ScriviCausaliAggiuntive(dati);
        ScriviANF(denuncia);
    }
}

void TZepFile::ScriviGiorniDip(IXMLDatiRetributivi dati, const QString &giorni)
{
    TGiorniDis calendario(int(giorni.size()));
    calendario.SetGiorni(giorni);
    for (int d = 1; d <= calendario.Giorni(); ++d) {
        const QChar codice = calendario.GetGiorno(d);
        if (codice == cGiornoVuoto)
            continue;
        IXMLGiorno giorno = dati.GetGiorno().Add();
        giorno.SetGG(d);
        giorno.SetLavorato(QString(codice));
    }
}

void TZepFile::ScriviCausaliAggiuntive(IXMLDatiRetributivi dati)
{
    ZEP_ASSERT(m_dip, QStringLiteral("Causali aggiuntive fuori dalla scrittura di un dipendente"));
    const CampiDipendente &c = *m_dip;
    const Currency bonus = c.bonusImporto->asCurrency();
    const int meseBonus = c.bonusMese->asInteger();
    if (bonus > Currency() || meseBonus >= 1) {
        if (meseBonus < 1 || meseBonus > 12)
            throw EUqError(QStringLiteral("Bonus anno 2022: Mese deve essere impostato."));
        ScriviCausaleAggiuntiva(dati, QStringLiteral("Bonus anno 2022"), meseBonus,
                                MeseDenuncia == QStringLiteral("07") ? CausaleBonusLuglio : QStringLiteral("L033"),
                                c.bonusBaseRif->asLargeInt(), bonus);
    }
    const auto esonero = [&](const QString &etichetta, const Field *importo, const Field *causale, const Field *base) {
        if (importo->asCurrency() > Currency() || !causale->asString().isEmpty() || base->asCurrency() > Currency())
            ScriviCausaleAggiuntiva(dati, etichetta, 0, causale->asString(), base->asLargeInt(), importo->asCurrency());
    };
    esonero(QStringLiteral("Esonero IVS stipendio"), c.esoneroImporto, c.esoneroCausale, c.esoneroBaseRif);
    esonero(QStringLiteral("Esonero IVS 13ma"), c.esonero13Importo, c.esonero13Causale, c.esonero13BaseRif);
}

void TZepFile::ScriviCausaleAggiuntiva(IXMLDatiRetributivi dati, const QString &etichetta, int mese,
                                       const QString &causale, qint64 base, Currency importo)
{
    if (mese == 0)
        mese = MeseDenuncia.toInt();
    if (importo.isZero())
        throw EUqError(etichetta + QStringLiteral(": Importo e mese devono essere entrambi impostati."));
    // The July bonus has no reference base (the employee window does not
    // even show it): a zero base is written as none. Every other cause,
    // November's and December's bonus among them, needs its base.
    const bool senzaBase = base == 0 && causale == CausaleBonusLuglio;
    if (base == 0 && !senzaBase)
        throw EUqError(etichetta + QStringLiteral(": Imponibile Riferimento base deve essere impostato."));
    IXMLInfoAggCausaliContrib info = dati.GetInfoAggCausaliContrib().Add();
    info.SetCodiceCausale(causale);
    // Before July 2023 the exemption causes L094, L095 and L025 carried the
    // base as their usage reason; every other cause, and every cause since,
    // the reason "N" and the base in BaseRif.
    const bool baseComeMotivo = PeriodoDenuncia() < QStringLiteral("2023-07")
                                && (causale == QStringLiteral("L094") || causale == QStringLiteral("L095")
                                    || causale == QStringLiteral("L025"));
    info.GetIdentMotivoUtilizzoCausale().Add().SetText(baseComeMotivo ? QString::number(base) : QStringLiteral("N"));
    info.SetAnnoMeseRif(AnnoDenuncia + QLatin1Char('-') + QStringLiteral("%1").arg(mese, 2, 10, QLatin1Char('0')));
    if (!baseComeMotivo && !senzaBase)
        info.SetBaseRif(QString::number(base));
    info.SetImportoAnnoMeseRif(Importo(importo));
}

void TZepFile::ScriviANF(IXMLDenunciaIndividuale denuncia)
{
    ZEP_ASSERT(m_dip, QStringLiteral("Nucleo familiare fuori dalla scrittura di un dipendente"));
    const CampiDipendente &c = *m_dip;
    const QString tipo = c.tipoANF->asString();
    const int numero = c.numANF->asInteger();
    const int classe = c.classeANF->asInteger();
    if (tipo.isEmpty() && numero == 0 && classe == 0)
        return;
    // All three or none: a number or class of 0 is one left out.
    if (tipo.trimmed().isEmpty() || numero == 0 || classe == 0)
        throw EUqError(MsgCampoNonImpostato + TZepTabellaDenuncia::MsgNucleoFamiliare);
    IXMLANF anf = denuncia.GetANF();
    anf.SetTabANF(tipo);
    anf.SetNumANF(numero);
    anf.SetClasseANF(classe);
}
