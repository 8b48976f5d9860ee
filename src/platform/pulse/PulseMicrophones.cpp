#include "platform/pulse/PulseMicrophones.h"

#include "platform/pulse/PulseAudioStream.h"
#include "platform/pulse/PulseSession.h"

#include <pulse/introspect.h>

namespace velloq::platform {
namespace {

using pulse::PulseSession;

constexpr auto connectLimit = std::chrono::seconds(2);
constexpr auto queryLimit = std::chrono::seconds(2);

struct ListQuery {
    PulseSession* session = nullptr;
    MicrophoneList list;
    std::string defaultName;
    int pending = 2; // the server's defaults and the source list
};

void onServerInfo(pa_context*, const pa_server_info* info, void* userdata) {
    auto* query = static_cast<ListQuery*>(userdata);
    if (info != nullptr && info->default_source_name != nullptr) {
        query->defaultName = info->default_source_name;
    }
    --query->pending;
    query->session->wake();
}

void onSourceInfo(pa_context*, const pa_source_info* info, int last, void* userdata) {
    auto* query = static_cast<ListQuery*>(userdata);
    if (last != 0) {
        --query->pending;
        query->session->wake();
        return;
    }
    // A monitor records what an output plays; it is no microphone.
    if (info == nullptr || info->monitor_of_sink != PA_INVALID_INDEX) {
        return;
    }
    const char* description = info->description != nullptr && info->description[0] != '\0'
                                  ? info->description
                                  : info->name;
    query->list.devices.push_back(MicrophoneDevice{info->name, description});
}

class PulseMicrophones final : public Microphones {
public:
    MicrophoneList list() override {
        ListQuery query;
        auto session = PulseSession::connect(connectLimit);
        if (!session) {
            return {};
        }
        query.session = session.get();
        {
            PulseSession::Locked lock(*session);
            pulse::Operation server(
                pa_context_get_server_info(session->context(), onServerInfo, &query));
            pulse::Operation sources(
                pa_context_get_source_info_list(session->context(), onSourceInfo, &query));
            if (!server || !sources) {
                return {};
            }
            const bool answered =
                session->waitUntil([&] { return query.pending <= 0; }, queryLimit);
            if (!answered) {
                // No late callback may reach `query` once we return.
                pa_operation_cancel(server.get());
                pa_operation_cancel(sources.get());
                return {};
            }
        }
        for (const auto& device : query.list.devices) {
            if (device.id == query.defaultName) {
                query.list.defaultId = device.id;
            }
        }
        return std::move(query.list);
    }

    Expected<std::unique_ptr<AudioStream>, MicrophoneError>
    open(const std::string& deviceId, int sampleRate,
         std::function<void(const AudioBlock&)> onBlock) override {
        auto session = PulseSession::connect(connectLimit);
        if (!session) {
            return Unexpected(MicrophoneError::noServer);
        }
        auto stream = std::make_unique<pulse::PulseAudioStream>(std::move(session), sampleRate,
                                                                std::move(onBlock));
        if (auto error = stream->connect(deviceId)) {
            return Unexpected(*error);
        }
        return std::unique_ptr<AudioStream>(std::move(stream));
    }
};

} // namespace

std::unique_ptr<Microphones> makePulseMicrophones() {
    return std::make_unique<PulseMicrophones>();
}

} // namespace velloq::platform
