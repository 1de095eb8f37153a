#include "PlaybackFeeder.h"

#include "SdlLibrary.h"
#include "frame/PathBytes.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr std::size_t Channels = AudioOutput::Channels;
constexpr std::size_t FramesPerSecond = AudioOutput::SampleRate;
// Two seconds queued: short songs are decoded whole before the device starts, and a song's
// first moments never wait for the disk.
constexpr std::size_t RingSamples = 2 * FramesPerSecond * Channels;
constexpr std::size_t ChunkFrames = 2048;
// The feeder sleeps until this much of the ring has room and then fills it in one burst: one
// wake-up every half second instead of one per callback, with a second and a half still queued.
constexpr std::size_t RefillSamples = FramesPerSecond / 2 * Channels;
// The end of a song is announced this long before its last frame is heard, so that the next
// song can be opened and queued behind it without a gap.
constexpr std::uint64_t HandOverSamples = FramesPerSecond / 4 * Channels;

// A pipe or a device would block the open or never end, so only plain files are tried.
Result<std::unique_ptr<SongSource>> openFile(const QString& path)
{
    switch (PathBytes::kindOf(path)) {
    case PathBytes::Kind::File:
        return SongSource::open(path);
    case PathBytes::Kind::Missing:
        return Failure{QStringLiteral("no such file")};
    case PathBytes::Kind::Folder:
    case PathBytes::Kind::Other:
        break;
    }
    return Failure{QStringLiteral("not a regular file")};
}

} // namespace

PlaybackFeeder::PlaybackFeeder(Reporter reporter)
    : m_reporter(std::move(reporter)), m_ring(RingSamples), m_scratch(ChunkFrames * Channels),
      m_thread([this] { run(); })
{
}

PlaybackFeeder::~PlaybackFeeder()
{
    Request last;
    last.quit = true;
    post(std::move(last));
    m_thread.join();
}

// Render stops taking before the device's lag is held, and the lag plays on before render
// takes again, so no render falls between the two.
void PlaybackFeeder::request(std::uint64_t generation, const QString& path, Transport transport)
{
    const DeviceLag::Clock::time_point now = DeviceLag::Clock::now();
    if (transport == Transport::Playing) {
        m_lag.resume(now);
        m_hold.store(false, std::memory_order_relaxed);
    } else {
        m_hold.store(true, std::memory_order_relaxed);
        m_lag.hold(now);
    }
    post(Request{generation, path, transport});
}

void PlaybackFeeder::post(Request request)
{
    {
        const std::lock_guard lock(m_requestMutex);
        m_request = std::move(request);
    }
    m_wakeup.raise();
}

void PlaybackFeeder::setGain(float gain)
{
    m_gain.store(gain, std::memory_order_relaxed);
    m_wakeup.raise();
}

double PlaybackFeeder::positionSeconds(std::uint64_t generation) const
{
    if (m_startGeneration.load(std::memory_order_acquire) != generation)
        return 0.0;
    const std::uint64_t start = m_songStart.load(std::memory_order_relaxed);
    const std::uint64_t read = m_ring.readIndex();
    const std::uint64_t heard =
        std::min(read - std::min(read, m_lag.samples(DeviceLag::Clock::now())),
                 m_songEnd.load(std::memory_order_relaxed));
    if (heard <= start)
        return 0.0;
    const std::uint64_t frames = (heard - start) / Channels; // whole frames: integer division
    return static_cast<double>(frames) / FramesPerSecond;
}

double PlaybackFeeder::durationSeconds(std::uint64_t generation) const
{
    if (m_startGeneration.load(std::memory_order_acquire) != generation)
        return 0.0;
    return m_duration.load(std::memory_order_relaxed);
}

bool PlaybackFeeder::renderCallback(void* userdata, float* out, std::size_t count)
{
    return static_cast<PlaybackFeeder*>(userdata)->render(out, count);
}

// Runs on the device's audio thread: no allocation, no lock, no I/O.
bool PlaybackFeeder::render(float* out, std::size_t count)
{
    const bool held = m_hold.load(std::memory_order_relaxed);
    const std::size_t got = held ? 0 : m_ring.read(out, count);
    const float gain = m_renderGain.load(std::memory_order_relaxed);
    if (gain != 1.0F)
        std::for_each(out, out + got, [gain](float& sample) { sample *= gain; });
    std::fill(out + got, out + count, 0.0F);
    m_rendered.fetch_add(count, std::memory_order_relaxed);
    if (!held)
        m_lag.rendered(got, count, DeviceLag::Clock::now());
    // Once the song's end is in the ring the feeder counts the callbacks to the last frame.
    if (m_ring.freeSpace() >= RefillSamples ||
        m_songEnd.load(std::memory_order_relaxed) != UINT64_MAX)
        m_wakeup.raise();
    return !held;
}

// A wake-up that comes while a request is applied or a chunk fed leaves m_wakeup raised, so
// the next wait returns at once and nothing posted meanwhile waits unseen.
void PlaybackFeeder::run()
{
    m_output.emplace(m_wakeup);
    for (Request request = takeRequest(); !request.quit; request = takeRequest()) {
        apply(request);
        passGain();
        if (feed())
            continue;
        if (m_output->away())
            m_wakeup.waitFor(AudioOutput::RetryInterval);
        else
            m_wakeup.wait();
    }
    closeOutput();
    m_output.reset();
    // SDL keeps per-thread data (its error text) for threads it did not start itself.
    if (SdlLibrary::isLoaded())
        SdlLibrary::get()->TLSCleanup();
}

PlaybackFeeder::Request PlaybackFeeder::takeRequest()
{
    const std::lock_guard lock(m_requestMutex);
    return m_request;
}

void PlaybackFeeder::apply(const Request& request)
{
    if (request.generation != m_song.generation) {
        startSong(request);
    } else if (request.transport != m_transport) {
        m_transport = request.transport;
        if (m_transport == Transport::Stopped)
            stopSong();
    }
    // A paused SDL device still runs (the disk driver keeps writing silence), so a device
    // that cannot hold what it has queued is closed instead, and one that is away is not
    // looked for.
    if (m_transport == Transport::Playing)
        m_output->resume();
    else if (m_transport == Transport::Stopped || !m_output->hold())
        closeOutput();
}

// Runs on the feeder thread; this is where a song's file is first touched.
void PlaybackFeeder::startSong(const Request& request)
{
    const bool handOver = m_song.decodeFinished && !m_song.playedOut && m_output->isOpen() &&
                          request.transport == Transport::Playing;
    m_song = Song{};
    m_song.generation = request.generation;
    m_song.path = request.path;
    m_song.behindEnding = handOver;
    m_transport = request.transport;
    if (!handOver) {
        m_ring.discardWritten();
        if (!m_output->holdsLittle())
            closeOutput();
        else if (!m_output->isOpen())
            m_ring.discardWithoutConsumer();
    }
    m_duration.store(0.0, std::memory_order_relaxed);
    publishStart(request.generation);
    if (request.path.isEmpty() || m_transport == Transport::Stopped) {
        closeOutput();
        return;
    }
    Result<std::unique_ptr<SongSource>> source = openFile(request.path);
    if (!source) {
        failSong(source.error());
        return;
    }
    m_song.source = std::move(*source);
    m_duration.store(m_song.source->durationSeconds(), std::memory_order_relaxed);
}

// A song that fails behind one that has ended leaves that one's last moments in the ring; they
// are heard out as if they ended the failed song, which adds nothing of its own, so that a song
// that ended is heard to its last frame whatever follows it.
void PlaybackFeeder::failSong(const QString& why)
{
    std::fprintf(stderr, "ixomp3: cannot play %s: %s\n", qPrintable(m_song.path), qPrintable(why));
    m_song.source.reset();
    if (m_song.behindEnding && m_output->isOpen()) {
        m_song.decodeFinished = true;
        m_song.endReported = true;
        m_songEnd.store(m_ring.writeIndex(), std::memory_order_relaxed);
    } else {
        m_song.playedOut = true;
        m_ring.discardWritten();
        closeOutput();
    }
    m_reporter({EventKind::Failed, m_song.generation});
}

void PlaybackFeeder::stopSong()
{
    m_song.source.reset();
    m_ring.discardWritten();
    closeOutput();
    publishStart(m_song.generation);
}

// Returns whether there may be more to do at once; false means wait for a wake-up.
bool PlaybackFeeder::feed()
{
    if (m_transport != Transport::Playing || m_song.playedOut ||
        (!m_song.source && !m_song.decodeFinished))
        return false;
    // The rest of the song waits in the ring for the next device.
    if (m_output->closeIfLost()) {
        m_lag.clear();
        m_ring.discardWithoutConsumer();
    }
    const bool decoded = !m_song.decodeFinished && decodeInto();
    if (m_song.playedOut)
        return false;
    const bool ready = m_song.decodeFinished || m_ring.freeSpace() < m_scratch.size();
    if (ready && !m_output->isOpen() && !openOutput())
        return false;
    if (m_song.decodeFinished)
        watchEnding();
    return decoded;
}

bool PlaybackFeeder::openOutput()
{
    // The device is chosen first, so that the gain is in one place from its first sample.
    m_output->choose();
    passGain();
    // The first render may come before open() returns, so the queue asked for stands in until
    // the one granted is known.
    m_lag.setQueue(m_output->queuedFrames() * Channels);
    const AudioOutput::Opened opened = m_output->open(&renderCallback, this);
    m_lag.setQueue(m_output->queuedFrames() * Channels);
    if (opened == AudioOutput::Opened::Never)
        failSong(QStringLiteral("no audio output"));
    return opened == AudioOutput::Opened::Yes;
}

bool PlaybackFeeder::decodeInto()
{
    if (m_ring.freeSpace() < m_scratch.size())
        return false;
    const SongSource::Chunk chunk = m_song.source->pull(m_scratch.data(), ChunkFrames);
    m_ring.write(m_scratch.data(), chunk.frames * Channels);
    if (chunk.finished)
        finishDecoding();
    return true;
}

void PlaybackFeeder::finishDecoding()
{
    m_song.decodeFinished = true;
    const QString& error = m_song.source->firstError();
    if (!m_song.source->decodedAnything()) {
        failSong(error.isEmpty() ? QStringLiteral("no audio in the file") : error);
        return;
    }
    if (!error.isEmpty())
        std::fprintf(stderr, "ixomp3: %s: %s\n", qPrintable(m_song.path), qPrintable(error));
    m_songEnd.store(m_ring.writeIndex(), std::memory_order_relaxed);
}

void PlaybackFeeder::watchEnding()
{
    const std::uint64_t end = m_songEnd.load(std::memory_order_relaxed);
    const std::uint64_t read = m_ring.readIndex();
    const std::uint64_t queued = end > read ? end - read : 0;
    if (!m_song.endReported && queued <= HandOverSamples) {
        m_song.endReported = true;
        m_reporter({EventKind::DecodeEnded, m_song.generation});
    }
    if (queued > 0 || !m_output->isOpen())
        return;
    // The device is closed once it has been given enough silence behind the last frame to
    // have played out all it held.
    const std::uint64_t rendered = m_rendered.load(std::memory_order_relaxed);
    if (!m_song.drainStarted) {
        m_song.drainStarted = true;
        m_song.drainFrom = rendered;
    } else if (rendered - m_song.drainFrom >= m_output->playOutFrames() * Channels) {
        m_song.playedOut = true;
        closeOutput();
        m_reporter({EventKind::PlayedOut, m_song.generation});
    }
}

void PlaybackFeeder::closeOutput()
{
    m_output->close();
    m_lag.clear();
    m_ring.discardWithoutConsumer();
}

// The device's own gain, where it has one, is heard at once; one applied as samples are
// rendered waits behind what the device holds.
void PlaybackFeeder::passGain()
{
    const float gain = m_gain.load(std::memory_order_relaxed);
    m_renderGain.store(m_output->setVolume(gain) ? 1.0F : gain, std::memory_order_relaxed);
}

void PlaybackFeeder::publishStart(std::uint64_t generation)
{
    m_songStart.store(m_ring.writeIndex(), std::memory_order_relaxed);
    m_songEnd.store(UINT64_MAX, std::memory_order_relaxed);
    m_startGeneration.store(generation, std::memory_order_release);
}
