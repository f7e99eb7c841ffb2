#pragma once

#include "platform/HidTransport.h"

#include <QByteArray>
#include <QList>

#include <deque>
#include <memory>

// A scripted HID transport: the interfaces enumeration returns, which paths
// open, the reports reads return (in order; an empty entry is a read error)
// and a record of what was written and opened.
struct FakeHidScript {
    bool initOk = true;
    QList<HidInterfaceInfo> interfaces;
    QStringList openable;
    QStringList nodePaths;
    std::deque<QByteArray> reports;
    QList<QByteArray> written;
    QStringList opened;
    int exits = 0;
};

class FakeHidTransport : public HidTransport
{
public:
    explicit FakeHidTransport(std::shared_ptr<FakeHidScript> script)
        : m_script(std::move(script))
    {
    }
    bool init() override { return m_script->initOk; }
    void exit() override { ++m_script->exits; }
    QList<HidInterfaceInfo> enumerate(uint16_t, uint16_t) override { return m_script->interfaces; }
    std::unique_ptr<HidDevice> openPath(const QString &path) override
    {
        m_script->opened << path;
        if (!m_script->openable.contains(path))
            return nullptr;
        return std::make_unique<Device>(m_script);
    }
    QString errorText() const override { return QStringLiteral("fake"); }
    QStringList receiverNodePaths(uint16_t, uint16_t) override { return m_script->nodePaths; }

    static HidInterfaceInfo interface(const QString &path, uint16_t usagePage, uint16_t usage)
    {
        HidInterfaceInfo info;
        info.path = path;
        info.vendorId = 0xABC8;
        info.productId = 0xCA01;
        info.usagePage = usagePage;
        info.usage = usage;
        return info;
    }

private:
    class Device : public HidDevice
    {
    public:
        explicit Device(std::shared_ptr<FakeHidScript> script)
            : m_script(std::move(script))
        {
        }
        int read(uint8_t *data, size_t length) override
        {
            if (m_script->reports.empty())
                return 0;
            const QByteArray report = m_script->reports.front();
            m_script->reports.pop_front();
            if (report.isEmpty())
                return -1;
            const size_t n = std::min(length, size_t(report.size()));
            memcpy(data, report.constData(), n);
            return int(n);
        }
        int write(const uint8_t *data, size_t length) override
        {
            m_script->written << QByteArray(reinterpret_cast<const char *>(data), qsizetype(length));
            return int(length);
        }
        bool setNonblocking(bool) override { return true; }
        QString errorText() const override { return QStringLiteral("fake"); }

    private:
        std::shared_ptr<FakeHidScript> m_script;
    };

    std::shared_ptr<FakeHidScript> m_script;
};
