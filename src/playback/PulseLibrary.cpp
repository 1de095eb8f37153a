#include "PulseLibrary.h"

#include "LibrarySymbol.h"

#include <QLibrary>

namespace {

const PulseLibrary* load()
{
    static QLibrary library(QStringLiteral("pulse"), 0);
    static PulseLibrary pa;
    const bool complete =
        library.load() && resolveSymbol(library, "pa_threaded_mainloop_new", pa.loopNew) &&
        resolveSymbol(library, "pa_threaded_mainloop_free", pa.loopFree) &&
        resolveSymbol(library, "pa_threaded_mainloop_start", pa.loopStart) &&
        resolveSymbol(library, "pa_threaded_mainloop_stop", pa.loopStop) &&
        resolveSymbol(library, "pa_threaded_mainloop_lock", pa.lock) &&
        resolveSymbol(library, "pa_threaded_mainloop_unlock", pa.unlock) &&
        resolveSymbol(library, "pa_threaded_mainloop_wait", pa.wait) &&
        resolveSymbol(library, "pa_threaded_mainloop_signal", pa.signal) &&
        resolveSymbol(library, "pa_threaded_mainloop_get_api", pa.loopApi) &&
        resolveSymbol(library, "pa_context_new", pa.contextNew) &&
        resolveSymbol(library, "pa_context_unref", pa.contextUnref) &&
        resolveSymbol(library, "pa_context_set_state_callback", pa.contextSetStateCallback) &&
        resolveSymbol(library, "pa_context_connect", pa.contextConnect) &&
        resolveSymbol(library, "pa_context_disconnect", pa.contextDisconnect) &&
        resolveSymbol(library, "pa_context_get_state", pa.contextState) &&
        resolveSymbol(library, "pa_context_errno", pa.contextErrno) &&
        resolveSymbol(library, "pa_stream_new", pa.streamNew) &&
        resolveSymbol(library, "pa_stream_unref", pa.streamUnref) &&
        resolveSymbol(library, "pa_stream_set_state_callback", pa.streamSetStateCallback) &&
        resolveSymbol(library, "pa_stream_set_write_callback", pa.streamSetWriteCallback) &&
        resolveSymbol(library, "pa_stream_connect_playback", pa.streamConnectPlayback) &&
        resolveSymbol(library, "pa_stream_disconnect", pa.streamDisconnect) &&
        resolveSymbol(library, "pa_stream_get_state", pa.streamState) &&
        resolveSymbol(library, "pa_stream_begin_write", pa.streamBeginWrite) &&
        resolveSymbol(library, "pa_stream_cancel_write", pa.streamCancelWrite) &&
        resolveSymbol(library, "pa_stream_write", pa.streamWrite) &&
        resolveSymbol(library, "pa_stream_cork", pa.streamCork) &&
        resolveSymbol(library, "pa_stream_get_index", pa.streamIndex) &&
        resolveSymbol(library, "pa_stream_get_buffer_attr", pa.streamBufferAttr) &&
        resolveSymbol(library, "pa_context_set_sink_input_volume", pa.setInputVolume) &&
        resolveSymbol(library, "pa_operation_unref", pa.operationUnref) &&
        resolveSymbol(library, "pa_cvolume_set", pa.cvolumeSet) &&
        resolveSymbol(library, "pa_sw_volume_from_linear", pa.volumeFromLinear) &&
        resolveSymbol(library, "pa_strerror", pa.strerror);
    return complete ? &pa : nullptr;
}

} // namespace

const PulseLibrary* PulseLibrary::get()
{
    static const PulseLibrary* const pa = load();
    return pa;
}
