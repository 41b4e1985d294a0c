#pragma once
// The fixture of the dataset model's tests: a dataset of three records under
// a model watched by Qt's model tester, whose every complaint fails the test.
#include "DataSetModel.h"
#include "TestPrinters.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>
#include <memory>

using namespace platform;

namespace {

// Any complaint of Qt's model tester fails the test that caused it.
QStringList g_modelWarnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_modelWarnings << msg;
}

class DataSetModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_modelWarnings.clear();
        m_previous = qInstallMessageHandler(collectWarnings);
        ds.setFieldDefs({{"ID", FieldType::Integer},
                         {"NAME", FieldType::String, 10},
                         {"AMOUNT", FieldType::Currency},
                         {"HIDDEN", FieldType::Integer}});
        ds.createDataSet();
        ds.fieldByName("HIDDEN").setVisible(false);
        ds.fieldByName("NAME").setDisplayLabel("Nome");
        ds.fieldByName("AMOUNT").setDisplayFormat("#,##0.00");
        for (int i = 1; i <= 3; ++i)
            ds.appendRecord({Value(i), Value(QString(QChar('A' + i - 1))), Value(Currency::fromInt(i * 1000))});
        ds.mergeChangeLog();
        ds.first();
        model = std::make_unique<DataSetModel>(&ds);
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    void TearDown() override
    {
        tester.reset();
        model.reset();
        qInstallMessageHandler(m_previous);
        EXPECT_TRUE(g_modelWarnings.isEmpty()) << g_modelWarnings.join('\n').toStdString();
    }

    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->data(model->index(r, c)).toString();
        return out;
    }

    DataSet ds;
    std::unique_ptr<DataSetModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
    QtMessageHandler m_previous = nullptr;
};

} // namespace
