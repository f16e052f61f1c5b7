#include "audio/sounds.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <future>
#include <system_error>

#include "store/archive.h"
#include "store/files.h"
#include "store/folders.h"
#include "store/keystore.h"

namespace {

constexpr auto kPassInterval = std::chrono::milliseconds(10);
constexpr int kOutputRate = 44100;
// After a track fails to decode (or no thread could be had to decode it), the next one is
// tried only this many passes later.
constexpr uint64_t kRetryPasses = 100;

// data/<kind>/<name> when that file can be opened, else the archive member called name. The
// mixer plays a source frame per output frame, so a file of another rate would play at the
// wrong pitch: it is left out, with a line saying why.
tsSound loadOgg(const std::string& dataFolder, const char* kind, const char* name,
                const char* archive, uint32_t archiveSize) {
    tsSound sound{};
    if (!name) return sound;
    int rate = 0;
    char path[kPathBufferSize];
    joinPath(path, dataFolder.c_str(), kind, "/", name);
    if (path[0] && fileExists(path)) {
        sound = tsReadOggFile(path, &rate);
    } else {
        size_t size = 0;
        const char* data = archive ? archiveFind(archive, archiveSize, name, &size) : nullptr;
        tsDecodeOgg(data, static_cast<int>(std::min<size_t>(size, INT32_MAX)), &rate, &sound);
    }
    if (sound.frameCount > 0 && rate != kOutputRate) {
        std::fprintf(stderr, "%s/%s: %d Hz; the game plays %d Hz sound, so it is left out\n", kind,
                     name, rate, kOutputRate);
        tsReleaseSound(&sound);
    }
    return sound;
}

int playlistLength(const MusicPlayer* music) {
    return music->playlist ? static_cast<int>(music->playlist->childCount) : 0;
}

// Picks and decodes the next track on a helper thread, so that decoding never holds up
// the mix passes that keep the output fed. No future when no thread can be had just now.
std::future<tsSound> loadNextTrack(MusicPlayer* music) {
    try {
        return std::async(std::launch::async, [music] {
            const char* name = pickNextTrack(music);
            return name ? loadTrack(music, name) : tsSound{};
        });
    } catch (const std::system_error&) {
        return {};
    }
}

bool isReady(const std::future<tsSound>& future) {
    return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

}  // namespace

void loadSoundAssets(SoundAssets* sounds, const KeyStore* config, MusicPlayer* music) {
    readArchive(sounds->dataFolder, "sounds", &sounds->soundsArchiveBytes, &sounds->soundsArchive,
                &sounds->soundsArchiveSize);
    sounds->music = music;
    for (const SoundSlotKey& row : kSoundSlotKeys) loadSound(row.slot, sounds, config, row.key);
}

void loadSound(SoundSlot slot, SoundAssets* sounds, const KeyStore* config, const char* key) {
    const int i = slotIndex(slot);
    if (i < 0 || i >= kSoundSlotCount) return;
    tsSound* sound = &sounds->sounds[i];
    tsReleaseSound(sound);
    *sound = loadOgg(sounds->dataFolder, "sounds", getSectionString(config, "sounds", key),
                     sounds->soundsArchive, sounds->soundsArchiveSize);
    sounds->defs[i] = tsDefaultDef(sound);
}

tsVoice* playSound(const SoundAssets* sounds, SoundSlot slot) {
    const int i = slotIndex(slot);
    if (!sounds || i < 0 || i >= kSoundSlotCount || !sounds->music || !sounds->music->mixer)
        return nullptr;
    return tsStartSound(sounds->music->mixer, sounds->defs[i]);
}

void initAudio(MusicPlayer* music, const KeyStore* config, void* window) {
    music->mixer = tsMakeContext(window, kOutputRate, 15, 5, 5);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    readArchive(music->dataFolder, "music", &music->musicArchiveBytes, &music->musicArchive,
                &music->musicArchiveSize);
    const KeyNode* root = config ? config->root : nullptr;
    music->playlist = nodeMember(nodeMember(root, "music"), "normal");
}

int startMusicThread(MusicPlayer* music) {
    if (!music->mixer || music->thread.joinable()) return 0;
    music->stopRequested = false;
    try {
        music->thread = std::thread(musicThreadMain, music);
    } catch (const std::system_error&) {
        std::fprintf(stderr, "The music thread cannot be started; the game runs silent\n");
    }
    return 0;
}

void stopMusicThread(MusicPlayer* music) {
    if (!music->thread.joinable()) return;
    music->stopRequested = true;
    music->thread.join();
    // Nothing refills the ring any more: the device stops instead of going round it.
    tsPausePlayback(music->mixer);
}

void musicThreadMain(MusicPlayer* music) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    tsMixer* mixer = music->mixer;
    const bool hasPlaylist = playlistLength(music) > 0;
    std::future<tsSound> next;
    tsVoice* current = nullptr;
    uint64_t loadAfterPass = 0;
    for (uint64_t pass = 0; !music->stopRequested; ++pass) {
        float gain = std::max(
            0.0f, static_cast<float>(music->volume.load(std::memory_order_relaxed)) / 100.0f);
        // A finished voice may already be playing an effect: ask the mixer, not the voice.
        if (current && !tsSetVoiceVolume(mixer, current, &music->track, gain, gain)) {
            current = nullptr;
            tsReleaseSound(&music->track);
        }
        if (hasPlaylist && !next.valid() && pass >= loadAfterPass) {
            next = loadNextTrack(music);
            if (!next.valid()) loadAfterPass = pass + kRetryPasses;
        }
        if (!current && !music->track.frameCount && next.valid() && isReady(next)) {
            music->track = next.get();
            if (!music->track.frameCount) loadAfterPass = pass + kRetryPasses;
        }
        if (!current && music->track.frameCount) {
            music->trackDef = tsSoundDef{1.0f, 1.0f, 0.5f, &music->track};
            current = tsStartSound(mixer, music->trackDef);
            if (current) tsSetVoiceVolume(mixer, current, &music->track, gain, gain);
        }
        tsMixAhead(mixer);
        std::this_thread::sleep_for(kPassInterval);
    }
    if (next.valid()) {
        tsSound unused = next.get();
        tsReleaseSound(&unused);
    }
}

const char* pickNextTrack(MusicPlayer* music) {
    int count = playlistLength(music);
    if (count == 0) return nullptr;
    // One entry cannot differ from the last pick: it simply repeats.
    int index = 0;
    if (count > 1) {
        do index = std::rand() % count;
        while (index == music->lastTrack);
    }
    music->lastTrack = index;
    return nodeText(nodeChild(music->playlist, index));
}

tsSound loadTrack(const MusicPlayer* music, const char* name) {
    return loadOgg(music->dataFolder, "music", name, music->musicArchive, music->musicArchiveSize);
}

int32_t getMusicVolume(const MusicPlayer* music) {
    return music->volume.load(std::memory_order_relaxed);
}

void setMusicVolume(MusicPlayer* music, int32_t percent) {
    music->volume.store(percent, std::memory_order_relaxed);
}

void freeSoundAssets(SoundAssets* sounds) {
    // Nothing may mix a sound once it is released, so the music stops first.
    if (sounds->music) stopMusicThread(sounds->music);
    for (tsSound& sound : sounds->sounds) tsReleaseSound(&sound);
}
