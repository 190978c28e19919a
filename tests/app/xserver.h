// A real X server for the tests that must see the program as a user does: Xvfb on a display
// number it picks itself (so tests run side by side), optionally with a window manager; the
// X tools run against it; everything started here is ended by the destructor.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace xtest {

struct Geometry {
    int left = 0, top = 0, width = 0, height = 0;
};

class XServer {
public:
    // A 1024x768 screen whose root is white, so a window that paints nothing shows white.
    explicit XServer(bool windowManager = false) {
        int ready[2];
        if (pipe(ready) != 0) {
            failure_ = "no pipe for the server's display number";
            return;
        }
        const std::string fd = std::to_string(ready[1]);
        server_ = spawn({"Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "-nolisten",
                         "tcp", "-wr", "-noreset"},
                        ready[1], /*quiet=*/true);
        close(ready[1]);
        std::string number;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{ready[0], POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0) {
                failure_ = "Xvfb did not say its display number within 20 s";
                break;
            }
            char c = 0;
            if (read(ready[0], &c, 1) != 1) {
                failure_ = "Xvfb could not start (is it installed? see scripts/setup.sh)";
                break;
            }
            if (c == '\n') break;
            number += c;
        }
        close(ready[0]);
        if (!failure_.empty() || number.empty()) {
            if (failure_.empty()) failure_ = "Xvfb gave no display number";
            stopAll();
            return;
        }
        display_ = ":" + number;
        if (windowManager) {
            wm_ = spawn({"openbox", "--sm-disable"}, -1, true);
            // The manager is there once it has claimed the screen's selection.
            if (!waitFor(
                    [&] {
                        return run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"})
                                   .find("window id") != std::string::npos;
                    },
                    20)) {
                failure_ = "openbox did not take the screen within 20 s";
                stopAll();
            }
        }
    }
    ~XServer() { stopAll(); }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // Empty while the server runs; otherwise why it could not start.
    const std::string& failure() const { return failure_; }
    const std::string& display() const { return display_; }

    // Starts a program on this display (the toolkit's X back end, not the offscreen one),
    // its output into `outFile` when given.
    pid_t start(const std::vector<std::string>& argv, const std::string& outFile = "") {
        const pid_t pid = spawn(argv, -1, outFile.empty(), outFile);
        if (pid > 0) started_.push_back(pid);
        return pid;
    }
    // Ends a program started here: asked first, then killed.
    void stop(pid_t pid) {
        if (pid <= 0) return;
        for (auto& p : started_)
            if (p == pid) p = 0;
        end(pid);
    }

    // Runs an X tool against the server; its standard output.
    std::string run(const std::vector<std::string>& argv, int* exitCode = nullptr) const {
        int out[2];
        if (pipe(out) != 0) return {};
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, 2);
            close(out[0]);
            setenv("DISPLAY", display_.c_str(), 1);
            execArgv(argv);
        }
        close(out[1]);
        std::string text;
        char buf[4096];
        ssize_t n;
        while ((n = read(out[0], buf, sizeof buf)) > 0) text.append(buf, size_t(n));
        close(out[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (exitCode) *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return text;
    }

    // The place of the top-level window with this title while the server shows it, and its
    // window id (as the X tools write it).
    bool window(const std::string& title, Geometry& g, std::string* id = nullptr) const {
        std::istringstream tree(run({"xwininfo", "-root", "-tree"}));
        const std::string quoted = "\"" + title + "\":";
        for (std::string line; std::getline(tree, line);) {
            if (line.find(quoted) == std::string::npos) continue;
            std::istringstream words(line);
            std::string wid;
            words >> wid;
            std::istringstream info(run({"xwininfo", "-id", wid}));
            Geometry found;
            bool viewable = false;
            for (std::string l; std::getline(info, l);) {
                std::sscanf(l.c_str(), " Absolute upper-left X: %d", &found.left);
                std::sscanf(l.c_str(), " Absolute upper-left Y: %d", &found.top);
                std::sscanf(l.c_str(), " Width: %d", &found.width);
                std::sscanf(l.c_str(), " Height: %d", &found.height);
                if (l.find("IsViewable") != std::string::npos) viewable = true;
            }
            if (!viewable || found.width < 50 || found.height < 50) continue;
            g = found;
            if (id) *id = wid;
            return true;
        }
        return false;
    }

    // A left-button drag from screen point (x, y) by (dx, dy) in a few steps, as a hand
    // makes it, with a key held throughout when one is named ("alt": a window manager's move).
    void drag(int x, int y, int dx, int dy, const std::string& key = "") const {
        auto at = [](int v) { return std::to_string(v); };
        if (!key.empty()) run({"xdotool", "keydown", key});
        run({"xdotool", "mousemove", at(x), at(y), "mousedown", "1"});
        for (int step = 1; step <= 4; ++step)
            run({"xdotool", "mousemove", at(x + dx * step / 4), at(y + dy * step / 4)});
        run({"xdotool", "mouseup", "1"});
        if (!key.empty()) run({"xdotool", "keyup", key});
    }

    // Whether the window (its id as the X tools write it) is mapped and shown.
    bool viewable(const std::string& id) const {
        return run({"xwininfo", "-id", id}).find("IsViewable") != std::string::npos;
    }

    // Whether the X keyboard focus comes to the window (its id as the X tools write it)
    // within `seconds`; `focus` holds the window that has it last.
    bool keyboardOn(const std::string& id, int seconds, std::string& focus) const {
        return waitFor(
            [&] {
                focus = run({"xdotool", "getwindowfocus"});
                return std::stoul("0" + focus) == std::stoul(id, nullptr, 16);
            },
            seconds);
    }

    // The whole screen into a PNG file.
    bool screenshot(const std::string& png) const {
        int rc = -1;
        run({"import", "-window", "root", png}, &rc);
        return rc == 0;
    }

    // Asks `done` until it holds, every 100 ms, at most `seconds`.
    static bool waitFor(const std::function<bool()>& done, int seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return true;
    }

private:
    [[noreturn]] static void execArgv(const std::vector<std::string>& argv) {
        std::vector<char*> args;
        for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }

    pid_t spawn(const std::vector<std::string>& argv, int keepFd, bool quiet,
                const std::string& outFile = "") const {
        const pid_t pid = fork();
        if (pid != 0) return pid;
        setpgid(0, 0);
        const int out = quiet || outFile.empty()
                            ? open("/dev/null", O_WRONLY)
                            : open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != keepFd) close(fd);
        if (!display_.empty()) setenv("DISPLAY", display_.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        execArgv(argv);
    }

    static void end(pid_t pid) {
        kill(-pid, SIGTERM);
        kill(pid, SIGTERM);
        for (int i = 0; i < 50; ++i) {
            if (waitpid(pid, nullptr, WNOHANG) != 0) return;  // ended, or not ours to wait for
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        kill(-pid, SIGKILL);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }

    void stopAll() {
        for (auto it = started_.rbegin(); it != started_.rend(); ++it)
            if (*it > 0) end(*it);
        started_.clear();
        if (wm_ > 0) end(wm_);
        wm_ = 0;
        if (server_ > 0) end(server_);
        server_ = 0;
    }

    pid_t server_ = 0, wm_ = 0;
    std::vector<pid_t> started_;
    std::string display_, failure_;
};

}  // namespace xtest
