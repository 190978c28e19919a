// Lets the message wait wake up for things that are not window messages. A file
// descriptor registered here (for example a process's pidfd) ends a wait for the next
// message as soon as it becomes readable, the way a process handle ends
// MsgWaitForMultipleObjects. Implemented by the event loop of the window layer.
#pragma once

void RegisterWakeFd(int fd);
void UnregisterWakeFd(int fd);
// Thread-safe: makes a pending wait for the next message return.
void WakeMessageQueue();
