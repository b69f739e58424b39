// The preview's scenes and their files; see preview_show.h. Scenes are
// loaded by the demo's loader into the demo's per-scene objects and lists;
// the vector-handle table and the texture list count who holds each mesh
// and picture, so a replaced scene gives back all it held.
#include "tools/aqtool/preview_show.h"

#include <cstdio>
#include <new>
#include <utility>

#include "host/error.h"
#include "host/scenelists.h"
#include "host/sound.h"
#include "image/texture.h"
#include "platform/files.h"
#include "platform/music.h"
#include "scene/flare.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"
#include "scene/vectorhandle.h"
#include "pak/pak.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/aqtool/preview_status.h"

namespace aqtool {

namespace {

// A scene loaded beside the one that plays, and its two lists.
struct Fresh {
    std::int32_t scene = 0;
    Scene* loaded = nullptr;  // owned until it takes the old one's place
    Fishes objects;
    Fishes lights;
};

void AddFile(std::vector<SceneFile>& files, const char* name, bool picture)
{
    for (const SceneFile& file : files) {
        if (file.name == name)
            return;
    }
    files.push_back(SceneFile{name, picture});
}

void AddPictures(std::vector<SceneFile>& files, const Material* material)
{
    if (material == nullptr)
        return;
    for (const Texture* map : {material->colourMap, material->secondMap, material->bumpMap}) {
        if (map != nullptr)
            AddFile(files, map->name, true);
    }
}

bool IsMesh(const SceneObject& object)
{
    return object.vector != nullptr && object.vector->type != NULL_OBJECT_TYPE;
}

// The loose file of name, or the place where one would win over the archive's.
std::string WatchedPath(const std::string& name)
{
    const std::string found = platform::FindDataFile(name.c_str());
    return found.empty() ? platform::DiskName(name.c_str()) : found;
}

// Gives back what scene holds of the shared meshes and pictures, and destroys it.
void Discard(Scene* scene)
{
    if (scene == nullptr)
        return;
    VectorHandle::GiveBack(*scene);
    delete scene;
}

// The meshes of a scene about to be loaded again are handed to no new scene:
// their files, or their pictures, may have changed.
void WithholdMeshes(const Scene& scene)
{
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        if (IsMesh(scene.objects[i]))
            VectorHandle::Withhold(scene.objects[i].vector);
    }
}

void SwapLists(Fishes& a, Fishes& b) { std::swap(static_cast<FishList&>(a), static_cast<FishList&>(b)); }

bool LoadBeside(Fresh& fresh)
{
    fresh.loaded = new (std::nothrow) Scene;
    if (fresh.loaded == nullptr) {
        Error::Report(1, "Main: Not enough memory for scene.\n");
        return false;
    }
    return Demo::LoadScene(fresh.loaded, SCENE_TABLE[fresh.scene], fresh.scene == 0, fresh.objects, fresh.lights);
}

// The fresh scene plays from now on; its Fresh keeps the old lists' arrays until it goes.
void TakePlace(Fresh& fresh)
{
    const std::int32_t scene = fresh.scene;
    Scene* const old = gSceneObjects[scene];
    gSceneObjects[scene] = fresh.loaded;
    fresh.loaded = nullptr;
    SwapLists(gObjectLists[scene], fresh.objects);
    SwapLists(gLightLists[scene], fresh.lights);
    Discard(old);
}

}  // namespace

std::vector<SceneFile> FilesOfScene(const Scene& scene, const char* sceneName)
{
    std::vector<SceneFile> files;
    AddFile(files, sceneName, false);
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        if (IsMesh(scene.objects[i]))
            AddFile(files, scene.objects[i].name, false);
    }
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        const SceneObject& object = scene.objects[i];
        if (IsMesh(object)) {
            for (std::uint32_t m = 0; m < object.vector->materialCount; ++m)
                AddPictures(files, &object.vector->materials[m]);
        }
        if (object.flare != nullptr)
            AddPictures(files, object.flare->material);
    }
    for (std::uint32_t i = 0; i < scene.lightCount; ++i) {
        if (scene.lights[i].flare != nullptr)
            AddPictures(files, scene.lights[i].flare->material);
    }
    return files;
}

PreviewShow::PreviewShow(const SceneRange& range, PreviewStatus& status)
    : range_(range), status_(status), played_(static_cast<std::size_t>(range.lastScene - range.firstScene + 1))
{
}

bool PreviewShow::Load()
{
    if (!Demo::LoadScenes(range_))
        return false;
    for (std::int32_t scene = range_.firstScene; scene <= range_.lastScene; ++scene)
        Watch(scene);
    musicFile_ = watch_.Add(WatchedPath(MUSIC_TRACK));
    archiveFile_ = watch_.Add(WatchedPath(DEMO_ARCHIVE_NAME));
    return true;
}

Reload PreviewShow::TakeUpChanges(std::uint32_t nowMs)
{
    Reload reload;
    if (nowMs - polledAt_ < POLL_INTERVAL_MS)
        return reload;
    polledAt_ = nowMs;
    const bool changed = watch_.Poll(nowMs);
    const bool retry = FailedScenes() && nowMs - triedAt_ >= RETRY_INTERVAL_MS;
    if (!changed && !retry)
        return reload;
    triedAt_ = nowMs;
    // A new archive may hold any file anew: everything is read again.
    const bool archive = watch_.Settled(archiveFile_);
    if (archive)
        ReopenArchive();
    std::vector<std::int32_t> scenes;
    for (std::int32_t scene = range_.firstScene; scene <= range_.lastScene; ++scene) {
        if (archive || PlayedOf(scene).failed || Changed(PlayedOf(scene)))
            scenes.push_back(scene);
    }
    const bool music = archive || watch_.Settled(musicFile_);
    RetirePictures(archive);
    for (std::size_t i = 0; i < watch_.Count(); ++i) {
        if (watch_.Settled(i))
            watch_.Accept(i);
    }
    reload.scenes = ReloadScenes(scenes);
    reload.music = music && ReloadMusic();
    return reload;
}

bool PreviewShow::Failing() const { return musicFailed_ || FailedScenes(); }

bool PreviewShow::FailedScenes() const
{
    for (const Played& played : played_) {
        if (played.failed)
            return true;
    }
    return false;
}

void PreviewShow::Watch(std::int32_t scene)
{
    Played& played = PlayedOf(scene);
    played.files = FilesOfScene(*gSceneObjects[scene], SCENE_TABLE[scene]);
    played.watched.clear();
    for (const SceneFile& file : played.files)
        played.watched.push_back(watch_.Add(WatchedPath(file.name)));
}

bool PreviewShow::Changed(const Played& played) const
{
    for (const std::size_t entry : played.watched) {
        if (watch_.Settled(entry))
            return true;
    }
    return false;
}

// Pictures are shared by name: a changed one must be read afresh, not
// handed out again by the texture list.
void PreviewShow::RetirePictures(bool all) const
{
    for (const Played& played : played_) {
        for (std::size_t i = 0; i < played.files.size(); ++i) {
            if (played.files[i].picture && (all || watch_.Settled(played.watched[i])))
                Texture::Retire(played.files[i].name.c_str());
        }
    }
}

// The archive's index is read at its opening: a changed archive is opened
// again, and a broken one leaves the loose files alone to read.
void PreviewShow::ReopenArchive()
{
    Error::Reset();
    PAK::CloseAll();
    if (OpenDemoArchive()) {
        status_.Break();
        std::fprintf(stderr, "aqtool preview: %s opened again\n", DEMO_ARCHIVE_NAME);
        return;
    }
    status_.Break();
    std::fprintf(stderr, "aqtool preview: %s cannot be opened; loose files alone are read:\n%s", DEMO_ARCHIVE_NAME,
                 Error::Text());
    Error::Reset();
}

// Every scene is loaded beside its old self first; the old ones go only
// once no new one can take a mesh of theirs.
bool PreviewShow::ReloadScenes(const std::vector<std::int32_t>& scenes)
{
    std::vector<Fresh> fresh(scenes.size());
    for (const std::int32_t scene : scenes)
        WithholdMeshes(*gSceneObjects[scene]);
    bool any = false;
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        Fresh& candidate = fresh[i];
        candidate.scene = scenes[i];
        Played& played = PlayedOf(candidate.scene);
        Error::Reset();
        played.failed = !LoadBeside(candidate);
        if (played.failed) {
            Discard(candidate.loaded);
            candidate.loaded = nullptr;
            ReportFailure(played.failure, SCENE_TABLE[candidate.scene]);
            continue;
        }
        played.failure.clear();
        any = true;
    }
    for (Fresh& candidate : fresh) {
        if (candidate.loaded == nullptr)
            continue;
        TakePlace(candidate);
        Watch(candidate.scene);
        status_.Break();
        std::fprintf(stderr, "aqtool preview: scene %d loaded again (%s)\n", candidate.scene,
                     SCENE_TABLE[candidate.scene]);
    }
    return any;
}

// The new stream is opened beside the old one, which goes only once the new one is open.
bool PreviewShow::ReloadMusic()
{
    Error::Reset();
    platform::MusicStream* stream = nullptr;
    std::uint8_t* data = nullptr;
    musicFailed_ = !Game::OpenMusic(stream, data);
    if (musicFailed_) {
        delete[] data;
        ReportFailure(musicFailure_, MUSIC_TRACK);
        return false;
    }
    musicFailure_.clear();
    platform::FSOUND_Stream_Close(gMusicStream);
    delete[] gMusicData;
    gMusicStream = stream;
    gMusicData = data;
    status_.Break();
    std::fprintf(stderr, "aqtool preview: %s loaded again\n", MUSIC_TRACK);
    return true;
}

// The loader's messages, once for each way a file fails: a scene tried again
// and again while it waits for its files says nothing new.
void PreviewShow::ReportFailure(std::string& last, const char* what)
{
    if (last != Error::Text()) {
        last = Error::Text();
        status_.Break();
        std::fprintf(stderr, "aqtool preview: %s failed to load; the last good one plays on:\n%s", what,
                     Error::Text());
    }
    Error::Reset();
}

}  // namespace aqtool
