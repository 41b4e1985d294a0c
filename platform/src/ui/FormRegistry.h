#pragma once
// The class registry of windows: a window class is known by its name
// ("TfmZepParametri") and created from it, so that a command can name the
// window it opens without knowing its type.
//
// Static libraries leave out object files nothing refers to, so a window
// unit does not register itself from a static initializer: it offers a
// registration function, and the program (and a test) calls it at start-up,
// before anything opens a window by name.
//
//     platform::FormRegistry::Register("TfmZepParametri",
//         [](QWidget *owner) { return new TfmZepParametri(owner); });
//     QWidget *w = platform::FormRegistry::Create("TfmZepParametri", main);
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace platform {

class FormRegistry {
public:
    // Creates a window with the given owner (may be nullptr).
    using Factory = std::function<QWidget *(QWidget *owner)>;

    // Registers (or replaces) the class; the name compares without regard
    // to case, as the platform's class names do.
    static void Register(const QString &className, Factory factory);
    static void Unregister(const QString &className);
    static bool IsRegistered(const QString &className);
    static QStringList ClassNames();
    // A new window of the class; EUqError naming the class when it is not
    // registered.
    static QWidget *Create(const QString &className, QWidget *owner = nullptr);
};

// Registers T under `className` for the lifetime of the object (tests).
template <class T>
class ScopedFormClass {
public:
    explicit ScopedFormClass(const QString &className) : m_name(className)
    {
        FormRegistry::Register(className, [](QWidget *owner) -> QWidget * { return new T(owner); });
    }
    ~ScopedFormClass() { FormRegistry::Unregister(m_name); }
    ScopedFormClass(const ScopedFormClass &) = delete;
    ScopedFormClass &operator=(const ScopedFormClass &) = delete;

private:
    QString m_name;
};

} // namespace platform
