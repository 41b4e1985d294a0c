#include "TovFInfo.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"
#include "Services.h"

#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTextStream>

using platform::DataSet;
using platform::Field;
using platform::FieldType;

// ---- TfmTovInfo ----

TfmTovInfo::TfmTovInfo(QWidget *parent) : TfmUqDialog(parent)
{
    setObjectName(QStringLiteral("fmTovInfo"));
    setWindowTitle(QStringLiteral("Informazioni"));
    setSizeGripEnabled(true);
    resize(750, 388);
    // The instance is kept and reused: closing only hides it.
    setAttribute(Qt::WA_DeleteOnClose, false);

    meInfo = new QPlainTextEdit(paClient);
    meInfo->setObjectName(QStringLiteral("meInfo"));
    meInfo->setReadOnly(true);
    meInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    meInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    meInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ClientLayout()->addWidget(meInfo);

    buBloccoNote = new QPushButton(QStringLiteral("Blocco note"));
    buBloccoNote->setObjectName(QStringLiteral("buBloccoNote"));
    AddButton(buBloccoNote, true);
    laInfo = new QLabel(QStringLiteral("Si desidera proseguire?"));
    laInfo->setObjectName(QStringLiteral("laInfo"));
    laInfo->setParent(paBottom);
    laInfo->hide();
    // The label sits just left of the buttons; a QLabel is placed through
    // the same bottom layout as the buttons.
    buYes = new QPushButton(QStringLiteral("Si"));
    buYes->setObjectName(QStringLiteral("buYes"));
    AddButton(buYes);
    buYes->hide();
    SetModalResult(buYes, mrYes);
    if (auto *layout = paBottom->layout()) {
        if (auto *box = qobject_cast<QBoxLayout *>(layout))
            box->insertWidget(box->indexOf(buYes), laInfo);
    }
    buCancel->hide();
    connect(buBloccoNote, &QPushButton::clicked, this, [this] { buBloccoNoteClick(); });
}

TfmTovInfo::~TfmTovInfo() = default;

void TfmTovInfo::Init()
{
    LoadFieldLabels();
}

void TfmTovInfo::Clear()
{
    m_checker.Clear();
    meInfo->clear();
}

void TfmTovInfo::SetSectionTitle(const QString &text)
{
    m_checker.SetSectionTitle(text);
}

void TfmTovInfo::AddMessage(const QString &text)
{
    m_checker.AddMessage(text);
}

QString TfmTovInfo::CheckField(const QString &, DataSet &)
{
    return {};
}

bool TfmTovInfo::CheckDataSets(const QList<DataSet *> &sets)
{
    return m_checker.CheckDataSets(sets, [this](const QString &name, DataSet &set) { return CheckField(name, set); });
}

QString TfmTovInfo::FieldLabel(const QString &fieldName) const
{
    return m_checker.FieldLabel(fieldName);
}

void TfmTovInfo::SetFieldLabels(const QStringList &labels)
{
    m_checker.SetFieldLabels(labels);
}

int TfmTovInfo::ShowInfo(bool ask)
{
    if (m_checker.Messages().isEmpty())
        return mrNone;
    meInfo->setPlainText(m_checker.Messages().join(QLatin1Char('\n')));
    if (ask) {
        laInfo->show();
        buYes->show();
        buOk->setText(QStringLiteral("No"));
        // The renamed button stays the default one: Enter answers "No".
        SetModalResult(buOk, mrNo);
    }
    return ShowModal();
}

bool TfmTovInfo::CheckAndAsk(const QList<DataSet *> &sets)
{
    Clear();
    CheckDataSets(sets);
    if (m_checker.Messages().isEmpty())
        return true;
    // Only "Si" goes on: "No", Escape and the close button all stop.
    return ShowInfo(true) == mrYes;
}

QString TfmTovInfo::WriteNotepadFile() const
{
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("XXXXXXXX.txt")));
    file.setAutoRemove(false);
    if (!file.open())
        throw EUqError(
            QStringLiteral("Impossibile creare il file %1: %2").arg(file.fileTemplate(), file.errorString()));
    const QString path = file.fileName();
    {
        QTextStream out(&file);
        for (const QString &line : m_checker.Messages())
            out << line << "\r\n";
        out.flush();
        if (out.status() != QTextStream::Ok) {
            file.close();
            QFile::remove(path);
            throw EUqError(QStringLiteral("Impossibile scrivere il file %1").arg(path));
        }
    }
    file.close();
    platform::ShellRequest request;
    request.file = path;
    try {
        platform::Services::instance().openDocument(request);
    } catch (...) {
        // Nobody will read a list that could not be opened.
        QFile::remove(path);
        throw;
    }
    return path;
}

void TfmTovInfo::buBloccoNoteClick()
{
    // A click has no caller to raise to: the failure goes to the user.
    try {
        WriteNotepadFile();
    } catch (const platform::Exception &e) {
        platform::showMessage(e.message(), windowTitle(), platform::MessageType::Error);
    }
}
