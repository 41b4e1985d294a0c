#pragma once
// The floor the declaration file's benchmarks compare with: the bytes of a
// document replayed as a flat list of QXmlStreamWriter calls (start element
// with its attributes, characters, end element), recorded beforehand, into
// a plain QFile. Any writer that serialises with QXmlStreamWriter pays at
// least this.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QXmlStreamAttributes>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <vector>

namespace benchxml {

struct Event {
    enum Kind { Start, End, Text } kind;
    QString name; // the element's name, or the text
    QXmlStreamAttributes attributes;
};

// The writer calls that give `document` back.
inline std::vector<Event> record(const QByteArray &document)
{
    std::vector<Event> events;
    QXmlStreamReader reader(document);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            events.push_back({Event::Start, reader.name().toString(), reader.attributes()});
            break;
        case QXmlStreamReader::EndElement: events.push_back({Event::End, {}, {}}); break;
        case QXmlStreamReader::Characters: events.push_back({Event::Text, reader.text().toString(), {}}); break;
        default: break;
        }
    }
    return events;
}

// Replays the calls into the file; false when it cannot be written.
inline bool replay(const std::vector<Event> &events, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QXmlStreamWriter w(&file);
    w.writeStartDocument(QStringLiteral("1.0"));
    for (const Event &e : events) {
        if (e.kind == Event::Start) {
            w.writeStartElement(e.name);
            w.writeAttributes(e.attributes);
        } else if (e.kind == Event::End) {
            w.writeEndElement();
        } else {
            w.writeCharacters(e.name);
        }
    }
    w.writeEndDocument();
    return !w.hasError();
}

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace benchxml
