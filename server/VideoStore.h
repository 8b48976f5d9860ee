#pragma once

// Videos being uploaded in parts, and their publication. Part PUTs of one
// video may run in parallel; each part is written to a private temporary file
// and only moved into the video's directory once it has fully arrived.

#include "server/Clock.h"
#include "server/DataDir.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace velloq::server {

enum class VideoError { NotFound, Busy, GrantUsed, BadParts, BadEtag, SizeMismatch, Storage };

struct VideoFailure {
    VideoError error;
    std::string detail;
};

template <class T> using VideoResult = Expected<T, VideoFailure>;

struct ListedPart {
    long long partNumber = 0;
    std::string etag;
};

inline constexpr int kMaxPartNumber = 10000;

class VideoStore {
public:
    VideoStore(const DataDir& dir, const Clock& clock, std::chrono::seconds lifetime)
        : dir_(dir), clock_(clock), lifetime_(lifetime) {}

    // `owner` identifies the key that started the video; other keys cannot see it.
    VideoResult<std::string> start(std::size_t owner);
    VideoResult<void> checkOpen(const std::string& id, std::size_t owner);
    // Like checkOpen, but a video this key has completed passes too.
    VideoResult<void> checkCompletable(const std::string& id, std::size_t owner);

    // A signed address is good for one stored part: the nonce is claimed while
    // its PUT runs, kept once the part is stored and released if the PUT fails.
    // checkGrant answers the same question without claiming.
    VideoResult<void> checkGrant(const std::string& id, const std::string& nonce);
    VideoResult<void> claimGrant(const std::string& id, const std::string& nonce);
    void releaseGrant(const std::string& id, const std::string& nonce);
    VideoResult<void> storePart(const std::string& id, int partNumber, TempFile& data,
                                const std::string& etag);

    // Joins the listed parts in part-number order into the published video, whose new id
    // is returned. Nothing is published unless every check passes. Completing a
    // completed video again with the same parts returns the same id, so that a
    // client whose first answer was lost still gets its link.
    VideoResult<std::string> complete(const std::string& id, std::size_t owner,
                                      std::vector<ListedPart> parts, std::uint64_t sizeBytes);
    VideoResult<void> abort(const std::string& id, std::size_t owner);

    // Drops unfinished videos older than the lifetime; returns how many.
    std::size_t expireStale();

private:
    struct StoredPart {
        std::string etag;
        std::uint64_t size = 0;
    };
    struct Pending {
        std::size_t owner = 0;
        Clock::TimePoint started;
        std::map<int, StoredPart> parts;
        std::set<std::string> grants;
        bool completing = false;
    };
    using Map = std::unordered_map<std::string, Pending>;
    struct Completed {
        std::size_t owner = 0;
        std::string listing; // digest of the parts and size it was completed with
        std::string publicId;
        Clock::TimePoint at;
    };

    // Finds a live video; an expired one is dropped on the way. Call with mutex_ held.
    Pending* find(const std::string& id, std::vector<std::string>& dropped);
    static std::optional<VideoFailure> unavailable(const Pending* video,
                                                   std::optional<std::size_t> owner);
    VideoResult<void> grant(const std::string& id, const std::string& nonce, bool claim);
    bool expired(const Pending& video) const;
    void removeDirs(const std::vector<std::string>& ids) const;
    fs::path partPath(const std::string& id, int partNumber) const;
    VideoResult<std::string> join(const std::vector<fs::path>& files, std::uint64_t sizeBytes);
    void finishCompleting(const std::string& id, const std::string& listing,
                          const VideoResult<std::string>& published);
    static std::string listingDigest(const std::vector<ListedPart>& parts, std::uint64_t sizeBytes);

    const DataDir& dir_;
    const Clock& clock_;
    const std::chrono::seconds lifetime_;
    std::mutex mutex_;
    Map videos_;
    std::unordered_map<std::string, Completed> completed_; // kept for the video lifetime
};

} // namespace velloq::server
