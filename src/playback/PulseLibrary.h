#pragma once

#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

// The PulseAudio client functions, taken from libpulse the first time sound is needed rather
// than when the program starts, for the same reason as SdlLibrary: the library brings a dozen
// others with it (codecs, D-Bus), which an idle player has no use for. PipeWire's sound server
// answers the same protocol.
struct PulseLibrary {
    decltype(&pa_threaded_mainloop_new) loopNew = nullptr;
    decltype(&pa_threaded_mainloop_free) loopFree = nullptr;
    decltype(&pa_threaded_mainloop_start) loopStart = nullptr;
    decltype(&pa_threaded_mainloop_stop) loopStop = nullptr;
    decltype(&pa_threaded_mainloop_lock) lock = nullptr;
    decltype(&pa_threaded_mainloop_unlock) unlock = nullptr;
    decltype(&pa_threaded_mainloop_wait) wait = nullptr;
    decltype(&pa_threaded_mainloop_signal) signal = nullptr;
    decltype(&pa_threaded_mainloop_get_api) loopApi = nullptr;
    decltype(&pa_context_new) contextNew = nullptr;
    decltype(&pa_context_unref) contextUnref = nullptr;
    decltype(&pa_context_set_state_callback) contextSetStateCallback = nullptr;
    decltype(&pa_context_connect) contextConnect = nullptr;
    decltype(&pa_context_disconnect) contextDisconnect = nullptr;
    decltype(&pa_context_get_state) contextState = nullptr;
    decltype(&pa_context_errno) contextErrno = nullptr;
    decltype(&pa_stream_new) streamNew = nullptr;
    decltype(&pa_stream_unref) streamUnref = nullptr;
    decltype(&pa_stream_set_state_callback) streamSetStateCallback = nullptr;
    decltype(&pa_stream_set_write_callback) streamSetWriteCallback = nullptr;
    decltype(&pa_stream_connect_playback) streamConnectPlayback = nullptr;
    decltype(&pa_stream_disconnect) streamDisconnect = nullptr;
    decltype(&pa_stream_get_state) streamState = nullptr;
    decltype(&pa_stream_begin_write) streamBeginWrite = nullptr;
    decltype(&pa_stream_cancel_write) streamCancelWrite = nullptr;
    decltype(&pa_stream_write) streamWrite = nullptr;
    decltype(&pa_stream_cork) streamCork = nullptr;
    decltype(&pa_stream_get_index) streamIndex = nullptr;
    decltype(&pa_stream_get_buffer_attr) streamBufferAttr = nullptr;
    decltype(&pa_context_set_sink_input_volume) setInputVolume = nullptr;
    decltype(&pa_operation_unref) operationUnref = nullptr;
    decltype(&pa_cvolume_set) cvolumeSet = nullptr;
    decltype(&pa_sw_volume_from_linear) volumeFromLinear = nullptr;
    decltype(&pa_strerror) strerror = nullptr;

    // Loads the library on first use; null when it cannot be loaded, which only means that sound
    // goes through SDL instead.
    static const PulseLibrary* get();
};
