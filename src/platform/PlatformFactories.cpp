#include "platform/HidPresenceWatcher.h"
#include "platform/HidTransport.h"
#include "platform/KeyEventPoster.h"

#include "platform/linux/HidapiTransport.h"
#include "platform/linux/UdevHidPresenceWatcher.h"
#include "platform/linux/XTestKeyEventPoster.h"

namespace {
HidPresenceWatcher::Factory &watcherFactory()
{
    static HidPresenceWatcher::Factory factory;
    return factory;
}
HidTransport::Factory &transportFactory()
{
    static HidTransport::Factory factory;
    return factory;
}
KeyEventPoster::Factory &posterFactory()
{
    static KeyEventPoster::Factory factory;
    return factory;
}
} // namespace

std::unique_ptr<HidPresenceWatcher> HidPresenceWatcher::create()
{
    if (watcherFactory())
        return watcherFactory()();
    return std::make_unique<UdevHidPresenceWatcher>();
}

void HidPresenceWatcher::setFactory(Factory factory)
{
    watcherFactory() = std::move(factory);
}

std::unique_ptr<HidTransport> HidTransport::create()
{
    if (transportFactory())
        return transportFactory()();
    return std::make_unique<HidapiTransport>();
}

void HidTransport::setFactory(Factory factory)
{
    transportFactory() = std::move(factory);
}

std::unique_ptr<KeyEventPoster> KeyEventPoster::create()
{
    if (posterFactory())
        return posterFactory()();
    return std::make_unique<XTestKeyEventPoster>();
}

void KeyEventPoster::setFactory(Factory factory)
{
    posterFactory() = std::move(factory);
}
