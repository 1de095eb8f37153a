#include "WindowRegistry.h"

#include <QCoreApplication>

WindowRegistry& WindowRegistry::instance()
{
    static WindowRegistry registry;
    return registry;
}

void WindowRegistry::unload(std::type_index type)
{
    auto it = m_windows.find(type);
    if (it == m_windows.end())
        return;
    QWidget* window = it->second;
    m_windows.erase(it);
    window->hide();
    window->deleteLater();
}

void WindowRegistry::unloadAll()
{
    auto windows = std::move(m_windows);
    m_windows.clear();
    for (auto& [type, window] : windows)
        delete window;
}

QString WindowRegistry::programFolder() const
{
    return m_answers.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                             : m_answers.programFolder;
}

bool WindowRegistry::firstReport(const QString& key)
{
    if (m_reported.contains(key))
        return false;
    m_reported.insert(key);
    return true;
}

void WindowRegistry::endProgram(int status)
{
    if (m_answers.programEnd) {
        m_answers.programEnd(status);
        return;
    }
    QCoreApplication::exit(status);
}
