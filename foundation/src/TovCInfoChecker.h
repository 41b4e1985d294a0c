#pragma once
// The checks of the check-result dialog (TfmTovInfo), without any window:
// the message lines with their section title, the mandatory-field labels
// and the field checks.
#include "SameName.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace platform {
class DataSet;
class Field;
}

// Message lines, section title and mandatory-field labels; the field checks.
class TTovInfoChecker {
public:
    using FieldCheck = std::function<QString(const QString &fieldName, platform::DataSet &dataSet)>;

    void Clear();
    void SetSectionTitle(const QString &text) { m_sectionTitle = text; }
    const QString &SectionTitle() const { return m_sectionTitle; }
    // With a section title set, the line "******** <title>" goes first.
    void AddMessage(const QString &text);
    const QStringList &Messages() const { return m_messages; }

    // "NAME=Label" pairs; a field with a label is mandatory.
    void SetFieldLabels(const QStringList &labels);
    const QStringList &FieldLabels() const { return m_labels; }
    // The label of a field (names compared without regard to case); empty
    // when it has none.
    QString FieldLabel(const QString &fieldName) const;

    // Every field of every dataset, in order: a mandatory field without a
    // value gives " - Dato obbligatorio mancante: <label>"; the others are
    // given to `check`, whose non-empty answer is added. True when nothing
    // was added.
    bool CheckDataSets(const QList<platform::DataSet *> &sets, const FieldCheck &check = {});

    // Text fields: not empty; dates: after the zero date; everything else:
    // its text read as a number (0 when it is none) is not 0.
    static bool FieldHasValue(const platform::Field &field);

private:
    QStringList m_messages;
    QString m_sectionTitle;
    QStringList m_labels;
    // A field name hashed and compared without regard to case, no folded
    // copy made: the labels are set and asked for every record checked.
    struct Name {
        QString text;
        bool operator==(const Name &other) const { return platform::sameName(text, other.text); }
        static size_t hash(const QString &text, size_t seed);
        friend size_t qHash(const Name &name, size_t seed) { return hash(name.text, seed); }
    };
    // The labels by field name, the first pair of a name only.
    QHash<Name, QString> m_labelOf;
};
