#include "UqFChildDBDA.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "RecordingServices.h"
#include "UqFrame.h"

#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Table {
    explicit Table(const QString &name, QStringList *posted = nullptr) : ds(name)
    {
        ds.addFieldDef(QStringLiteral("ID"), FieldType::Integer);
        ds.createDataSet();
        ds.appendRecord({Value(1)});
        if (posted)
            ds.events().afterPost = [posted](DataSet &d) { *posted << d.name(); };
    }
    void change(int v)
    {
        ds.edit();
        ds.setFieldValue(QStringLiteral("ID"), Value(v));
    }
    DataSet ds;
};

// A data source that keeps its own editing state.
class FlagSource : public DataSource {
public:
    using DataSource::DataSource;
    bool pending = false;
    int posts = 0, cancels = 0;
    bool Pending() const override { return pending; }
    void Post() override
    {
        ++posts;
        pending = false;
    }
    void Cancel() override
    {
        ++cancels;
        pending = false;
    }
};

// Window: source A, a frame holding a frame holding source B, then source C.
struct Window {
    explicit Window(QStringList *posted)
        : a(QStringLiteral("A"), posted), b(QStringLiteral("B"), posted), c(QStringLiteral("C"), posted)
    {
        new DataSource(&form, &a.ds);
        auto *outer = new TfrUqBase(&form);
        auto *inner = new TfrUqBase(outer->paClient);
        sourceB = new DataSource(inner, &b.ds);
        new DataSource(&form, &c.ds);
    }
    Table a, b, c;
    TfmUqChildDBDA form;
    DataSource *sourceB;
};

// A window that notes its own steps.
class Steps : public TfmUqChildDBDA {
public:
    QStringList steps;
    bool refuse = false;

protected:
    void FormShow() override
    {
        steps << QStringLiteral("show");
        throw EUqError(QStringLiteral("Tabella non trovata"));
    }
    bool FormCloseQuery() override
    {
        steps << QStringLiteral("query");
        return !refuse;
    }
    void FormClose() override { steps << QStringLiteral("close"); }
};

} // namespace

TEST(UqChildDBDA, OwnStepsRunOnceOnShowAndOnAnAcceptedClose)
{
    RecordingServicesScope services;
    Steps w;
    w.refuse = true;
    w.show();
    w.hide();
    w.show();
    EXPECT_EQ(services->messageTexts(), QStringList{"Tabella non trovata"}) << "shown, not raised";
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    w.refuse = false;
    EXPECT_TRUE(w.close());
    EXPECT_EQ(w.steps, (QStringList{"show", "query", "query", "close"}));
}

TEST(UqChildDBDA, AllBrowsingMeansNoChangeAndPostDoesNothing)
{
    QStringList posted;
    Window w(&posted);
    EXPECT_FALSE(w.form.DataChanged());
    EXPECT_EQ(w.form.DataSources().size(), 3);
    w.form.PostData();
    w.form.CancelData();
    EXPECT_TRUE(posted.isEmpty());
}

TEST(UqChildDBDA, SourceTwoFramesDeepIsFoundAtTheFramesPlace)
{
    QStringList posted;
    Window w(&posted);
    w.b.change(2);
    EXPECT_TRUE(w.form.DataChanged());
    const QList<DataSource *> sources = w.form.DataSources();
    ASSERT_EQ(sources.size(), 3);
    EXPECT_EQ(sources.at(0)->dataSet(), &w.a.ds);
    EXPECT_EQ(sources.at(1), w.sourceB);
    EXPECT_EQ(sources.at(2)->dataSet(), &w.c.ds);
}

TEST(UqChildDBDA, AFramePutIntoALayoutAfterwardsKeepsItsPlace)
{
    // The window makes source A, then a frame with source B, then source C,
    // and only then lays the frame out in a panel made before them all: the
    // panel's place in the tree comes first, but B still comes after A.
    QStringList posted;
    Table a(QStringLiteral("A"), &posted), b(QStringLiteral("B"), &posted), c(QStringLiteral("C"), &posted);
    TfmUqChildDBDA form;
    auto *panel = new QWidget(&form);
    new DataSource(&form, &a.ds);
    auto *frame = new TfrUqBase(&form);
    new DataSource(frame, &b.ds);
    new DataSource(&form, &c.ds);
    auto *layout = new QVBoxLayout(panel);
    layout->addWidget(frame); // re-parents the frame into the panel
    ASSERT_EQ(frame->parent(), panel);

    a.change(1);
    b.change(2);
    c.change(3);
    ASSERT_TRUE(form.DataChanged());
    const QList<DataSource *> sources = form.DataSources();
    ASSERT_EQ(sources.size(), 3);
    EXPECT_EQ(sources.at(0)->dataSet(), &a.ds);
    EXPECT_EQ(sources.at(1)->dataSet(), &b.ds);
    EXPECT_EQ(sources.at(2)->dataSet(), &c.ds);
    form.PostData();
    EXPECT_EQ(posted, (QStringList{"A", "B", "C"}));
}

TEST(UqChildDBDA, PendingSourcesArePostedInFormOrder)
{
    QStringList posted;
    Window w(&posted);
    w.c.change(3);
    w.b.change(2);
    ASSERT_TRUE(w.form.DataChanged());
    w.form.PostData();
    EXPECT_EQ(posted, (QStringList{"B", "C"}));
    EXPECT_EQ(w.b.ds.fieldByName(QStringLiteral("ID")).asInteger(), 2);
    EXPECT_FALSE(w.form.DataChanged());
}

TEST(UqChildDBDA, ExceptionStopsThePostWalk)
{
    QStringList posted;
    Window w(&posted);
    w.b.ds.events().beforePost = [](DataSet &) {
        throw EUqError(QStringLiteral("Salvare prima di cambiare modello."));
    };
    w.b.change(2);
    w.c.change(3);
    ASSERT_TRUE(w.form.DataChanged());
    EXPECT_THROW(w.form.PostData(), EUqError);
    EXPECT_TRUE(posted.isEmpty());
    EXPECT_TRUE(w.c.ds.isEditing()) << "the source after the failing one stays pending";
}

TEST(UqChildDBDA, CancelUsesTheListOfTheLastDataChanged)
{
    QStringList posted;
    Window w(&posted);
    w.a.change(5);
    ASSERT_TRUE(w.form.DataChanged());
    // A source added after the last DataChanged is not in the list.
    Table late(QStringLiteral("L"));
    new DataSource(&w.form, &late.ds);
    late.change(9);
    w.form.CancelData();
    EXPECT_FALSE(w.a.ds.isEditing());
    EXPECT_EQ(w.a.ds.fieldByName(QStringLiteral("ID")).asInteger(), 1);
    EXPECT_TRUE(late.ds.isEditing());
    late.ds.cancel();
}

TEST(UqChildDBDA, OwnEditingStateAndDestroyedSources)
{
    TfmUqChildDBDA form;
    auto *flag = new FlagSource(&form);
    auto *gone = new FlagSource(&form);
    EXPECT_FALSE(form.DataChanged());
    flag->pending = true;
    gone->pending = true;
    EXPECT_TRUE(form.DataChanged());
    delete gone;
    form.PostData();
    EXPECT_EQ(flag->posts, 1);
    EXPECT_EQ(form.DataSources().size(), 1);
}
