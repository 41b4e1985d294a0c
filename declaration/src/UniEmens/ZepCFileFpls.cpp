// The performing-arts workers' individual declarations.
#include "ZepCFileInterno.h"

using namespace zepfile;

void TZepFile::ScriviFplsExEnpals(IXMLDenunciaIndividualeList denunce, const QString &matricola)
{
    m_fpls = std::make_unique<CampiFpls>(cdsFplsExEnpals);
    const CampiFpls &c = *m_fpls;
    for (cdsFplsExEnpals.first(); !cdsFplsExEnpals.eof(); cdsFplsExEnpals.next()) {
        if (c.matricola->asString() != matricola)
            continue;
        IniziaPersona(c, QStringLiteral("---- Dipendente "), c.qualifica2->asString());
        if (c.matricola->asString().isEmpty())
            throw EUqError(MsgMatricolaNonImpostata);

        IXMLDenunciaIndividuale denuncia = denunce.Add();
        ScriviTesta(denuncia, c);
        ScriviAssunzioneCessazione(denuncia, c);

        IXMLDatiRetributivi dati = denuncia.GetDatiRetributivi().Add();
        const QString tipoLavoratore = c.tipoLavoratore->asString();
        if (tipoLavoratore != QStringLiteral("0"))
            dati.SetTipoLavoratore(tipoLavoratore);
        dati.SetImponibile(Importo(c.imponibile->asCurrency()));
        const Currency contributo = c.contributo->asCurrency();
        if (!contributo.isZero())
            dati.SetContributo(Importo(contributo));
        IXMLContribuzioneAggiuntiva aggiuntiva = dati.GetContribuzioneAggiuntiva();
        const Currency imponibileCtrAgg = c.imponibileCtrAgg->asCurrency();
        const Currency contribAgg = c.contribAggCorrente->asCurrency();
        if (!imponibileCtrAgg.isZero() || !contribAgg.isZero()) {
            IXMLContrib1PerCento unoPerCento = aggiuntiva.GetContrib1PerCento();
            if (!imponibileCtrAgg.isZero())
                unoPerCento.SetImponibileCtrAgg(Importo(imponibileCtrAgg));
            if (!contribAgg.isZero())
                unoPerCento.SetContribAggCorrente(Importo(contribAgg));
        }
        dati.SetRetribTeorica(QString::number(c.retribTeorica->asInteger()));
        ScriviGiorniFpls(dati);
        const int giorniRetribuiti = c.giorniRetribuiti->asInteger();
        if (c.giorniLavorati->asString().trimmed().isEmpty() && giorniRetribuiti > 0)
            throw EUqError(MsgGiorniLavorati);
        dati.SetGiorniRetribuiti(giorniRetribuiti);
        dati.SetGiorniContribuiti(c.giorniContribuiti->asInteger());
        ScriviRispettoMinimale(dati, c);
        ScriviDatiParticolariFpls(dati);
    }
}

void TZepFile::ScriviGiorniFpls(IXMLDatiRetributivi dati)
{
    ZEP_ASSERT(m_fpls, QStringLiteral("Giorni FPLS fuori dalla scrittura di un iscritto"));
    const CampiFpls &c = *m_fpls;
    m_periodi.clear();
    const QString lavorati = c.giorniLavorati->asString();
    if (lavorati.trimmed().isEmpty())
        return;
    const QString copertura = c.giorniTipoCopertura->asString();
    const QString tipoLavoratore = c.tipoLavoratore->asString();
    const bool periodi = tipoLavoratore == QStringLiteral("SY") || tipoLavoratore == QStringLiteral("SX");
    if (periodi)
        CampoObbligatorio(c.retribTeorica->asString(), QStringLiteral("Retribuzione ordinaria"));
    for (int d = 1; d <= lavorati.size(); ++d) {
        const QString giorno = lavorati.mid(d - 1, 1);
        if (giorno.trimmed().isEmpty())
            continue;
        if (periodi) {
            const QDate data = DataGiornoMeseDenuncia(d);
            if (!m_periodi.empty() && m_periodi.back().DataFine.addDays(1) >= data) {
                m_periodi.back().DataFine = data;
                ++m_periodi.back().NumGiorniLavorati;
            } else {
                m_periodi.push_back(PeriodoFpls{data, data, 1, Currency()});
            }
        }
        IXMLGiorno g = dati.GetGiorno().Add();
        g.SetGG(d);
        g.SetLavorato(giorno);
        g.SetTipoCoperturaGiorn(copertura.mid(d - 1, 1).trimmed());
    }
    const int giorniRetribuiti = c.giorniRetribuiti->asInteger();
    if (giorniRetribuiti == 0)
        throw EUqError(MsgGiorniRetribuiti);
    // Each period's share of the ordinary pay, days x pay / paid days, in
    // whole euros (half away from zero), from the exact fraction.
    const __int128 retribuzione = c.retribTeorica->asCurrency().raw();
    for (PeriodoFpls &p : m_periodi) {
        const __int128 euro = platform::roundedQuotient(retribuzione * p.NumGiorniLavorati,
                                                        __int128(giorniRetribuiti) * Currency::Scale);
        p.ImpRetrOrdinaria = Currency::fromInt(qint64(euro));
    }
}

void TZepFile::ScriviDatiParticolariFpls(IXMLDatiRetributivi dati)
{
    ZEP_ASSERT(m_fpls, QStringLiteral("Dati particolari FPLS fuori dalla scrittura di un iscritto"));
    const CampiFpls &c = *m_fpls;
    const Currency impEcc = c.impEccMassSpet->asCurrency();
    const Currency contrEcc = c.contrEccMassSpet->asCurrency();
    const Currency solidarieta = c.contrSolidarietaSpet->asCurrency();
    const QString tipoRapporto = c.tipoRapportoLav->asString();
    const QString qualifica = c.codiceQualifica->asString();
    const bool eccedenza = !impEcc.isZero() || !contrEcc.isZero() || !solidarieta.isZero();
    const bool tipo = !tipoRapporto.isEmpty() || !qualifica.isEmpty();
    if (!eccedenza && !tipo && m_periodi.empty())
        return;
    IXMLDatiParticolari particolari = dati.GetDatiParticolari();
    if (eccedenza) {
        IXMLEccMassSpet ecc = particolari.GetEccMassSportSpet().GetEccMassSpet();
        CampoObbligatorio(c.impEccMassSpet->asString(), QStringLiteral("Imponibile eccedente il massimale"));
        ecc.SetImpEccMassSpet(Importo(impEcc));
        ecc.SetContrEccMassSpet(Importo(contrEcc));
        ecc.SetContrSolidarietaSpet(Importo(solidarieta));
    }
    if (tipo) {
        IXMLTipoLavSportSpet lavoro = particolari.GetTipoLavSportSpet();
        lavoro.SetTipoRapportoLav(tipoRapporto);
        lavoro.SetCodiceQualifica(CampoObbligatorio(qualifica, QStringLiteral("Codice qualifica")));
    }
    if (!m_periodi.empty()) {
        IXMLRetribuzioneOrdinariaList ordinarie =
            particolari.GetFondiSpeciali().GetSportSpet().GetDatiMeseSportSpet().GetRetribuzioneOrdinaria();
        for (const PeriodoFpls &p : m_periodi) {
            IXMLRetribuzioneOrdinaria ordinaria = ordinarie.Add();
            ordinaria.SetNumGiorniLavorati(p.NumGiorniLavorati);
            IXMLPeriodoType periodo = ordinaria.GetPeriodo();
            periodo.SetDataInizio(data(p.DataInizio));
            periodo.SetDataFine(data(p.DataFine));
            ordinaria.SetImpRetrOrdinaria(QString::number(p.ImpRetrOrdinaria.truncated()));
        }
    }
}
