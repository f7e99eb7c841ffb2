#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

// Process-wide notifications without an object. Observers are tied to a
// context object and vanish with it, so a window that is destroyed never
// receives a late notification.
class VelNotificationCenter : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    static VelNotificationCenter &defaultCenter();

    // Delivers to every observer of `name` on the main thread (queued when
    // called from another thread).
    void post(const QString &name);
    void addObserver(const QString &name, QObject *context, Handler handler);
    void removeObserver(QObject *context);
    void removeObserver(QObject *context, const QString &name);

private:
    VelNotificationCenter() = default;
    void deliver(const QString &name);

    struct Observer {
        QPointer<QObject> context;
        Handler handler;
        quint64 id = 0;
    };
    QHash<QString, QList<Observer>> m_observers;
    quint64 m_nextId = 1;
};
