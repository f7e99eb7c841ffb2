// The microphone-to-socket path of the recognizer: how long a chunk takes from
// leaving the capture thread to its binary message being written to the
// socket (p50/p99 over 60 s of audio paced in real time), and the CPU time of
// the whole speech path (capture hand-over, recording tap, level meter,
// WebSocket) per second of audio. The speech service is the local service.

#include "../../common/LocalServiceProcess.h"

#include "app/VelUserInfoData.h"
#include "platform/AudioInput.h"
#include "platform/VelUserDefaults.h"
#include "speech/VelAIUIWebApiAsrService.h"
#include "speech/VelAudioObjectManager.h"
#include "util/VelLog.h"
#include "util/VelServiceConfig.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <thread>

namespace {

struct Recognizer : VelAIUIWebApiAsrService {};

class PacedMicrophone : public AudioInput
{
public:
    BufferHandler handler;
    bool start(BufferHandler h) override
    {
        handler = std::move(h);
        return true;
    }
    void stop() override {}
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void BM_MicrophoneChunkToSocket(benchmark::State &state)
{
    const int seconds = qEnvironmentVariableIntValue("VEL_BENCH_AUDIO_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("VEL_BENCH_AUDIO_SECONDS")
                            : 60;
    QTemporaryDir dir;
    VelUserDefaults::standardUserDefaults().reloadForTesting(dir.filePath("defaults.ini"));
    LocalServiceProcess service;
    if (!service.start(dir.filePath("service"))) {
        state.SkipWithError("the local service did not start");
        return;
    }
    auto config = VelServiceConfig::buildDefaults();
    config.speechWebSocketUrl = QStringLiteral("ws://127.0.0.1:%1/v1/aiui").arg(service.port("speech"));
    VelServiceConfig::setOverridesForTesting(config);
    // A script with nothing to say: the service only swallows audio.
    service.send("POST", QUrl(service.base("api") + "/admin/speech-script?default=1"), "end rpl done\n");
    VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().setDevieType(1);

    for (auto _ : state) {
        Recognizer asr;
        PacedMicrophone *mic = nullptr;
        asr.setAudioInputFactory([&mic] {
            auto input = std::make_unique<PacedMicrophone>();
            mic = input.get();
            return input;
        });
        QMutex mutex;
        QList<qint64> handedOver; // when each chunk left the capture thread
        QList<qint64> latenciesNs;
        QObject::connect(&asr, &VelAIUIWebApiAsrService::binaryMessageSent, [&](qint64, bool endMarker) {
            const qint64 written = nowNs();
            if (endMarker)
                return;
            QMutexLocker lock(&mutex);
            if (!handedOver.isEmpty())
                latenciesNs << written - handedOver.takeFirst();
        });
        VelAudioObjectManager::sharedManager().beginRecordWithRecordorZhiMu(QStringLiteral("录音"));
        asr.beginAsrWithRecognitionLanguage(QStringLiteral("main"), QString(), [](bool, const QString &, bool, qint64) {});
        QElapsedTimer wait;
        wait.start();
        while (!(mic && mic->handler && asr.isConnectionOpen()) && wait.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

        const int chunks = seconds * 25;
        QEventLoop loop;
        QObject::connect(&asr, &VelAIUIWebApiAsrService::binaryMessageSent, &loop, [&] {
            QMutexLocker lock(&mutex);
            if (latenciesNs.size() >= chunks)
                loop.quit();
        });
        QTimer::singleShot((seconds + 10) * 1000, &loop, &QEventLoop::quit); // a guard, not the way out
        const double cpuBefore = cpuSeconds();
        std::thread capture([&] {
            const QByteArray chunk(1280, '\x11');
            auto next = std::chrono::steady_clock::now();
            for (int i = 0; i < chunks; ++i) {
                next += std::chrono::milliseconds(40);
                std::this_thread::sleep_until(next);
                {
                    QMutexLocker lock(&mutex);
                    handedOver << nowNs();
                }
                mic->handler(chunk);
            }
        });
        loop.exec();
        capture.join();
        const double cpu = cpuSeconds() - cpuBefore;
        asr.endAsr();
        VelAudioObjectManager::sharedManager().endRecord();

        std::sort(latenciesNs.begin(), latenciesNs.end());
        const auto at = [&](double q) { return latenciesNs.isEmpty() ? 0.0 : latenciesNs.at(qsizetype(q * (latenciesNs.size() - 1))) / 1000.0; };
        state.SetIterationTime(seconds);
        state.counters["chunks"] = double(latenciesNs.size());
        state.counters["p50_us"] = at(0.50);
        state.counters["p99_us"] = at(0.99);
        state.counters["max_us"] = at(1.0);
        state.counters["cpu_ms_per_audio_s"] = cpu * 1000.0 / seconds;
        std::printf("speech path: %lld chunks, latency p50 %.1f us, p99 %.1f us, max %.1f us; CPU %.2f ms per second of audio\n",
                    qint64(latenciesNs.size()), at(0.5), at(0.99), at(1.0), cpu * 1000.0 / seconds);
    }
}
BENCHMARK(BM_MicrophoneChunkToSocket)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    VelLog::setUseStandardError(true);
    // The per-chunk log lines go to a file, as in the app; keep them off the terminal.
    std::freopen("/dev/null", "w", stderr);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
