#include "platform/win/sound.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win/launcher.h"

namespace {

std::string g_player, g_deviceDir;
pid_t g_playing = 0;
std::string g_memoryFile;  // the wave of an SND_MEMORY sound, deleted when it ends

std::string FindOnPath(const std::string& prog) {
    int err = 0;
    return FindProgram(prog, err);
}

bool DeviceExists() {
    struct stat st {};
    std::string dir = g_deviceDir.empty() ? "/dev/snd" : g_deviceDir;
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void Reap(bool wait) {
    if (g_playing <= 0) return;
    int status = 0;
    if (ReapChild(g_playing, wait, status)) {
        g_playing = 0;
        if (!g_memoryFile.empty()) {
            unlink(g_memoryFile.c_str());
            g_memoryFile.clear();
        }
    }
}

void Stop() {
    Reap(false);
    if (g_playing > 0) {
        kill(g_playing, SIGTERM);
        Reap(true);
    }
}

bool IsWave(const char* data) {
    return std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0;
}

// The bytes of an in-memory wave: the RIFF header's size field plus 8.
bool WriteMemoryWave(const char* data, std::string& file) {
    if (!IsWave(data)) return false;
    uint32_t size = uint32_t(uint8_t(data[4])) | uint32_t(uint8_t(data[5])) << 8 |
                    uint32_t(uint8_t(data[6])) << 16 | uint32_t(uint8_t(data[7])) << 24;
    if (size < 4 || size > (256u << 20)) return false;
    char name[] = "/tmp/vexomat-sound-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return false;
    size_t total = size_t(size) + 8, done = 0;
    while (done < total) {
        ssize_t n = write(fd, data + done, total - done);
        if (n <= 0) break;
        done += size_t(n);
    }
    close(fd);
    if (done != total) {
        unlink(name);
        return false;
    }
    file = name;
    return true;
}

}  // namespace

void SetSoundBackendForTesting(const char* player, const char* deviceDir) {
    g_player = player ? player : "";
    g_deviceDir = deviceDir ? deviceDir : "";
}

bool SoundPlaying() {
    Reap(false);
    return g_playing > 0;
}

BOOL sndPlaySoundA(const char* sound, UINT flags) {
    if (!sound) {
        Stop();
        return TRUE_;
    }
    if (flags & SND_NOSTOP && SoundPlaying()) return FALSE_;
    Stop();
    std::string player = FindOnPath(g_player.empty() ? "aplay" : g_player);
    if (player.empty() || !DeviceExists()) return FALSE_;
    std::string file;
    if (flags & SND_MEMORY) {
        if (!WriteMemoryWave(sound, file)) return FALSE_;
    } else {
        file = sound;
        std::ifstream in(file, std::ios::binary);
        char head[12] = {};
        if (!in.read(head, 12) || !IsWave(head)) return FALSE_;
    }
    LaunchOptions launch;
    launch.argv = {player, "-q", "--", file};
    launch.newProcessGroup = false;
    pid_t pid = 0;
    if (Launch(launch, pid) != 0) {
        if (flags & SND_MEMORY) unlink(file.c_str());
        return FALSE_;
    }
    g_playing = pid;
    if (flags & SND_MEMORY) g_memoryFile = file;
    if (!(flags & SND_ASYNC)) {
        int status = 0;
        ReapChild(pid, true, status);
        g_playing = 0;
        if (!g_memoryFile.empty()) {
            unlink(g_memoryFile.c_str());
            g_memoryFile.clear();
        }
        return ExitCodeOf(status) == 0 ? TRUE_ : FALSE_;
    }
    return TRUE_;
}

BOOL PlaySoundA(const char* sound, HINSTANCE, DWORD flags) {
    if (!sound || (flags & SND_PURGE)) {
        Stop();
        return TRUE_;
    }
    if ((flags & SND_ALIAS) || (flags & SND_RESOURCE) == SND_RESOURCE)
        return FALSE_;  // no system sounds here
    return sndPlaySoundA(sound, flags & (SND_ASYNC | SND_MEMORY | SND_NOSTOP | SND_NODEFAULT));
}
