#include "platform/midi_in.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <thread>
#include <vector>

#include "platform/midi_event_word.h"

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

}  // namespace

struct MidiIn::Session {
    snd_seq_t* sequencer = nullptr;
    int wake = -1;  // eventfd that tells the reader to stop
    Receiver receiver;
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
            if (poll(descriptors.data(), descriptors.size(), -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (descriptors[count].revents != 0) return;
            if (!handlePending()) return;
        }
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
            if (event == nullptr) continue;
            if (const std::optional<uint32_t> message = midiEventWord(*event)) receiver(*message);
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
