#pragma once
// What is made from a text (a statement split at its parameters, a field
// map parsed), made once per text and thread: the programs give the same
// few texts again for every person of an import. Each caller has a store of
// its own (one per `make`), emptied when it holds `Max` texts so that texts
// made up on the fly cannot grow it without end. A `make` that raises
// stores nothing.
#include <QHash>
#include <QString>

namespace platform {

template <qsizetype Max = 512, typename Make>
auto madeOncePerText(const QString &text, Make make)
{
    using Made = decltype(make(text));
    thread_local QHash<QString, Made> made;
    if (const auto it = made.constFind(text); it != made.constEnd())
        return it.value();
    Made value = make(text);
    if (made.size() >= Max)
        made.clear();
    made.insert(text, value);
    return value;
}

} // namespace platform
