#include "VelMainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

bool VelMainThread::isMainThread()
{
    auto *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void VelMainThread::run(std::function<void()> work)
{
    if (!work)
        return;
    if (isMainThread()) {
        work();
        return;
    }
    post(std::move(work));
}

void VelMainThread::post(std::function<void()> work)
{
    auto *app = QCoreApplication::instance();
    if (!work || !app)
        return;
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}
