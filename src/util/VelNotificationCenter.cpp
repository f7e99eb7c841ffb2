#include "VelNotificationCenter.h"

#include "VelMainThread.h"

#include <algorithm>

VelNotificationCenter &VelNotificationCenter::defaultCenter()
{
    static VelNotificationCenter *center = new VelNotificationCenter;
    return *center;
}

void VelNotificationCenter::post(const QString &name)
{
    VelMainThread::run([this, name] { deliver(name); });
}

void VelNotificationCenter::deliver(const QString &name)
{
    // Copy first: a handler may add or remove observers while we iterate.
    const QList<Observer> observers = m_observers.value(name);
    for (const Observer &observer : observers) {
        if (!observer.context)
            continue;
        // Skip observers removed by an earlier handler of this round.
        const auto &current = m_observers.value(name);
        const bool stillThere = std::any_of(current.begin(), current.end(),
                                            [&](const Observer &o) { return o.id == observer.id; });
        if (stillThere && observer.handler)
            observer.handler();
    }
    auto it = m_observers.find(name);
    if (it != m_observers.end())
        it->removeIf([](const Observer &o) { return o.context.isNull(); });
}

void VelNotificationCenter::addObserver(const QString &name, QObject *context, Handler handler)
{
    if (!context || !handler)
        return;
    m_observers[name].append(Observer{context, std::move(handler), m_nextId++});
    connect(context, &QObject::destroyed, this, [this, context] { removeObserver(context); });
}

void VelNotificationCenter::removeObserver(QObject *context)
{
    for (auto it = m_observers.begin(); it != m_observers.end(); ++it)
        it->removeIf([context](const Observer &o) { return o.context.isNull() || o.context == context; });
}

void VelNotificationCenter::removeObserver(QObject *context, const QString &name)
{
    auto it = m_observers.find(name);
    if (it != m_observers.end())
        it->removeIf([context](const Observer &o) { return o.context.isNull() || o.context == context; });
}
