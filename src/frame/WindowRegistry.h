#pragma once

#include "PlatformAnswers.h"

#include <QSet>
#include <QString>
#include <QWidget>
#include <functional>
#include <typeindex>
#include <unordered_map>

// Every window exists at most once and is reached by its type from anywhere. A reference to a
// window that does not exist yet creates it, hidden, and runs its Form_Load. This registry is
// the program's only global state besides what the windows' own controls hold.
class WindowRegistry {
public:
    static WindowRegistry& instance();

    template <class W> W& window()
    {
        if (auto it = m_windows.find(typeid(W)); it != m_windows.end())
            return static_cast<W&>(*it->second);
        auto* created = new W;
        m_windows.emplace(typeid(W), created);
        created->Form_Load();
        return *created;
    }

    template <class W> [[nodiscard]] bool isLoaded() const
    {
        return m_windows.find(typeid(W)) != m_windows.end();
    }

    // The window disappears at once; the object itself goes when control returns to the event
    // loop, so a handler may unload its own window and still finish.
    template <class W> void unload() { unload(typeid(W)); }

    // Destroys every window immediately. Called when the program ends and between tests.
    void unloadAll();

    // The folder that holds irudiak/ and pictures/.
    [[nodiscard]] QString programFolder() const;

    // Ends the program at once: no window's close handler runs.
    void endProgram(int status);
    // The answers given in place of the user's, the desktop's and the sound system's.
    [[nodiscard]] PlatformAnswers& answers() { return m_answers; }

    // True the first time a key is given, so a problem is told on standard error only once.
    bool firstReport(const QString& key);

private:
    WindowRegistry() = default;
    void unload(std::type_index type);

    std::unordered_map<std::type_index, QWidget*> m_windows;
    QSet<QString> m_reported;
    PlatformAnswers m_answers;
};

// A window by its class, created on first use: Form<Mahaia>().Lblabe.
template <class W> W& Form()
{
    return WindowRegistry::instance().window<W>();
}
