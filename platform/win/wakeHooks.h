// Installed by the event loop (platform/qt) so that wake registrations reach it.
#pragma once

struct WakeHooks {
    void (*add)(int fd) = nullptr;
    void (*remove)(int fd) = nullptr;
    void (*wake)() = nullptr;
};
void InstallWakeHooks(const WakeHooks& hooks);
