// The head of an individual declaration, the same for employees and
// performing-arts workers: the person, hiring and termination, the minimum.
#include "ZepCFileInterno.h"

using namespace zepfile;

void TZepFile::IniziaPersona(const CampiPersona &c, const QString &tipo, const QString &dettaglio)
{
    const QString cognome = c.cognome->asString();
    const QString nome = c.nome->asString();
    const QString cf = c.cf->asString();
    m_personaCorrente = persona(cognome, nome, cf);
    const QString riga = cf + QLatin1Char(' ') + cognome + QLatin1Char(' ') + nome + QLatin1Char(' ') + dettaglio;
    LogPersona(tipo, riga, c.elimina->asString() == S);
}

void TZepFile::ScriviTesta(IXMLDenunciaIndividuale denuncia, const CampiPersona &c)
{
    if (c.elimina->asString() == S)
        denuncia.SetElimina(S);
    denuncia.SetCFLavoratore(c.cf->asString());
    denuncia.SetCognome(c.cognome->asString());
    denuncia.SetNome(c.nome->asString());
    denuncia.SetQualifica1(c.qualifica1->asString());
    denuncia.SetQualifica2(c.qualifica2->asString());
    denuncia.SetQualifica3(c.qualifica3->asString());
    const QString tipoContribuzione = c.tipoContribuzione->asString();
    denuncia.SetTipoContribuzione(tipoContribuzione.isEmpty() ? QStringLiteral("00") : tipoContribuzione);
    bool numero = false;
    const int anno = AnnoDenuncia.toInt(&numero);
    if ((numero ? anno : 0) > 2014)
        denuncia.SetRegimePost95(c.regimePost95->asString().left(1));
    const QString cittadinanza = c.cittadinanza->asString();
    denuncia.SetCittadinanza(cittadinanza.isEmpty() || cittadinanza == QStringLiteral("0") ? QStringLiteral("000")
                                                                                           : cittadinanza);
    const QString unita = c.unitaOperativa->asString();
    denuncia.SetUnitaOperativa(unita.isEmpty() ? QStringLiteral("0") : unita);
    denuncia.SetCodiceComune(c.codiceComune->asString());
    denuncia.SetCodiceContratto(c.codiceContratto->asString());
    if (anno > 2022 || (anno == 2022 && MeseDenuncia.toInt() > 1))
        denuncia.SetTipoCodiceContratto(QStringLiteral("02"));
}

void TZepFile::ScriviAssunzioneCessazione(IXMLDenunciaIndividuale denuncia, const CampiPersona &c)
{
    if (c.giornoAssunzione->asInteger() > 0) {
        IXMLAssunzione assunzione = denuncia.GetAssunzione();
        assunzione.SetGiornoAssunzione(c.giornoAssunzione->asInteger());
        assunzione.SetTipoAssunzione(c.tipoAssunzione->asString());
    }
    if (c.giornoCessazione->asInteger() > 0) {
        IXMLCessazione cessazione = denuncia.GetCessazione();
        cessazione.SetGiornoCessazione(c.giornoCessazione->asInteger());
        cessazione.SetTipoCessazione(c.tipoCessazione->asString());
    }
}

void TZepFile::ScriviRispettoMinimale(IXMLDatiRetributivi dati, const CampiPersona &c)
{
    const QString rispetto = c.rispettoMinimale->asString();
    if (rispetto == QStringLiteral("N") || rispetto == S)
        dati.SetRispettoMinimale(rispetto);
}
