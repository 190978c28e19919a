// What an office session leaves in the shared temporary folder: nothing, whether the office
// quits or is killed, and whether or not it was ever asked anything; and an office that
// hangs while it starts is ended by the no-progress limit.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/automation/officeSession.h"
#include "platform/automation/olevariant.h"

namespace {

bool IsSocket(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

std::vector<std::string> Present(const std::vector<std::string>& paths) {
    std::vector<std::string> out;
    for (const auto& p : paths)
        if (IsSocket(p)) out.push_back(p);
    return out;
}

std::string Joined(const std::vector<std::string>& paths) {
    std::string s;
    for (const auto& p : paths) s += p + "\n";
    return s;
}

}  // namespace

TEST(OfficeLeftovers, NoSocketStaysHoweverTheSessionEnds) {
    if (office::SofficePath().empty() || office::UnoPython().empty())
        GTEST_SKIP() << "no office installed";
    const std::string doc = std::string(VEXOMAT_SOURCE_DIR) + "/tests/data/three_pages.fodt";
    const std::string load =
        "{\"op\":\"load\",\"path\":" + office::Json(doc) + ",\"readonly\":true,\"kind\":\"text\"}";
    struct Row {
        const char* name;
        std::function<void(office::Session&)> end;
    };
    const Row rows[] = {
        {"quits after its work", [&](office::Session& s) { s.Quit(); }},
        // What the bridge does when the program that started it ends, however it ends.
        {"the program ended", [&](office::Session& s) { ::kill(s.ProcessGroup(), SIGTERM); }},
        {"killed when a step meets its limit",
         [&](office::Session& s) {
             EXPECT_THROW(s.Command(load, std::chrono::milliseconds(1)), std::exception);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        office::Session session;
        // Once the office has answered, its sockets are there.
        session.Command(load);
        const std::vector<std::string> sockets = session.Sockets();
        ASSERT_EQ(Present(sockets).size(), 2u) << "the office's sockets are not where the "
                                                  "session looks for them:\n"
                                               << Joined(sockets);
        row.end(session);
        // Quitting goes on in the background; it is over within its own bounds.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!Present(sockets).empty() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(Joined(Present(sockets)), "");
    }
}

// The office's processes (the session's group, but for its bridge) are stopped as they
// appear, so the office never comes up; the bridge meanwhile keeps trying to reach it. The
// first step ends when nothing but the bridge has used processor time for the limit.
TEST(OfficeLeftovers, AnOfficeThatHangsWhileStartingIsJudgedByTheLimit) {
    if (office::SofficePath().empty() || office::UnoPython().empty())
        GTEST_SKIP() << "no office installed";
    office::Session session;
    const int group = session.ProcessGroup();
    std::atomic<bool> stop{false};
    std::thread stopper([&] {
        while (!stop) {
            std::error_code ec;
            for (const auto& e : std::filesystem::directory_iterator("/proc", ec)) {
                int pid = 0, pgrp = 0;
                FILE* f = std::fopen((e.path() / "stat").c_str(), "r");
                if (!f) continue;
                if (std::fscanf(f, "%d (%*[^)]) %*c %*d %d", &pid, &pgrp) == 2 && pgrp == group &&
                    pid != group)
                    ::kill(pid, SIGSTOP);
                std::fclose(f);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    std::string said;
    try {
        session.Command(
            "{\"op\":\"load\",\"path\":" +
                office::Json(std::string(VEXOMAT_SOURCE_DIR) + "/tests/data/three_pages.fodt") +
                ",\"readonly\":true,\"kind\":\"text\"}",
            std::chrono::seconds(2));
    } catch (const std::exception& e) {
        said = e.what();
    }
    stop = true;
    stopper.join();
    EXPECT_NE(said.find("的处理时间过长: 办公程序的步骤 load 在 2 秒内没有任何进展"),
              std::string::npos)
        << said;
}
