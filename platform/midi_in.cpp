#include "platform/midi_in.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <optional>
#include <thread>
#include <vector>

#include "platform/midi_event_word.h"
#include "platform/pending_note_offs.h"

namespace host {

namespace {

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// A machine without a sequencer is no error worth a line on stderr. The
// handler is process-wide; devices open at start-up, on the main thread.
snd_seq_t* openSequencerQuietly() {
    const snd_lib_error_handler_t previous = snd_lib_error;
    snd_lib_error_set_handler(ignoreAlsaError);
    snd_seq_t* sequencer = nullptr;
    if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) sequencer = nullptr;
    snd_lib_error_set_handler(previous);
    return sequencer;
}

bool isDevice(const snd_seq_client_info_t* client, const snd_seq_port_info_t* port) {
    const unsigned readable = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
    const unsigned capability = snd_seq_port_info_get_capability(port);
    if ((capability & readable) != readable || (capability & SND_SEQ_PORT_CAP_NO_EXPORT) != 0) return false;
    return snd_seq_client_info_get_type(client) == SND_SEQ_USER_CLIENT ||
           (snd_seq_port_info_get_type(port) & SND_SEQ_PORT_TYPE_HARDWARE) != 0;
}

std::optional<snd_seq_addr_t> findDevice(snd_seq_t* sequencer, int device) {
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    const int self = snd_seq_client_id(sequencer);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(sequencer, client) >= 0) {
        const int id = snd_seq_client_info_get_client(client);
        if (id == SND_SEQ_CLIENT_SYSTEM || id == self) continue;
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(sequencer, port) >= 0) {
            if (isDevice(client, port) && device-- == 0) return *snd_seq_port_info_get_addr(port);
        }
    }
    return std::nullopt;
}

// How long `ticks` last on `queue` at its tempo. A note sent directly, on no
// queue, counts the ticks of a queue that keeps the sequencer's default
// tempo: 500000 us a quarter at 96 ticks a quarter.
std::chrono::microseconds tickSpan(snd_seq_t* sequencer, int queue, uint32_t ticks) {
    double quarter = 500000;
    double ticksPerQuarter = 96;
    snd_seq_queue_tempo_t* tempo;
    snd_seq_queue_tempo_alloca(&tempo);
    if (queue != SND_SEQ_QUEUE_DIRECT && snd_seq_get_queue_tempo(sequencer, queue, tempo) >= 0 &&
        snd_seq_queue_tempo_get_ppq(tempo) > 0) {
        quarter = snd_seq_queue_tempo_get_tempo(tempo);
        ticksPerQuarter = snd_seq_queue_tempo_get_ppq(tempo);
    }
    // No note lasts longer than the longest one stamped in milliseconds.
    const double longest = std::numeric_limits<uint32_t>::max() * 1000.0;
    return std::chrono::microseconds(static_cast<int64_t>(std::min(ticks * quarter / ticksPerQuarter, longest)));
}

}  // namespace

struct MidiIn::Session {
    snd_seq_t* sequencer = nullptr;
    int wake = -1;  // eventfd that tells the reader to stop
    Receiver receiver;
    PendingNoteOffs noteOffs;  // the reader's own
    std::thread reader;

    ~Session() {
        if (reader.joinable()) {
            const uint64_t one = 1;
            while (write(wake, &one, sizeof one) < 0 && errno == EINTR) {
            }
            reader.join();
        }
        if (wake >= 0) ::close(wake);
        if (sequencer != nullptr) snd_seq_close(sequencer);
    }

    void read() {
        const int count = snd_seq_poll_descriptors_count(sequencer, POLLIN);
        std::vector<pollfd> descriptors(static_cast<std::size_t>(count) + 1);
        snd_seq_poll_descriptors(sequencer, descriptors.data(), static_cast<unsigned>(count), POLLIN);
        descriptors[count] = {wake, POLLIN, 0};
        for (;;) {
            const int timeout = noteOffs.millisecondsToNext(PendingNoteOffs::Clock::now());
            if (poll(descriptors.data(), descriptors.size(), timeout) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (descriptors[count].revents != 0) return;
            sendDueNoteOffs(PendingNoteOffs::Clock::now());
            if (!handlePending()) return;
        }
    }

    void sendDueNoteOffs(PendingNoteOffs::Clock::time_point now) {
        while (const std::optional<uint32_t> message = noteOffs.takeDue(now)) receiver(*message);
    }

    void deliver(const snd_seq_event_t& event) {
        const PendingNoteOffs::Clock::time_point now = PendingNoteOffs::Clock::now();
        // Note-offs due by now come before what arrives now.
        sendDueNoteOffs(now);
        const MidiEventWords words = midiEventWords(event);
        for (const uint32_t message : words.now()) receiver(message);
        if (!words.noteOff) return;
        const OwedNoteOff& owed = *words.noteOff;
        const std::chrono::microseconds span = owed.inTicks ? tickSpan(sequencer, event.queue, owed.duration)
                                                            : std::chrono::milliseconds(owed.duration);
        if (const std::optional<uint32_t> displaced = noteOffs.add(now + span, owed.message)) receiver(*displaced);
    }

    // False when the sequencer fails for good.
    bool handlePending() {
        for (;;) {
            snd_seq_event_t* event = nullptr;
            const int result = snd_seq_event_input(sequencer, &event);
            if (result == -EAGAIN) return true;
            // An overrun lost events; the ones after it are still good.
            if (result == -ENOSPC) continue;
            if (result < 0) return false;
            if (event != nullptr) deliver(*event);
        }
    }
};

MidiIn::MidiIn() = default;

MidiIn::~MidiIn() = default;

bool MidiIn::open(int device, Receiver receiver) {
    if (session_) return false;
    auto session = std::make_unique<Session>();
    session->sequencer = openSequencerQuietly();
    if (session->sequencer == nullptr) return false;
    snd_seq_set_client_name(session->sequencer, "vorn");
    const int port = snd_seq_create_simple_port(session->sequencer, "MIDI in",
                                                SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                                SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (port < 0) return false;
    if (const std::optional<snd_seq_addr_t> source = findDevice(session->sequencer, device)) {
        snd_seq_connect_from(session->sequencer, port, source->client, source->port);
    }
    session->wake = eventfd(0, EFD_CLOEXEC);
    if (session->wake < 0) return false;
    session->receiver = std::move(receiver);
    session->reader = std::thread([raw = session.get()] { raw->read(); });
    session_ = std::move(session);
    return true;
}

}  // namespace host
