// The collaborators' list.
#include "ZepCFileInterno.h"
#include "ZepULayoutNomi.h"

using namespace zepfile;

void TZepFile::ScriviCollaboratori(IXMLListaCollaboratori lista)
{
    const CampiCollaboratore c(cdsColl);
    for (cdsColl.first(); !cdsColl.eof(); cdsColl.next()) {
        const QString cognome = c.cognome->asString();
        const QString nome = c.nome->asString();
        const QString cf = c.cf->asString();
        const QString tipoRapporto = c.tipoRapporto->asString();
        const QString aliquota = c.aliquota->asString();
        m_personaCorrente = persona(cognome, nome, cf);
        const QString riga = cf + QLatin1Char(' ') + cognome + QLatin1Char(' ') + nome + QLatin1Char(' ') + tipoRapporto
                             + QLatin1Char(' ') + aliquota;
        const bool elimina = c.elimina->asString() == S;
        LogPersona(QStringLiteral("---- Collaboratore "), riga, elimina);

        IXMLCollaboratore collaboratore = lista.GetCollaboratore().Add();
        if (elimina)
            collaboratore.SetElimina(S);
        collaboratore.SetCFCollaboratore(cf);
        collaboratore.SetCognome(cognome);
        collaboratore.SetNome(nome);
        collaboratore.SetCodiceComune(c.codiceComune->asString());
        collaboratore.SetTipoRapporto(tipoRapporto);
        const QString attivita = c.codiceAttivita->asString();
        if (!attivita.isEmpty())
            collaboratore.SetCodiceAttivita(attivita);
        collaboratore.SetImponibile(euroInteri(c.imponibile));
        collaboratore.SetAliquota(c.aliquota->asInteger());
        const QString altraAss = c.altraAss->asString();
        if (!altraAss.isEmpty())
            collaboratore.SetAltraAss(altraAss);
        // A period without its dates would be written as the zero date.
        const QDate dal = c.dal->asDate();
        const QDate al = c.al->asDate();
        if (!dal.isValid())
            throw EUqError(MsgCampoNonImpostato + layouts::TEMC_COLLABORATORI::Dal);
        if (!al.isValid())
            throw EUqError(MsgCampoNonImpostato + layouts::TEMC_COLLABORATORI::Al);
        collaboratore.SetDal(data(dal));
        collaboratore.SetAl(data(al));
        if (c.impAgevolazione->asInteger() > 0) {
            IXMLCollaboratore_Agevolazione agevolazione = collaboratore.GetAgevolazione().Add();
            agevolazione.SetImpAgevolazione(euroInteri(c.impAgevolazione));
            agevolazione.SetTipoAgevolazione(c.tipoAgevolazione->asString());
        }
        const QString calamita = c.codCalamita->asString();
        if (!calamita.isEmpty())
            collaboratore.SetCodCalamita(calamita);
        const QString certificazione = c.codCertificazione->asString();
        if (!certificazione.isEmpty())
            collaboratore.SetCodCertificazione(certificazione);
    }
}
