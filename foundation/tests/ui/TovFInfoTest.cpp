#include "TovFInfo.h"

#include "TovInfoTestSupport.h"
#include "DataSet.h"
#include "Exceptions.h"
#include "RecordingServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// A program's own dialog: labels and one extra rule.
class CheckDialog : public TfmTovInfo {
public:
    explicit CheckDialog(QWidget *parent = nullptr) : TfmTovInfo(parent) { Init(); }
    QStringList asked;

protected:
    void LoadFieldLabels() override { SetFieldLabels({QStringLiteral("NOME=Cognome e nome")}); }
    QString CheckField(const QString &name, DataSet &ds) override
    {
        asked << name;
        if (name == QLatin1String("NUMERO") && ds.fieldByName(name).asInteger() > 100)
            return QStringLiteral(" - Matricola fuori intervallo");
        return {};
    }
};

} // namespace

TEST(TfmTovInfo, FormAndNothingToShow)
{
    RecordingServicesScope services;
    CheckDialog dlg;
    EXPECT_EQ(dlg.windowTitle(), "Informazioni");
    EXPECT_EQ(dlg.laInfo->text(), "Si desidera proseguire?");
    EXPECT_EQ(dlg.buYes->text(), "Si");
    EXPECT_EQ(dlg.buBloccoNote->text(), "Blocco note");
    EXPECT_TRUE(dlg.meInfo->isReadOnly());
    EXPECT_EQ(dlg.FieldLabel(QStringLiteral("NOME")), "Cognome e nome") << "labels are loaded at creation";

    DataSet ds;
    makeRecord(ds, QStringLiteral("Rossi"), 1, QDate(), 0.0);
    EXPECT_EQ(dlg.ShowInfo(false), mrNone);
    EXPECT_TRUE(dlg.CheckAndAsk({&ds}));
    EXPECT_TRUE(services->dialogs().isEmpty()) << "nothing is shown without lines";
}

TEST(TfmTovInfo, AskModeGoesOnOnlyWithSi)
{
    RecordingServicesScope services;
    CheckDialog dlg;
    DataSet ds;
    makeRecord(ds, QString(), 200, QDate(), 0.0);

    services->onNextDialog([](QDialog &d) {
        auto &info = static_cast<TfmTovInfo &>(d);
        EXPECT_FALSE(info.laInfo->isHidden());
        EXPECT_FALSE(info.buYes->isHidden());
        EXPECT_EQ(info.buOk->text(), "No");
        // Enter answers with the button that was OK, now "No": going on
        // with data missing takes a click on "Si".
        EXPECT_TRUE(info.buOk->isDefault());
        EXPECT_FALSE(info.buYes->isDefault());
        EXPECT_EQ(info.meInfo->toPlainText(),
                  " - Dato obbligatorio mancante: Cognome e nome\n - Matricola fuori intervallo");
        info.buYes->click();
        return info.result();
    });
    EXPECT_TRUE(dlg.CheckAndAsk({&ds}));

    services->onNextDialog([](QDialog &d) {
        auto &info = static_cast<TfmTovInfo &>(d);
        info.buOk->click();
        return info.result();
    });
    EXPECT_FALSE(dlg.CheckAndAsk({&ds})) << "No";
    EXPECT_EQ(dlg.Messages().size(), 2) << "cleared before checking again";

    // Unscripted: closed with the window's button.
    EXPECT_FALSE(dlg.CheckAndAsk({&ds}));
    EXPECT_EQ(services->dialogs().size(), 3);
}

TEST(TfmTovInfo, InformationModeReturnsOk)
{
    RecordingServicesScope services;
    TfmTovInfo dlg;
    dlg.AddMessage(QStringLiteral("riga"));
    services->onNextDialog([](QDialog &d) {
        auto &info = static_cast<TfmTovInfo &>(d);
        EXPECT_TRUE(info.buYes->isHidden());
        EXPECT_EQ(info.buOk->text(), "OK");
        info.buOk->click();
        return info.result();
    });
    EXPECT_EQ(dlg.ShowInfo(false), mrOk);
}

TEST(TfmTovInfo, NotepadWritesUniqueTextFilesAndOpensThem)
{
    RecordingServicesScope services;
    TfmTovInfo one, two;
    one.SetSectionTitle(QStringLiteral("Sezione"));
    one.AddMessage(QStringLiteral("àèì"));
    two.AddMessage(QStringLiteral("altro"));
    const QString a = one.WriteNotepadFile();
    const QString b = two.WriteNotepadFile();
    EXPECT_NE(a, b);
    EXPECT_EQ(QFileInfo(a).suffix(), "txt");
    ASSERT_EQ(services->shellRequests().size(), 2);
    EXPECT_EQ(services->shellRequests().at(0).file, a);
    QFile f(a);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), "******** Sezione\r\nàèì\r\n");
    f.close();

    // The button does the same.
    one.buBloccoNote->click();
    ASSERT_EQ(services->shellRequests().size(), 3);
    const QString c = services->shellRequests().at(2).file;
    EXPECT_NE(c, a);
    EXPECT_TRUE(QFile::exists(c));
    QFile::remove(a);
    QFile::remove(b);
    QFile::remove(c);
}

namespace {
// Services whose desktop cannot open documents.
class NoDesktopServices : public RecordingServices {
public:
    void openDocument(const platform::ShellRequest &request) override
    {
        throw EUqError(QStringLiteral("Impossibile aprire \"%1\"").arg(request.file));
    }
};
} // namespace

TEST(TfmTovInfo, NotepadLeavesNoFileWhenTheDesktopCannotOpenIt)
{
    QTemporaryDir temp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    auto previous = platform::Services::install(std::make_unique<NoDesktopServices>());
    TfmTovInfo info;
    info.AddMessage(QStringLiteral("riga"));
    EXPECT_THROW(info.WriteNotepadFile(), EUqError);
    platform::Services::install(std::move(previous));
    qputenv("TMPDIR", oldTmp);
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files).isEmpty());
}
