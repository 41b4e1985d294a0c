#include "UqWizard.h"

#include "Exceptions.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

TfmUqWizard::TfmUqWizard(QWidget *parent) : TfmUqDialog(parent)
{
    pcWizard = new QStackedWidget(paClient);
    pcWizard->setObjectName(QStringLiteral("pcWizard"));
    ClientLayout()->addWidget(pcWizard);

    buPrior = new QPushButton(QStringLiteral("< Indietro"));
    buPrior->setObjectName(QStringLiteral("buPrior"));
    buNext = new QPushButton(QStringLiteral("Avanti >"));
    buNext->setObjectName(QStringLiteral("buNext"));
    AddButton(buPrior);
    AddButton(buNext);
    buOk->setDefault(false);
    buNext->setDefault(true);
    connect(buPrior, &QPushButton::clicked, this, [this] { ChangePage(-1); });
    connect(buNext, &QPushButton::clicked, this, [this] { ChangePage(+1); });
    CheckButtons();
}

int TfmUqWizard::AddPage(QWidget *page, const QString &name)
{
    page->setObjectName(name);
    m_pages.insert(name, page);
    m_order << name;
    const int index = pcWizard->addWidget(page);
    if (m_pathName.isEmpty() && m_position < 0)
        moveTo(0);
    else
        CheckButtons();
    return index;
}

QWidget *TfmUqWizard::Page(const QString &name) const
{
    return m_pages.value(name);
}

void TfmUqWizard::AddPath(const QString &name, const QStringList &pages)
{
    for (const QString &p : pages)
        if (!m_pages.contains(p))
            throw EUqError(QStringLiteral("Pagina '%1' del percorso '%2' inesistente").arg(p, name));
    m_paths.insert(name, pages);
}

void TfmUqWizard::SetPath(const QString &name)
{
    if (!m_paths.contains(name))
        throw EUqError(QStringLiteral("Percorso '%1' inesistente").arg(name));
    m_pathName = name;
    m_position = -1;
    moveTo(0);
}

QStringList TfmUqWizard::Path() const
{
    return m_pathName.isEmpty() ? m_order : m_paths.value(m_pathName);
}

QWidget *TfmUqWizard::ActivePage() const
{
    return m_pages.value(ActivePageName());
}

QString TfmUqWizard::ActivePageName() const
{
    return Path().value(m_position);
}

bool TfmUqWizard::ChangePage(int delta)
{
    const QStringList path = Path();
    if (path.isEmpty())
        return false;
    const int target = qBound(0, m_position + delta, int(path.size()) - 1);
    return moveTo(target);
}

bool TfmUqWizard::GoToPage(const QString &name)
{
    const int target = int(Path().indexOf(name));
    return target >= 0 && moveTo(target);
}

bool TfmUqWizard::moveTo(int position)
{
    const QStringList path = Path();
    if (position < 0 || position >= path.size() || position == m_position)
        return false;
    QWidget *from = ActivePage();
    QWidget *to = m_pages.value(path.at(position));
    if (from && !PageChanging(from, to))
        return false;
    m_position = position;
    pcWizard->setCurrentWidget(to);
    CheckButtons();
    PageChanged(to);
    return true;
}

void TfmUqWizard::CheckButtons()
{
    const int count = int(Path().size());
    buPrior->setEnabled(m_position > 0);
    buNext->setEnabled(m_position >= 0 && m_position < count - 1);
    buOk->setEnabled(count > 0 && m_position == count - 1);
}

bool TfmUqWizard::PageChanging(QWidget *, QWidget *)
{
    return true;
}

void TfmUqWizard::PageChanged(QWidget *) {}
