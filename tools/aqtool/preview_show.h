// The scenes a preview plays and the files they were made from, watched on
// the disk with the music and the archive. Every scene of the range is
// loaded as the demo's start-up loads it, into the demo's own per-scene
// objects and lists; a scene whose files change is loaded again beside the
// one that plays, and takes its place only once it has loaded whole, giving
// back what the old one held. The music is taken up again the same way.
// Program thread, between passes of the main loop; the Aquarium's GL
// context is current.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/timeline.h"
#include "platform/file_watch.h"

class Scene;

namespace aqtool {

// A file that a scene was made from, by the name the demo asked for it.
struct SceneFile {
    std::string name;
    bool picture = false;  // a texture's picture, shared by name between meshes
};

// The scene file, the meshes of the scene's objects, their pictures and the
// pictures of its flares, each once, in that order.
std::vector<SceneFile> FilesOfScene(const Scene& scene, const char* sceneName);

// What taking up the disk's changes came to.
struct Reload {
    bool scenes = false;  // scenes were replaced: their lists are new
    bool music = false;   // the music has a new stream
};

class PreviewStatus;

class PreviewShow {
public:
    // How often the files are looked at.
    static constexpr std::uint32_t POLL_INTERVAL_MS = 50;
    // How often a scene whose load failed is tried again, whatever changed:
    // it may wait for a file it never loaded, which nothing watches. The
    // music waits for its own file.
    static constexpr std::uint32_t RETRY_INTERVAL_MS = 1000;

    // status is borrowed: its line is ended before a message.
    PreviewShow(const SceneRange& range, PreviewStatus& status);
    PreviewShow(const PreviewShow&) = delete;
    PreviewShow& operator=(const PreviewShow&) = delete;

    // Loads every scene of the range as the demo's start-up does and
    // watches its files and the music's. False (reported) when a scene
    // cannot be loaded.
    bool Load();

    // Looks at the files at nowMs (the demo's clock) at most every
    // POLL_INTERVAL_MS and, once every changed file has settled, loads again
    // the scenes that use one and the music when it changed, and everything
    // when the archive changed (which is opened again); scenes whose last
    // load failed are tried again then, and every RETRY_INTERVAL_MS. A load that fails is reported on stderr and leaves
    // the last good one playing. Allocates nothing unless a file changed or
    // a failed scene is tried again.
    Reload TakeUpChanges(std::uint32_t nowMs);

    // A scene or the music failed to load the last time it was tried.
    bool Failing() const;

private:
    struct Played {
        std::vector<SceneFile> files;        // as last loaded
        std::vector<std::size_t> watched;    // their watch entries
        bool failed = false;                 // its last load failed: the old scene plays on
        std::string failure;                 // what that load reported
    };

    bool FailedScenes() const;
    Played& PlayedOf(std::int32_t scene) { return played_[static_cast<std::size_t>(scene - range_.firstScene)]; }
    void Watch(std::int32_t scene);
    bool Changed(const Played& played) const;
    void RetirePictures(bool all) const;
    void ReopenArchive();
    bool ReloadScenes(const std::vector<std::int32_t>& scenes);
    bool ReloadMusic();
    void ReportFailure(std::string& last, const char* what);

    const SceneRange range_;
    PreviewStatus& status_;
    platform::FileWatch watch_;
    std::vector<Played> played_;  // one per scene of the range, from FIRST
    std::size_t musicFile_ = 0;   // the music's watch entry
    std::size_t archiveFile_ = 0; // the archive's
    bool musicFailed_ = false;
    std::string musicFailure_;
    std::uint32_t polledAt_ = 0;
    std::uint32_t triedAt_ = 0;   // when failed scenes were last tried
};

}  // namespace aqtool
