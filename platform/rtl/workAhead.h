// Work done ahead on a thread of its own while the program goes on, waited for where its
// result is first needed. When no thread can be started the work is done at once on the
// starting thread instead. The wait ends whether the work returns or raises; what it
// raised is raised again by the wait.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>

class WorkAhead {
public:
    using Work = std::function<void()>;
    // Runs the work on a new thread; throws std::system_error when none can be started.
    using ThreadStarter = std::function<void(Work)>;
    explicit WorkAhead(Work work, ThreadStarter startThread = StartDetachedThread);

    // Asks for the work ahead; `start` does nothing unless it was asked for.
    void request();
    // Starts it once. The thread starts with every signal blocked (signals stay with the
    // threads that were there before), and the caller's signals are as they were when this
    // returns. Without a thread the work is done here before returning.
    void start();
    // Returns once the started work has ended (at once when none started); raises, once,
    // what the work raised.
    void wait();
    bool doneOnStartingThread() const;

    static void StartDetachedThread(Work work);

private:
    void run();  // the work, its end marked however it ends
    Work work_;
    ThreadStarter startThread_;
    mutable std::mutex lock_;
    std::condition_variable ended_;
    bool requested_ = false, started_ = false, done_ = false, here_ = false;
    std::exception_ptr failure_;
};
