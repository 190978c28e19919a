// The start-up trace the benchmark reads: one line per phase, in the order the phases ran,
// with clocks that never go back.
#include "platform/rtl/startTrace.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

TEST(StartTrace, AppendsOneLinePerPhaseInOrderWithClocksThatNeverGoBack) {
    // The file is named once, by the first phase; nothing else in this binary traces.
    char path[] = "/tmp/vx-start-trace-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    // A file that holds lines already keeps them: phases are appended, by every process
    // the program starts as well.
    std::ofstream(path) << "earlier 1 1 1\n";
    setenv("VEXOMAT_START_TRACE", path, 1);
    StartTrace("main");
    volatile unsigned spin = 0;
    for (unsigned i = 0; i < 2000000; ++i) spin = spin + i;
    StartTrace("forms");
    StartTrace("exit");
    unsetenv("VEXOMAT_START_TRACE");

    std::ifstream in(path);
    std::vector<std::string> names;
    std::vector<long long> walls, cpus;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        long long wall = -1, cpu = -1, pid = -1;
        fields >> name >> wall >> cpu >> pid;
        ASSERT_FALSE(fields.fail()) << line;
        if (name != "earlier") {
            EXPECT_EQ(pid, getpid()) << line;
        }
        names.push_back(name);
        walls.push_back(wall);
        cpus.push_back(cpu);
    }
    unlink(path);
    ASSERT_EQ(names, (std::vector<std::string>{"earlier", "main", "forms", "exit"}));
    for (size_t i = 2; i < names.size(); ++i) {
        EXPECT_LE(walls[i - 1], walls[i]) << names[i];
        EXPECT_LE(cpus[i - 1], cpus[i]) << names[i];
    }
    // The work between the first two phases shows on the processor clock.
    EXPECT_LT(cpus[1], cpus[2]);
}
