#include "Exceptions.h"
#include "FormRegistry.h"

#include <QLabel>
#include <gtest/gtest.h>

using platform::FormRegistry;

namespace {
class TfmProva : public QLabel {
public:
    explicit TfmProva(QWidget *owner) : QLabel(owner) { setText(QStringLiteral("prova")); }
};
} // namespace

TEST(FormRegistry, CreatesARegisteredClassByNameWhateverTheCaseWithItsOwner)
{
    platform::ScopedFormClass<TfmProva> scoped(QStringLiteral("TfmProva"));
    ASSERT_TRUE(FormRegistry::IsRegistered(QStringLiteral("tfmprova")));
    EXPECT_TRUE(FormRegistry::ClassNames().contains(QStringLiteral("TfmProva")));

    QWidget owner;
    QWidget *form = FormRegistry::Create(QStringLiteral("TFMPROVA"), &owner);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->parent(), &owner);
    auto *label = qobject_cast<QLabel *>(form);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("prova"));
}

TEST(FormRegistry, AnUnknownOrUnregisteredClassIsRefusedNamingIt)
{
    try {
        FormRegistry::Create(QStringLiteral("TfmNonEsiste"));
        FAIL() << "no error";
    } catch (const EUqError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("TfmNonEsiste"))) << e.message().toStdString();
    }
    {
        platform::ScopedFormClass<TfmProva> scoped(QStringLiteral("TfmProva"));
        EXPECT_TRUE(FormRegistry::IsRegistered(QStringLiteral("TfmProva")));
    }
    EXPECT_FALSE(FormRegistry::IsRegistered(QStringLiteral("TfmProva")));
    EXPECT_THROW(FormRegistry::Create(QStringLiteral("TfmProva")), EUqError);
}

TEST(FormRegistry, RegisteringAgainReplacesTheFactoryAndANullWindowIsAnError)
{
    int made = 0;
    FormRegistry::Register(QStringLiteral("TfmContata"), [&made](QWidget *owner) -> QWidget * {
        ++made;
        return new QLabel(owner);
    });
    delete FormRegistry::Create(QStringLiteral("TfmContata"));
    EXPECT_EQ(made, 1);
    FormRegistry::Register(QStringLiteral("TfmContata"), [](QWidget *) -> QWidget * { return nullptr; });
    EXPECT_THROW(FormRegistry::Create(QStringLiteral("TfmContata")), EUqError);
    EXPECT_EQ(made, 1);
    FormRegistry::Unregister(QStringLiteral("TfmContata"));
    EXPECT_THROW(FormRegistry::Register(QString(), [](QWidget *o) -> QWidget * { return new QLabel(o); }),
                 platform::EAssertionFailed);
}
