// Costs of the receiver link: one poll with an audio report against the bare
// decoder, audio delay at the mouse's real rate, and idle CPU while attached.
#include "app/VelUserInfoData.h"
#include "device/VelHidapiManager.h"
#include "platform/VelUserDefaults.h"
#include "sim/VelSbcEncoder.h"
#include "sim/VelSimulatedReceiver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sbc/sbc.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <cmath>

namespace {

struct FreshManager : VelHidapiManager {
};

QByteArray toneFrame()
{
    QByteArray pcm(VelSbcEncoder::kSamplesPerFrame * 2, '\0');
    for (int i = 0; i < VelSbcEncoder::kSamplesPerFrame; ++i) {
        const qint16 s = qint16(6000 * std::sin(i * 0.17));
        memcpy(pcm.data() + 2 * i, &s, 2);
    }
    VelSbcEncoder encoder;
    return encoder.encode(pcm).first();
}

QList<QByteArray> toneFrames(int count)
{
    QByteArray pcm(VelSbcEncoder::kSamplesPerFrame * 2 * count, '\0');
    for (int i = 0; i < pcm.size() / 2; ++i) {
        const qint16 s = qint16(6000 * std::sin(i * 0.17));
        memcpy(pcm.data() + 2 * i, &s, 2);
    }
    VelSbcEncoder encoder;
    return encoder.encode(pcm);
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSecondsOfThisProcess()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // Fields after the parenthesised command name; utime and stime are 14 and 15.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double ticks = double(fields.value(11).toLongLong() + fields.value(12).toLongLong());
    return ticks / double(sysconf(_SC_CLK_TCK));
}

void BM_PollOneAudioReport(benchmark::State &state)
{
    VelSimulatedReceiver receiver(2);
    receiver.plug();
    FreshManager hid;
    hid.setTransport(receiver.createTransport());
    hid.hidRequestReadMouseInfoVid(0xABC8, 0xCA01, [](qint64, qint64) {});
    while (receiver.queuedReports() > 0)
        hid.timerRun();
    qint64 delivered = 0;
    hid.rowdataPcmAudioCallBack([&](const QByteArray &pcm, qint64) { delivered += pcm.size(); });
    const QByteArray frame = toneFrame();
    for (auto _ : state) {
        receiver.queueReport(frame);
        hid.timerRun();
    }
    benchmark::DoNotOptimize(delivered);
    hid.hidRequestClose();
}
BENCHMARK(BM_PollOneAudioReport)->Unit(benchmark::kMicrosecond);

void BM_BareSbcDecode(benchmark::State &state)
{
    sbc_t sbc;
    sbc_init(&sbc, 0);
    const QByteArray frame = toneFrame();
    unsigned char out[3840];
    for (auto _ : state) {
        size_t written = 0;
        benchmark::DoNotOptimize(sbc_decode(&sbc, frame.constData(), 32, out, sizeof out, &written));
    }
    sbc_finish(&sbc);
}
BENCHMARK(BM_BareSbcDecode)->Unit(benchmark::kMicrosecond);

// The simulated receiver plugged in and opened by the report manager, as at an arrival.
void attach(VelSimulatedReceiver &receiver, FreshManager &hid)
{
    receiver.plug();
    hid.setTransport(receiver.createTransport());
    hid.hidRequestReadMouseInfoVid(0xABC8, 0xCA01, [](qint64, qint64) {});
}

// 60 s of audio at 125 frames a second against the real 10 ms poll timer.
void BM_AudioDelayOverSixtySeconds(benchmark::State &state)
{
    for (auto _ : state) {
        VelSimulatedReceiver receiver(2);
        FreshManager hid;
        attach(receiver, hid);
        runFor(50);
        qint64 worstNs = 0, late = 0, received = 0;
        receiver.setReadObserver([&](const QByteArray &report, qint64 waitedNs) {
            if (report.startsWith('\x9C')) {
                ++received;
                worstNs = std::max(worstNs, waitedNs);
                if (waitedNs > 20'000'000)
                    ++late;
            }
        });
        const QList<QByteArray> frames = toneFrames(125 * 60);
        QString error;
        receiver.streamAudioFrames(frames, &error);
        while (receiver.isStreaming())
            runFor(100);
        runFor(100);
        state.counters["frames"] = double(frames.size());
        state.counters["received"] = double(received);
        state.counters["lost"] = double(frames.size() - received);
        state.counters["dropped_in_queue"] = double(receiver.reportsDropped());
        state.counters["later_than_20ms"] = double(late);
        state.counters["worst_delay_ms"] = double(worstNs) / 1e6;
        hid.hidRequestClose();
    }
}
BENCHMARK(BM_AudioDelayOverSixtySeconds)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// CPU the app's device link costs per second while the receiver sits idle.
void BM_IdleCpuWhileAttached(benchmark::State &state)
{
    for (auto _ : state) {
        VelSimulatedReceiver receiver(2);
        FreshManager hid;
        attach(receiver, hid);
        runFor(100);
        const double before = cpuSecondsOfThisProcess();
        runFor(10000);
        const double after = cpuSecondsOfThisProcess();
        state.counters["cpu_ms_per_s"] = (after - before) * 1000.0 / 10.0;
        hid.hidRequestClose();
    }
}
BENCHMARK(BM_IdleCpuWhileAttached)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    VelUserDefaults::standardUserDefaults().reloadForTesting(dir.filePath(QStringLiteral("defaults.ini")));
    // The information read prints every byte; keep the figures readable.
    // The information read prints every byte; the figures go to standard
    // error so that they stay readable.
    if (!std::freopen("/dev/null", "w", stdout))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
