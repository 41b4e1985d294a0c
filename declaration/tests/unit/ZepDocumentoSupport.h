#pragma once
// A UniEmens file read back against the element tree of the binding
// description: every element where its class allows it, children in the
// order of the class's members, attributes among them, leaves and text
// items without elements; and every amount in the form of its element.
#include "BindingModel.h"

#include <QByteArray>
#include <QDomDocument>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>

namespace documentotest {

inline bindgen::Model leggiModello(const QString &file)
{
    QFile f(QStringLiteral(ZEP_TEST_SOURCE_DIR "/declaration/src/") + file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return bindgen::parse(f.readAll().toStdString(), file.toStdString());
}

inline const bindgen::Model &modello()
{
    static const bindgen::Model m = leggiModello(QStringLiteral("UniEmens/Model/DenunceMensili.binding"));
    return m;
}

// The E-Mens element tree.
inline const bindgen::Model &modelloEMens()
{
    static const bindgen::Model m = leggiModello(QStringLiteral("Emens/Model/DenunceRetributiveMensili.binding"));
    return m;
}

inline QStringList elementi(const QDomElement &e)
{
    QStringList out;
    for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
        out << c.tagName();
    return out;
}

// Every element of `e`'s subtree stands where the class `classe` allows it,
// its children in the order of the class's members and its attributes
// among them; leaves and text items hold no elements.
inline void controllaAlbero(const QDomElement &e, const std::string &classe, const bindgen::Model &m = modello())
{
    const bindgen::ClassDef *c = m.find(classe);
    ASSERT_NE(c, nullptr) << classe;
    const std::string percorso = e.tagName().toStdString();
    const QDomNamedNodeMap attributi = e.attributes();
    for (int i = 0; i < attributi.count(); ++i) {
        const std::string nome = attributi.item(i).nodeName().toStdString();
        EXPECT_TRUE(std::any_of(c->members.begin(), c->members.end(),
                                [&](const bindgen::Member &mb) { return mb.isAttribute() && mb.nodeName == nome; }))
            << "attribute " << nome << " of " << percorso;
    }
    int ultimo = -1;
    std::string ultimoNome;
    for (QDomElement f = e.firstChildElement(); !f.isNull(); f = f.nextSiblingElement()) {
        const std::string nome = f.tagName().toStdString();
        if (c->family == bindgen::Family::Collection) {
            EXPECT_EQ(nome, c->itemName) << "in " << percorso;
            controllaAlbero(f, c->itemClass, m);
            continue;
        }
        const auto it = std::find_if(c->members.begin(), c->members.end(), [&](const bindgen::Member &mb) {
            return !mb.isAttribute() && mb.nodeName == nome;
        });
        if (it == c->members.end()) {
            ADD_FAILURE() << nome << " does not belong under " << percorso << " (" << classe << ")";
            continue;
        }
        const int posto = int(it - c->members.begin());
        EXPECT_GE(posto, ultimo) << nome << " after " << ultimoNome << " under " << percorso;
        const bool ripetuto = it->kind == bindgen::MemberKind::List || it->kind == bindgen::MemberKind::TextList;
        EXPECT_TRUE(ripetuto || posto != ultimo) << nome << " twice under " << percorso;
        ultimo = posto;
        ultimoNome = nome;
        if (it->isLeaf() || it->kind == bindgen::MemberKind::TextList)
            EXPECT_TRUE(elementi(f).isEmpty()) << nome << " under " << percorso << " holds elements";
        else if (it->kind == bindgen::MemberKind::Child)
            controllaAlbero(f, it->typeName, m);
        else
            controllaAlbero(f, m.find(it->typeName)->itemClass, m);
    }
}

// Every amount of the file in the one form of its element: two decimals
// where the element carries cents, digits alone where it carries whole
// euros (or hundredths of a per cent), whatever the value.
inline void controllaImporti(const QDomElement &e)
{
    static const QHash<QString, bool> centesimi = {
        {"DatiRetributivi/Imponibile", true},
        {"DatiRetributivi/Contributo", true},
        {"Contrib1PerCento/ImponibileCtrAgg", true},
        {"Contrib1PerCento/ContribAggCorrente", true},
        {"EccMassSpet/ImpEccMassSpet", true},
        {"EccMassSpet/ContrEccMassSpet", true},
        {"EccMassSpet/ContrSolidarietaSpet", true},
        {"InfoAggCausaliContrib/ImportoAnnoMeseRif", true},
        {"AltrePartiteACredito/SommaACredito", true},
        {"DatiRetributivi/RetribTeorica", false},
        {"InfoAggCausaliContrib/BaseRif", false},
        {"RetribuzioneOrdinaria/ImpRetrOrdinaria", false},
        {"DatiQuadraturaRetrContr/TotaleADebito", false},
        {"DatiQuadraturaRetrContr/TotaleACredito", false},
        {"Collaboratore/Imponibile", false},
        {"Collaboratore/Aliquota", false},
        {"Agevolazione/ImpAgevolazione", false},
    };
    static const QRegularExpression dueDecimali(QStringLiteral("^-?[0-9]+\\.[0-9]{2}$"));
    static const QRegularExpression interi(QStringLiteral("^-?[0-9]+$"));
    for (QDomElement f = e.firstChildElement(); !f.isNull(); f = f.nextSiblingElement()) {
        const auto it = centesimi.constFind(e.tagName() + QLatin1Char('/') + f.tagName());
        if (it != centesimi.constEnd()) {
            EXPECT_TRUE((*it ? dueDecimali : interi).match(f.text()).hasMatch())
                << e.tagName().toStdString() << "/" << f.tagName().toStdString() << " = " << f.text().toStdString();
        }
        controllaImporti(f);
    }
}

inline void controllaDocumento(const QByteArray &xml)
{
    QDomDocument dom;
    QString errore;
    ASSERT_TRUE(dom.setContent(xml, &errore)) << errore.toStdString();
    ASSERT_EQ(dom.documentElement().tagName().toStdString(), modello().rootName);
    controllaAlbero(dom.documentElement(), modello().rootClass);
    controllaImporti(dom.documentElement());
}

} // namespace documentotest
