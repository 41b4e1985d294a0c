// Building and saving a UniEmens declaration file through the document model,
// at 10, 1,000 and 10,000 individual declarations with full pay data and
// weeks; beside it, the same bytes written by a bare QXmlStreamWriter loop
// into a file, the floor the model's own UTF-8 serialiser is compared with.
#include "BareXmlWriter.h"
#include "UniEmens/ZepCEmensDataBinding.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

using namespace uniemens;

namespace {

QString num(int i, int width)
{
    return QStringLiteral("%1").arg(i, width, 10, QLatin1Char('0'));
}

// One worker's month as the file generator writes it: head, hiring, pay data
// with the 1% contribution, five weeks with their event codes, an additional
// contribution-cause item, special data for one in ten, the family allowance.
void fillDeclaration(IXMLDenunciaIndividuale di, int i)
{
    di.SetCFLavoratore(QStringLiteral("RSSMRA80A01H501") + QChar(u'A' + i % 26));
    di.SetCognome(QStringLiteral("Rossi-%1").arg(i));
    di.SetNome(QStringLiteral("Mario"));
    di.SetQualifica1(QStringLiteral("1"));
    di.SetQualifica2(QStringLiteral("F"));
    di.SetQualifica3(QStringLiteral("D"));
    di.SetTipoContribuzione(QStringLiteral("00"));
    di.SetRegimePost95(QStringLiteral("S"));
    di.SetCittadinanza(QStringLiteral("000"));
    di.SetUnitaOperativa(QStringLiteral("1"));
    di.SetCodiceComune(QStringLiteral("H501"));
    di.SetCodiceContratto(QStringLiteral("011"));
    di.SetTipoCodiceContratto(QStringLiteral("CCNL"));
    di.SetOrarioContrattuale(2400);
    di.SetPercPartTime(i % 3 == 0 ? 50000 : 100000);
    di.SetPercPartTimeMese(i % 3 == 0 ? 50000 : 100000);
    di.SetNumMensilita(13000);
    if (i % 7 == 0) {
        IXMLAssunzione a = di.GetAssunzione();
        a.SetGiornoAssunzione(1 + i % 28);
        a.SetTipoAssunzione(QStringLiteral("1A"));
    }
    if (i % 11 == 0) {
        IXMLCessazione c = di.GetCessazione();
        c.SetGiornoCessazione(1 + i % 28);
        c.SetTipoCessazione(QStringLiteral("1A"));
    }
    IXMLDatiRetributivi dr = di.GetDatiRetributivi().Add();
    dr.SetTipoLavoratore(QStringLiteral("00"));
    dr.SetTipoLavStat(QStringLiteral("NM00"));
    dr.SetImponibile(QStringLiteral("%1.00").arg(1500 + i % 900));
    dr.SetContributo(QStringLiteral("%1.35").arg(460 + i % 270));
    IXMLContrib1PerCento ca = dr.GetContribuzioneAggiuntiva().GetContrib1PerCento();
    ca.SetImponibileCtrAgg(QStringLiteral("%1.00").arg(1500 + i % 900));
    ca.SetContribAggCorrente(QStringLiteral("%1.00").arg(15 + i % 9));
    IXMLSettimanaList weeks = dr.GetSettimana();
    for (int w = 1; w <= 5; ++w) {
        IXMLSettimana s = weeks.Add();
        s.SetIdSettimana(w);
        s.SetTipoCopertura(w == 5 ? QStringLiteral("2") : QStringLiteral("X"));
        if (w == 5)
            s.GetCodiceEvento().Add(QStringLiteral("MA1"));
    }
    dr.SetRetribTeorica(QStringLiteral("%1.00").arg(1600 + i % 900));
    dr.SetGiorniRetribuiti(26);
    dr.SetGiorniContribuiti(26);
    dr.SetOreContribuite(0);
    dr.SetRispettoMinimale(QStringLiteral("S"));
    dr.SetSettimaneUtili(4);
    IXMLInfoAggCausaliContrib info = dr.GetInfoAggCausaliContrib().Add();
    info.SetCodiceCausale(QStringLiteral("L%1").arg(num(i % 100, 3)));
    info.GetIdentMotivoUtilizzoCausale().Add().SetText(QStringLiteral("AB%1").arg(num(i, 6)));
    info.SetAnnoMeseRif(QStringLiteral("2024-01"));
    info.SetBaseRif(QStringLiteral("1500.00"));
    info.SetImportoAnnoMeseRif(QStringLiteral("45.00"));
    if (i % 10 == 0) {
        IXMLDatiParticolari dp = dr.GetDatiParticolari();
        IXMLEccMassSpet ecc = dp.GetEccMassSportSpet().GetEccMassSpet();
        ecc.SetImpEccMassSpet(QStringLiteral("120.00"));
        ecc.SetContrEccMassSpet(QStringLiteral("6.00"));
        ecc.SetContrSolidarietaSpet(QStringLiteral("1.20"));
        IXMLTipoLavSportSpet t = dp.GetTipoLavSportSpet();
        t.SetTipoRapportoLav(QStringLiteral("1"));
        t.SetCodiceQualifica(QStringLiteral("012"));
        IXMLRetribuzioneOrdinaria ro =
            dp.GetFondiSpeciali().GetSportSpet().GetDatiMeseSportSpet().GetRetribuzioneOrdinaria().Add();
        ro.SetNumGiorniLavorati(12);
        ro.GetPeriodo().SetDataInizio(QStringLiteral("2024-01-02"));
        ro.GetPeriodo().SetDataFine(QStringLiteral("2024-01-13"));
        ro.SetImpRetrOrdinaria(QStringLiteral("1200.00"));
    }
    IXMLANF anf = di.GetANF();
    anf.SetTabANF(QStringLiteral("11"));
    anf.SetNumANF(3);
    anf.SetClasseANF(4);
}

IXMLDenunceMensili buildDocument(int persons)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLDatiMittente m = root.GetDatiMittente();
    m.SetTipo(1);
    m.SetCFPersonaMittente(QStringLiteral("RSSMRA80A01H501U"));
    m.SetRagSocMittente(QStringLiteral("Studio Paghe & Associati"));
    m.SetCFMittente(QStringLiteral("01234567890"));
    m.GetCFSoftwarehouse().SetText(QStringLiteral("09876543210"));
    m.SetSedeINPS(QStringLiteral("7000"));
    IXMLAzienda az = root.GetAzienda().Add();
    az.SetAnnoMeseDenuncia(QStringLiteral("2024-01"));
    az.SetCFAzienda(QStringLiteral("01234567890"));
    az.SetRagSocAzienda(QStringLiteral("Società di prova S.p.A."));
    IXMLPosContributiva pos = az.GetPosContributiva().Add();
    pos.SetMatricola(QStringLiteral("1234567890"));
    IXMLDenunciaIndividualeList list = pos.GetDenunciaIndividuale();
    for (int i = 0; i < persons; ++i)
        fillDeclaration(list.Add(), i);
    IXMLDenunciaAziendale da = pos.GetDenunciaAziendale();
    da.SetTrattQuotaLav(QStringLiteral("N"));
    da.SetNumLavoratori(persons);
    da.SetForzaAziendale(persons);
    IXMLDatiQuadraturaRetrContr q = da.GetDatiQuadraturaRetrContr();
    q.SetNumDenIndiv(persons);
    q.SetTotaleADebito(QStringLiteral("1000000.00"));
    q.SetTotaleACredito(QStringLiteral("0.00"));
    return root;
}

void BM_BuildDocument(benchmark::State &state)
{
    const int persons = int(state.range(0));
    for (auto _ : state) {
        IXMLDenunceMensili root = buildDocument(persons);
        benchmark::DoNotOptimize(root);
    }
    state.SetItemsProcessed(state.iterations() * persons);
}

void BM_SaveDocument(benchmark::State &state)
{
    const int persons = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("denuncia.xml"));
    const IXMLDocument doc = buildDocument(persons).GetOwnerDocument();
    for (auto _ : state)
        doc.SaveToFile(path);
    const qint64 size = QFileInfo(path).size();
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["file_bytes"] = double(size);
}

void BM_BuildAndSave(benchmark::State &state)
{
    const int persons = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("denuncia.xml"));
    for (auto _ : state)
        buildDocument(persons).GetOwnerDocument().SaveToFile(path);
    const qint64 size = QFileInfo(path).size();
    state.SetItemsProcessed(state.iterations() * persons);
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["file_bytes"] = double(size);
}

void BM_BareWriterFloor(benchmark::State &state)
{
    const int persons = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("floor.xml"));
    const QByteArray model = buildDocument(persons).GetOwnerDocument().SaveToBytes();
    const std::vector<benchxml::Event> events = benchxml::record(model);
    for (auto _ : state) {
        if (!benchxml::replay(events, path)) {
            state.SkipWithError("cannot write the file");
            break;
        }
    }
    if (benchxml::readAll(path) != model)
        state.SkipWithError("the bare writer did not produce the same bytes");
    state.SetBytesProcessed(state.iterations() * model.size());
    state.counters["file_bytes"] = double(model.size());
}

} // namespace

// At least two seconds a case, so that 10,000 declarations (a few hundred
// milliseconds each) run several iterations, warm, as the smaller ones do.
BENCHMARK(BM_BuildDocument)->Arg(10)->Arg(1000)->Arg(10000)->MinTime(2.0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDocument)->Arg(10)->Arg(1000)->Arg(10000)->MinTime(2.0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildAndSave)->Arg(10)->Arg(1000)->Arg(10000)->MinTime(2.0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareWriterFloor)->Arg(10)->Arg(1000)->Arg(10000)->MinTime(2.0)->Unit(benchmark::kMillisecond);
