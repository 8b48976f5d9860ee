#include "server/VideoStore.h"

#include "server/Crypto.h"

#include <algorithm>

namespace velloq::server {

bool VideoStore::expired(const Pending& video) const {
    return !video.completing && clock_.now() >= video.started + lifetime_;
}

// Why `video` cannot take a request: gone, someone else's (when `owner` is
// given), or already being completed.
std::optional<VideoFailure> VideoStore::unavailable(const Pending* video,
                                                    std::optional<std::size_t> owner) {
    if (!video || (owner && video->owner != *owner)) {
        return VideoFailure{VideoError::NotFound, "no such video"};
    }
    if (video->completing) {
        return VideoFailure{VideoError::Busy, "video is being completed"};
    }
    return std::nullopt;
}

VideoStore::Pending* VideoStore::find(const std::string& id, std::vector<std::string>& dropped) {
    auto it = videos_.find(id);
    if (it == videos_.end()) {
        return nullptr;
    }
    if (expired(it->second)) {
        dropped.push_back(id);
        videos_.erase(it);
        return nullptr;
    }
    return &it->second;
}

void VideoStore::removeDirs(const std::vector<std::string>& ids) const {
    for (const auto& id : ids) {
        std::error_code ec;
        fs::remove_all(dir_.pendingDir(id), ec);
    }
}

fs::path VideoStore::partPath(const std::string& id, int partNumber) const {
    return dir_.pendingDir(id) / (std::to_string(partNumber) + ".part");
}

VideoResult<std::string> VideoStore::start(std::size_t owner) {
    auto id = randomHex(16);
    if (!id) {
        return Unexpected(VideoFailure{VideoError::Storage, "no randomness for an id"});
    }
    auto made = ensurePrivateDir(dir_.pendingDir(*id));
    if (!made) {
        return Unexpected(VideoFailure{VideoError::Storage, made.error().message});
    }
    std::lock_guard lock(mutex_);
    videos_[*id] = Pending{owner, clock_.now(), {}, {}, false};
    return *id;
}

VideoResult<void> VideoStore::checkOpen(const std::string& id, std::size_t owner) {
    std::vector<std::string> dropped;
    VideoResult<void> result;
    {
        std::lock_guard lock(mutex_);
        Pending* video = find(id, dropped);
        if (auto failure = unavailable(video, owner)) {
            result = Unexpected(*failure);
        }
    }
    removeDirs(dropped);
    return result;
}

VideoResult<void> VideoStore::checkGrant(const std::string& id, const std::string& nonce) {
    return grant(id, nonce, false);
}

VideoResult<void> VideoStore::claimGrant(const std::string& id, const std::string& nonce) {
    return grant(id, nonce, true);
}

VideoResult<void> VideoStore::grant(const std::string& id, const std::string& nonce, bool claim) {
    std::vector<std::string> dropped;
    VideoResult<void> result;
    {
        std::lock_guard lock(mutex_);
        Pending* video = find(id, dropped);
        if (auto failure = unavailable(video, std::nullopt)) {
            result = Unexpected(*failure);
        } else if (video->grants.count(nonce) != 0) {
            result =
                Unexpected(VideoFailure{VideoError::GrantUsed, "this address was already used"});
        } else if (claim) {
            video->grants.insert(nonce);
        }
    }
    removeDirs(dropped);
    return result;
}

void VideoStore::releaseGrant(const std::string& id, const std::string& nonce) {
    std::lock_guard lock(mutex_);
    auto it = videos_.find(id);
    if (it != videos_.end()) {
        it->second.grants.erase(nonce);
    }
}

VideoResult<void> VideoStore::storePart(const std::string& id, int partNumber, TempFile& data,
                                        const std::string& etag) {
    std::vector<std::string> dropped;
    VideoResult<void> result;
    {
        // Under the lock so that a part never lands in a video that abort or
        // complete has already taken away. Parts are not synced: start-up
        // clears them anyway (their signing secret dies with the process), and
        // the joined file is synced when it is published.
        std::lock_guard lock(mutex_);
        Pending* video = find(id, dropped);
        if (auto failure = unavailable(video, std::nullopt)) {
            result = Unexpected(*failure);
        } else if (auto moved = data.publishAs(partPath(id, partNumber), TempFile::Sync::none);
                   !moved) {
            result = Unexpected(VideoFailure{VideoError::Storage, moved.error().message});
        } else {
            video->parts[partNumber] = StoredPart{etag, data.size()};
        }
    }
    removeDirs(dropped);
    return result;
}

VideoResult<void> VideoStore::checkCompletable(const std::string& id, std::size_t owner) {
    {
        std::lock_guard lock(mutex_);
        auto done = completed_.find(id);
        if (done != completed_.end() && done->second.owner == owner) {
            return {};
        }
    }
    return checkOpen(id, owner);
}

std::string VideoStore::listingDigest(const std::vector<ListedPart>& parts,
                                      std::uint64_t sizeBytes) {
    Md5 md5;
    for (const auto& part : parts) {
        std::string line = std::to_string(part.partNumber) + " " + part.etag + "\n";
        md5.update(line.data(), line.size());
    }
    std::string size = std::to_string(sizeBytes);
    md5.update(size.data(), size.size());
    return md5.hexDigest();
}

VideoResult<std::string> VideoStore::complete(const std::string& id, std::size_t owner,
                                              std::vector<ListedPart> parts,
                                              std::uint64_t sizeBytes) {
    std::sort(parts.begin(), parts.end(),
              [](const auto& a, const auto& b) { return a.partNumber < b.partNumber; });
    std::vector<std::string> dropped;
    std::vector<fs::path> files;
    std::optional<VideoFailure> failure;
    const std::string listing = listingDigest(parts, sizeBytes);
    {
        std::lock_guard lock(mutex_);
        if (auto done = completed_.find(id);
            done != completed_.end() && done->second.owner == owner) {
            if (done->second.listing == listing) {
                return done->second.publicId;
            }
            return Unexpected(VideoFailure{VideoError::NotFound, "no such video"});
        }
        Pending* video = find(id, dropped);
        std::uint64_t total = 0;
        failure = unavailable(video, owner);
        for (std::size_t i = 0; !failure && i < parts.size(); ++i) {
            const ListedPart& listed = parts[i];
            if (listed.partNumber != static_cast<long long>(i) + 1) {
                failure = VideoFailure{VideoError::BadParts,
                                       "part numbers must be unique and consecutive from 1"};
                break;
            }
            int number = static_cast<int>(listed.partNumber);
            auto stored = video->parts.find(number);
            if (stored == video->parts.end()) {
                failure = VideoFailure{VideoError::BadParts,
                                       "part " + std::to_string(number) + " was never uploaded"};
            } else if (stored->second.etag != listed.etag) {
                failure =
                    VideoFailure{VideoError::BadEtag,
                                 "ETag of part " + std::to_string(number) + " does not match"};
            } else {
                total += stored->second.size;
                files.push_back(partPath(id, number));
            }
        }
        if (!failure && total != sizeBytes) {
            failure = VideoFailure{VideoError::SizeMismatch, "parts hold " + std::to_string(total) +
                                                                 " bytes, not " +
                                                                 std::to_string(sizeBytes)};
        }
        if (!failure) {
            video->completing = true;
        }
    }
    removeDirs(dropped);
    if (failure) {
        return Unexpected(*failure);
    }
    // The join runs without the lock; `completing` keeps every other request off this video.
    auto published = join(files, sizeBytes);
    finishCompleting(id, listing, published);
    return published;
}

VideoResult<std::string> VideoStore::join(const std::vector<fs::path>& files,
                                          std::uint64_t sizeBytes) {
    auto publicId = randomHex(16);
    auto temp = dir_.createTemp();
    if (!publicId || !temp) {
        return Unexpected(VideoFailure{VideoError::Storage, "cannot create the joined file"});
    }
    for (const auto& file : files) {
        if (!appendFile(temp.value(), file)) {
            return Unexpected(
                VideoFailure{VideoError::Storage, "cannot read " + file.filename().string()});
        }
    }
    if (temp.value().size() != sizeBytes) {
        return Unexpected(VideoFailure{VideoError::Storage, "joined file has an unexpected size"});
    }
    auto moved = temp.value().publishAs(dir_.videoPath(*publicId));
    if (!moved) {
        return Unexpected(VideoFailure{VideoError::Storage, moved.error().message});
    }
    return *publicId;
}

void VideoStore::finishCompleting(const std::string& id, const std::string& listing,
                                  const VideoResult<std::string>& published) {
    {
        std::lock_guard lock(mutex_);
        auto it = videos_.find(id);
        if (it == videos_.end()) {
            return;
        }
        if (!published) {
            it->second.completing = false; // the client may try again or abort
            return;
        }
        completed_[id] = Completed{it->second.owner, listing, published.value(), clock_.now()};
        videos_.erase(it);
    }
    removeDirs({id});
}

VideoResult<void> VideoStore::abort(const std::string& id, std::size_t owner) {
    std::vector<std::string> dropped;
    VideoResult<void> result;
    {
        std::lock_guard lock(mutex_);
        Pending* video = find(id, dropped);
        if (auto failure = unavailable(video, owner)) {
            result = Unexpected(*failure);
        } else {
            videos_.erase(id);
            dropped.push_back(id);
        }
    }
    removeDirs(dropped);
    return result;
}

std::size_t VideoStore::expireStale() {
    std::vector<std::string> dropped;
    {
        std::lock_guard lock(mutex_);
        for (auto it = videos_.begin(); it != videos_.end();) {
            if (expired(it->second)) {
                dropped.push_back(it->first);
                it = videos_.erase(it);
            } else {
                ++it;
            }
        }
        std::erase_if(completed_,
                      [&](const auto& done) { return clock_.now() >= done.second.at + lifetime_; });
    }
    removeDirs(dropped);
    return dropped.size();
}

} // namespace velloq::server
